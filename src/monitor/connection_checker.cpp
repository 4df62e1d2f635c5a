// The connection checker: each firing of timerChecker asks the dial-up service whether a
// call is up and runs one of four sequences (call started, still running, ended, none).

#include "monitor/tfrm_digital.h"

#include "calllog/call_recorder.h"
#include "core/clock.h"
#include "core/code_page.h"
#include "core/connectoid_names.h"
#include "core/debug_log.h"
#include "core/lists.h"
#include "core/records.h"
#include "core/regional.h"
#include "core/settings.h"
#include "core/settings_store.h"
#include "core/user_name.h"
#include "monitor/vorn_timer.h"
#include "platform/byte_counters.h"
#include "platform/dial_up_service.h"
#include "tariff/call_costing.h"
#include "tariff/further_details.h"
#include "tariff/tariff_context.h"
#include "widgets/lcd_label.h"
#include "widgets/taskbar_icon.h"

#include <QAction>

#include <cmath>

namespace {
const QString ProductKey;

// Clears a flag when the scope ends, also when an exception leaves it.
class BusyFlag {
public:
    explicit BusyFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ~BusyFlag() { flag_ = false; }
    BusyFlag(const BusyFlag&) = delete;
    BusyFlag& operator=(const BusyFlag&) = delete;

private:
    bool& flag_;
};
} // namespace

void TfrmDigital::timerCheckerTimer() {
    if (checkerBusy_)
        return;
    checkerBoxes_.hold();
    {
        BusyFlag busy(checkerBusy_);
        runCheck();
    }
    // Only now, with the sequence over: while a box is up the next firings check again.
    checkerBoxes_.showHeld();
}

void TfrmDigital::runCheck() {
    // Once per check rather than in a loop: a window manager that will not put the window
    // at (0, 0) must not hang the program.
    if (state_.readjustPending) {
        ReadjustDigitalDisplay();
        if (x() == 0 && y() == 0)
            state_.readjustPending = false;
    }

    // Alternative_Detector is not consulted: no program on Linux announces a call by a
    // window title, so that detector would never find one.
    const bool previous = state_.connected;
    state_.connected = false;
    CheckRasConnection();

    if (!previous && state_.connected)
        callStarted();
    else if (previous && state_.connected)
        callStillRunning();
    else if (previous && !state_.connected)
        callEnded();

    if (!previous && !state_.connected) {
        trayGeneral->setHint(HintNotConnected);
        if (s_.settings.Show_Digital_Display != 0)
            HideDigitalDisplay();
    }
}

