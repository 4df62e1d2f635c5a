// The tray: the connected hint, the menu commands and the double-clicks of the icons. The
// sounds are in sounds.cpp, the background mail check in mail_check.cpp.

#include "monitor/tfrm_digital.h"

#include "core/prompts.h"
#include "core/settings.h"
#include "monitor/program_windows.h"
#include "monitor/vorn_timer.h"
#include "platform/dial_up_service.h"
#include "platform/help.h"
#include "widgets/taskbar_icon.h"

#include <QAction>
#include <QHostAddress>
#include <QNetworkInterface>
#include <QScopeGuard>

namespace {
// What a tray tooltip shows before the cut; the icon keeps 63 characters, so the hint
// stops at 58 and says "..." when there was more.
constexpr int HintLength = 58;

// The addresses of an interface worth showing: IPv4 first, then global IPv6.
QString interfaceAddress(const QNetworkInterface& iface) {
    QString ipv6;
    for (const QNetworkAddressEntry& entry : iface.addressEntries()) {
        const QHostAddress address = entry.ip();
        if (address.protocol() == QAbstractSocket::IPv4Protocol)
            return address.toString();
        if (ipv6.isEmpty() && address.protocol() == QAbstractSocket::IPv6Protocol &&
            !address.isLinkLocal())
            ipv6 = address.toString();
    }
    return ipv6;
}
} // namespace

void TfrmDigital::SetConnectedHint() {
    journal(QStringLiteral("SetConnectedHint"));
    const typSettings& st = s_.settings;
    QString items;
    auto add = [&items](bool wanted, const QString& text) {
        if (wanted && !text.isEmpty())
            items += QStringLiteral("[") + text + QStringLiteral("] - ");
    };
    add(st.Show_Time && st.Icon_Hint_Duration, state_.timeText);
    add(st.Show_Cost && st.Icon_Hint_Cost, state_.costText);
    add(st.Show_CostPerMinute && st.Icon_Hint_CostPerMinute, state_.costPerMinuteText);
    add(st.Show_DTR && st.Icon_Hint_DTR, state_.dtrText);
    add(st.Show_Data_Transferred && st.Icon_Hint_Data, state_.dataText);
    add(st.Icon_Hint_IPAddress, state_.ipText);
    add(state_.connectSpeed != 0 && st.Icon_Hint_ConnectSpeed,
        QString::number(state_.connectSpeed));
    if (items.endsWith(QStringLiteral(" - ")))
        items.chop(3);

    QString hint = items.isEmpty() ? QStringLiteral("VORN - [Connected]")
                                   : QStringLiteral("VORN - [Connected] - ") + items;
    if (hint.size() > HintLength)
        hint = hint.left(HintLength) + QStringLiteral("...");
    trayGeneral->setHint(hint);
}

void TfrmDigital::mnuHelpClick() {
    if (s_.help)
        s_.help->open(QStringLiteral("index"));
}

void TfrmDigital::RunProgramWindow(ProgramWindow window) {
    // One program window at a time: its commands, the about box and the call commands are
    // off while it is open, and the LED window does not hide itself meanwhile.
    QAction* const guarded[] = {mnuOptions,      mnuLog,       mnuTools, mnuAbout,
                                mnuCheckForMail, mnuIPAddress, mnuHangUp};
    for (QAction* item : guarded)
        item->setEnabled(false);
    timerAutoHide->setEnabled(false);
    programWindowOpen_ = true;
    const auto restore = qScopeGuard([this] {
        programWindowOpen_ = false;
        for (QAction* item : {mnuOptions, mnuLog, mnuTools, mnuAbout})
            item->setEnabled(true);
        mnuCheckForMail->setEnabled(state_.connected && !mailCheckRunning_);
        mnuIPAddress->setEnabled(state_.connected);
        mnuHangUp->setEnabled(state_.connected);
        if (s_.settings.Intelligent_Display != 0 && s_.settings.Show_Digital_Display != 2)
            timerAutoHide->setEnabled(true);
    });
    if (s_.windows)
        s_.windows->run(window);
}