void TfrmDigital::callStarted() {
    s_.debugLog.add(QStringLiteral("timerChecker - Start not previously connected but now "
                                   "connected"));
    GetConnectoidName(globals_.CurrentConnectoid);

    state_.callStartCount = s_.clock.milliseconds();
    state_.idleSince = state_.callStartCount;
    state_.activityCount = 0;
    state_.idleByteTotal = 0;

    s_.settings.Auto_At_Disconnect = s_.clock.now() + 1.0;
    s_.store.writeString(ProductKey, QStringLiteral("Auto_At_Disconnect"),
                         datetime::floatToText(s_.settings.Auto_At_Disconnect, s_.regional));

    state_.countdownActive = false;
    state_.reasonText = QStringLiteral("None");
    state_.savedAutoDisconnect = s_.settings.Auto_Disconnect;
    state_.connectSpeed = 0;

    globals_.CurrentConnectoid.clear();
    state_.freeMinutesNotice = false;
    state_.minimumPeriodNotice = false;
    state_.costNotice = false;

    LayoutDigitalDisplay();
    trayGeneral->setVisible(true);

    WriteCrashRecoveryValues(false, true);

    UpdateCost();
    state_.costText.clear();
    state_.timeText.clear();
    state_.costPerMinuteText.clear();
    state_.dtrText.clear();
    state_.dataText.clear();

    PlaySoundEvent(QStringLiteral("WhenConnected"));
    FirstDisplayMode();
    // The counters follow this call's link since the check that found it.
    SetByteBaselines();

    state_.minimumSoundPlayed = false;
    state_.maximumSoundPlayed = false;
    state_.autoHangUp = false;

    if (s_.settings.Show_Digital_Display != 2)
        ShowDigitalDisplay();

    trayGeneral->setHint(QStringLiteral("VORN - [Connecting]"));
    SetDigitalText(QStringLiteral("CALL"), s_.settings.Color_LED_Idle);

    state_.dtrByteTotal = 0;
    state_.lightsLastTransmitted = 0;
    state_.lightsLastReceived = 0;

    timerDTR->setEnabled(s_.settings.Show_DTR);
    timerCost->setEnabled(s_.settings.Show_Cost);
    timerDisplay->setEnabled(true);
    timerExecuteDelay->setEnabled(true);
    EmptyApplicationProcesses();
    timerTransmitReceive->setEnabled(s_.settings.Enable_TransmitReceive);

    if (!s_.settings.Check_At_Startup)
        mnuCheckForMail->setEnabled(true);
    mnuIPAddress->setEnabled(true);
    mnuHangUp->setEnabled(true);

    GetConnectoidName(globals_.CurrentConnectoid);
    state_.connectSpeed = GetConnectSpeed();

    const double adjustment = GetHandshakingAdjustment(tariffContext(), globals_.CurrentConnectoid);
    // A nonsense value (not finite, or beyond a day) would move the start to anywhere.
    if (std::isfinite(adjustment) && std::fabs(adjustment) <= 86400.0)
        state_.callStartCount -= static_cast<qint64>(adjustment * 1000.0);

    if (s_.settings.Auto_Disconnect_Connect_Speed > 0)
        CheckConnectSpeed();

    state_.ipText = QStringLiteral("?.?.?.?");
    s_.debugLog.add(QStringLiteral("timerChecker - Finish not previously connected but now "
                                   "connected"));
}

void TfrmDigital::callStillRunning() {
    s_.debugLog.add(QStringLiteral("timerChecker - Start previously connected and still "
                                   "connected"));
    // The rules, the charge sounds and the flashing icon read the cost result; without
    // timerCost (the cost not on the display) nothing else keeps it current.
    if (!timerCost->enabled())
        UpdateCost();
    SetConnectedHint();
    CheckChargeSounds();

    // Pending events are not handled here but as soon as the check returns: a window or a
    // mail check opened from one of them would hold this check, and the watching, for as
    // long as it lasts.
    CheckCallLength();
    CheckCallCost();
    CheckIdle();
    CheckDisconnectTime();
    CheckFreeMinutes();
    CheckMinimumPeriod();

    FlashIconMinimum();
    FlashIconConnected();
    FlashIconMaximum();

    ApplicationsAtConnect();

    // Staying on top is only a wish to the window manager: a full-screen or another
    // always-on-top window may still cover the LED, so it is put back on top at every check.
    if (state_.displayVisible)
        raise();

    WriteCrashRecoveryValues(true, false);
    s_.debugLog.add(QStringLiteral("timerChecker - Finish previously connected and still "
                                   "connected"));
}

void TfrmDigital::callEnded() {
    s_.debugLog.add(QStringLiteral("timerChecker - Start previously connected but now not "
                                   "connected"));
    trayGeneral->setVisible(!s_.settings.Hide_Tray_Icon);
    trayMail->setHint(QString());
    trayMail->setVisible(false);
    trayUpdate->setVisible(false);

    timerDisplay->setEnabled(false);
    mnuIPAddress->setEnabled(false);
    timerDTR->setEnabled(false);
    timerCost->setEnabled(false);
    timerExecuteDelay->setEnabled(false);
    timerTransmitReceive->setEnabled(false);

    AbortMailCheck();
    PlaySoundEvent(QStringLiteral("WhenDisconnect"));

    mnuCheckForMail->setEnabled(false);
    mnuHangUp->setEnabled(false);

    globals_.flashToggle = true;
    trayGeneral->setIcon(imgIcon);
    lcdLights->setCaption(QString(QChar(250)));

    trayGeneral->setHint(HintNotConnected);
    SetDigitalText(NoCallText, s_.settings.Color_LED_Idle);

    // The link's counters are gone with its interface by now, so the data figure written by
    // the last check of the running call stands.
    WriteCrashRecoveryValues(false, false);

    s_.settings.Auto_Disconnect = state_.savedAutoDisconnect;
    s_.store.writeInteger(ProductKey, QStringLiteral("Auto_Disconnect"),
                          s_.settings.Auto_Disconnect);
    s_.store.sync();

    const TariffContext tariff = tariffContext();
    ProcessLogEntry(CallRecordingContext{s_.store, checkerBoxes_, tariff}, callLogPath(), false,
                    state_.autoHangUp, state_.connectSpeed, globals_.CurrentConnectoid,
                    GetUserNameText());

    CloseApplications();
    ApplicationsAtDisconnect();
    if (state_.autoHangUp)
        DoOperationAfterAutoDisconnecting();
    else
        DoOperationAfterDisconnecting();

    s_.debugLog.add(QStringLiteral("timerChecker - Finish previously connected but now not "
                                   "connected"));
    LayoutDigitalDisplay();

    if (s_.settings.Exit_VORN)
        Q_EMIT quitRequested(0);
}

void TfrmDigital::WriteCrashRecoveryValues(bool withDataTransfer, bool withUserName) {
    SettingsStore& store = s_.store;
    store.writeString(ProductKey, lastcall::Start,
                      datetime::floatToText(GetCallStartTime(), s_.regional));
    store.writeString(ProductKey, lastcall::Finish,
                      datetime::floatToText(s_.clock.now(), s_.regional));
    if (withUserName) {
        // The first write of a call: nothing transferred yet, the user who started it.
        store.writeString(ProductKey, lastcall::DataTransfer, QStringLiteral("0"));
        store.writeString(ProductKey, lastcall::UserName, GetUserNameText());
    } else if (withDataTransfer) {
        store.writeString(ProductKey, lastcall::DataTransfer,
                          QString::number(GetDataTransferred()));
    }
    store.writeString(ProductKey, lastcall::ConnectoidName, globals_.CurrentConnectoid);
    store.writeInteger(ProductKey, lastcall::ConnectSpeed, state_.connectSpeed);
    // A crash or a power cut must find the values of this check, not of an earlier one.
    store.sync();
}

void TfrmDigital::CheckRasConnection() {
    const auto connections = s_.dialUp.connections();
    if (!connections || connections->isEmpty())
        return;
    if (isConnectedDialUpState(connections->first().state)) {
        state_.connected = true;
        // A service may name the link only a while into the call (NetworkManager once the
        // device has its IP interface), or name another one after a reconnect.
        FollowCallInterface(connections->first().interfaceName);
    }
}

void TfrmDigital::GetConnectoidName(QString& name) {
    const auto connections = s_.dialUp.connections();
    if (!connections)
        return;
    if (connections->isEmpty()) {
        name = UnknownConnectoid;
        return;
    }
    // As the call log will hold it: a name outside the code page still finds its own bands,
    // applications and log entries.
    const QString entry =
        codepage::roundTrip(connections->first().entryName, ConnectoidNameTable::MaxNameLength);
    name = entry.isEmpty() ? UnknownConnectoid : entry;
}

void TfrmDigital::HangUp(bool autoHangUp) {
    state_.autoHangUp = autoHangUp;
    const auto connections = s_.dialUp.connections();
    if (!connections)
        return;
    for (const DialUpConnection& connection : *connections)
        s_.dialUp.hangUp(connection);
}

void TfrmDigital::mnuHangUpClick() {
    if (mnuHangUp->isEnabled())
        HangUp(false);
}

TDateTime TfrmDigital::GetCallStartTime() const {
    const qint64 wholeSeconds = (s_.clock.milliseconds() - state_.callStartCount) / 1000;
    return s_.clock.now() - static_cast<double>(wholeSeconds) / 86400.0;
}

quint32 TfrmDigital::GetConnectSpeed() {
    if (!s_.dialUp.knowsConnectSpeed())
        return 0;
    const auto connections = s_.dialUp.connections();
    if (!connections || connections->isEmpty())
        return 0;
    return connections->first().connectSpeed;
}

void TfrmDigital::UpdateCost() {
    typCallCostInformation result;
    CalculateCost(tariffContext(), globals_.CurrentConnectoid, result, GetCallStartTime(),
                  s_.clock.now());
    state_.costResult = result;
}