void TfrmDigital::mnuOptionsClick() {
    if (!mnuOptions->isEnabled())
        return;
    RunProgramWindow(ProgramWindow::Options);

    // What follows the options dialog, whatever the user pressed there: every setting
    // takes effect through a full reload.
    LoadProgramSettings();
    SetDefaultMenuItem();
    if (state_.connected) {
        move(s_.settings.Window_Left, s_.settings.Window_Top);
        if (s_.settings.Show_Digital_Display != 2)
            ShowDigitalDisplay();
    }
    trayGeneral->setVisible(!s_.settings.Hide_Tray_Icon);
    ApplyTimerIntervals();
    if (s_.settings.Intelligent_Display != 0 && s_.settings.Show_Digital_Display != 2)
        timerAutoHide->setEnabled(true);
    LayoutDigitalDisplay();
    resize(width(), DigitalTextHeight(s_.settings.Character_Size, s_.settings.Pixel_Spacing) +
                        2 * FrameWidth);
    // A limit whose rule has fired in this call stays kept for its end, unless the dialog
    // gave a new one.
    if (!keptCallLengthLimit())
        state_.savedAutoDisconnect = s_.settings.Auto_Disconnect;
}

void TfrmDigital::mnuToolsClick() {
    if (!mnuTools->isEnabled())
        return;
    RunProgramWindow(ProgramWindow::Tools);
    LoadProgramSettings();
}

void TfrmDigital::mnuLogClick() {
    // The log and tools items are switched together; the tools item is the one to ask.
    if (!mnuTools->isEnabled())
        return;
    RunProgramWindow(ProgramWindow::Log);
}

void TfrmDigital::mnuCheckForMailClick() {
    if (mnuCheckForMail->isEnabled())
        CheckForMail(true);
}

void TfrmDigital::mnuIPAddressClick() {
    if (!mnuIPAddress->isEnabled())
        return;
    state_.ipText = GetIPAddress();
    const QString br = QStringLiteral("\n\r");
    s_.prompts.information(QStringLiteral("Your current IP Address is :-") + br + br +
                           state_.ipText + br + br +
                           QStringLiteral("(This information is also available if you hover "
                                          "the cursor over the VORN tray icon.)"));
}

QString TfrmDigital::GetIPAddress() {
    // The call's own address is the one the user means; the host may have others (a LAN,
    // a VPN) that say nothing about the call.
    if (const auto connections = s_.dialUp.connections();
        connections && !connections->isEmpty() && !connections->first().interfaceName.isEmpty()) {
        const QNetworkInterface iface =
            QNetworkInterface::interfaceFromName(connections->first().interfaceName);
        if (iface.isValid()) {
            if (const QString address = interfaceAddress(iface); !address.isEmpty())
                return address;
        }
    }
    for (const QNetworkInterface& iface : QNetworkInterface::allInterfaces()) {
        const auto flags = iface.flags();
        if (flags.testFlag(QNetworkInterface::IsLoopBack) ||
            !flags.testFlag(QNetworkInterface::IsUp) ||
            !flags.testFlag(QNetworkInterface::IsRunning))
            continue;
        if (const QString address = interfaceAddress(iface); !address.isEmpty())
            return address;
    }
    return {};
}

void TfrmDigital::trayGeneralDblClick() {
    switch (s_.settings.Default_Menu) {
    case 0:
        mnuOptionsClick();
        break;
    case 1:
        mnuToolsClick();
        break;
    case 2:
        mnuLogClick();
        break;
    case 3:
        mnuCheckForMailClick();
        break;
    case 4:
        mnuIPAddressClick();
        break;
    case 5:
        mnuHangUpClick();
        break;
    default:
        break;
    }
}

void TfrmDigital::trayMailDblClick() {
    trayMail->setVisible(false);
    // Whatever Execute_Mail_Application says: the user asked for the mail.
    if (trayMail->tag() == 1 && !s_.settings.Mail_Application.isEmpty())
        startMailApplication();
}

void TfrmDigital::mnuMailCloseClick() {
    trayMail->setVisible(false);
}

void TfrmDigital::mnuCloseUpdateClick() {
    trayUpdate->setVisible(false);
}

void TfrmDigital::startMailApplication() {
    OpenDocument(s_.settings.Mail_Application, s_.settings.Mail_Application_Parameters);
}
