// The LED display: what the LED window shows and when, its size and place, the display
// changer, the intelligent display and the flashing tray icon.

#include "monitor/tfrm_digital.h"

#include "core/clock.h"
#include "core/debug_log.h"
#include "core/formatting.h"
#include "core/regional.h"
#include "core/settings.h"
#include "monitor/display_texts.h"
#include "tariff/charge_bands.h"
#include "tariff/tariff_context.h"
#include "widgets/lcd_label.h"
#include "widgets/taskbar_icon.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

#include <limits>

namespace {

TLCDLabel::TPixelSize pixelSizeFor(int characterSize) {
    switch (characterSize) {
    case 0:
        return TLCDLabel::pix1x1;
    case 2:
        return TLCDLabel::pix3x3;
    default:
        return TLCDLabel::pix2x2;
    }
}

// Whole seconds of the running call, as GetCallStartTime counts them; never negative.
qint64 callSeconds(const Clock& clock, qint64 callStartCount) {
    const qint64 seconds = (clock.milliseconds() - callStartCount) / 1000;
    return seconds > 0 ? seconds : 0;
}

QString cornerName(display::Corner corner) {
    switch (corner) {
    case display::Corner::TopLeft:
        return QStringLiteral("TL");
    case display::Corner::TopRight:
        return QStringLiteral("TR");
    case display::Corner::BottomLeft:
        return QStringLiteral("BL");
    case display::Corner::BottomRight:
        return QStringLiteral("BR");
    }
    return QStringLiteral("TL");
}

// The three flash options share one toggle: each call shows the flash picture or the
// normal one, whichever the toggle did not show last.
void flashIcon(bool& toggle, TantTaskbarIcon* tray, const QIcon& flash, const QIcon& normal) {
    toggle = !toggle;
    tray->setIcon(toggle ? normal : flash);
}

} // namespace

void TfrmDigital::timerDisplayTimer() {
    const quint8 mode = state_.displayMode;
    if (mode >= display::ModeCount)
        return;
    NextDisplayMode();
    switch (mode) {
    case display::ModeTime:
        PopulateTime();
        break;
    case display::ModeCost:
        PopulateCost();
        break;
    case display::ModeCostPerMinute:
        PopulateCostPerMinute();
        break;
    case display::ModeDTR:
        PopulateDTR();
        break;
    case display::ModeDataTransferred:
        PopulateDataTransferred();
        break;
    case display::ModeConnectSpeed:
        PopulateConnectSpeed();
        break;
    }
}

void TfrmDigital::timerCostTimer() {
    UpdateCost();
}

void TfrmDigital::FirstDisplayMode() {
    journal(QStringLiteral("FirstDisplayMode"));
    state_.displayMode = display::firstMode(display::enabledModes(s_.settings));
}

void TfrmDigital::NextDisplayMode() {
    state_.displayMode = display::nextMode(state_.displayMode, display::enabledModes(s_.settings));
}

void TfrmDigital::PopulateTime() {
    state_.timeText = display::durationText(callSeconds(s_.clock, state_.callStartCount),
                                            s_.regional.timeSeparator);
    SetDigitalText(state_.timeText, s_.settings.Color_LED_Time);
}

void TfrmDigital::PopulateCost() {
    const display::LedText cost =
        display::costText(state_.costResult, s_.settings, display::ledRegional(s_.regional));
    state_.costText = cost.text;
    SetDigitalText(cost.text, cost.colour);
}

void TfrmDigital::PopulateCostPerMinute() {
    const qint64 seconds = callSeconds(s_.clock, state_.callStartCount);
    s_.debugLog.trace([&] {
        return QStringLiteral("PopulateCostPerMinute - Duration = ") + QString::number(seconds);
    });
    const qint32 duration =
        static_cast<qint32>(qMin<qint64>(seconds, std::numeric_limits<qint32>::max()));
    const double perMinute =
        CostOfThisSecond(tariffContext(), globals_.CurrentConnectoid, duration, s_.clock.now()) *
        60;
    state_.costPerMinuteText = FormatMoneyWithSymbol(s_.settings.Decimal_Places_Cost_Per_Minute,
                                                     perMinute, display::ledRegional(s_.regional)) +
                               QStringLiteral("/m");
    SetDigitalText(state_.costPerMinuteText, s_.settings.Color_LED_Cost_Per_Minute);
}

void TfrmDigital::PopulateDTR() {
    state_.dtrText =
        display::dtrText(state_.dtrCurrent, state_.dtrPrevious, s_.settings.Decimal_Places_DTR,
                         display::ledRegional(s_.regional));
    SetDigitalText(state_.dtrText, s_.settings.Color_LED_DTR);
}

void TfrmDigital::PopulateDataTransferred() {
    const quint64 bytes = GetDataTransferred();
    const qint64 shown = static_cast<qint64>(
        qMin<quint64>(bytes, static_cast<quint64>(std::numeric_limits<qint64>::max())));
    state_.dataText = FormatDataSize(s_.settings.Decimal_Places_Data_Transferred, shown,
                                     display::ledRegional(s_.regional));
    SetDigitalText(state_.dataText, s_.settings.Color_LED_Transferred);
}

void TfrmDigital::PopulateConnectSpeed() {
    SetDigitalText(QString::number(state_.connectSpeed), s_.settings.Color_Connect_Speed);
}

void TfrmDigital::SetDigitalText(const QString& text, qint32 colour) {
    journal(QStringLiteral("SetDigitalText ") + text);
    lcdDigital->setPixelOn(display::ledColour(colour));
    lcdDigital->setCaption(display::centred(text, lcdDigital->noOfChars()));
}

void TfrmDigital::LayoutDigitalDisplay() {
    journal(QStringLiteral("LayoutDigitalDisplay"));
    const typSettings& st = s_.settings;
    const int count = st.Number_Of_Characters + 6;
    lcdDigital->setNoOfChars(count);
    lcdDigital->setPixelSize(pixelSizeFor(st.Character_Size));
    lcdDigital->setPixelSpacing(st.Pixel_Spacing);
    lcdLights->setCaption(QString(QChar(display::LightsIdle)));
    lcdLights->setPixelSize(pixelSizeFor(st.Character_Size));
    lcdLights->setPixelSpacing(st.Pixel_Spacing);

    const int lightsWidth = DigitalTextWidth(st.Character_Size, 1, st.Pixel_Spacing);
    const int textWidth = DigitalTextWidth(st.Character_Size, count, st.Pixel_Spacing);
    if (st.Enable_TransmitReceive) {
        lcdLights->move(FrameWidth, FrameWidth);
        lcdLights->setVisible(true);
        lcdDigital->move(FrameWidth + lightsWidth + 1, lcdDigital->y());
        resize(textWidth + lightsWidth + 2 * FrameWidth, height());
    } else {
        lcdLights->setVisible(false);
        lcdDigital->move(FrameWidth, lcdDigital->y());
        resize(textWidth + 2 * FrameWidth, height());
    }
}

void TfrmDigital::ShowDigitalDisplay() {
    journal(QStringLiteral("ShowDigitalDisplay"));
    // Shown without taking the focus (WA_ShowWithoutActivating) and above other windows.
    show();
    raise();
    LayoutDigitalDisplay();
    state_.displayVisible = true;
}

void TfrmDigital::HideDigitalDisplay() {
    journal(QStringLiteral("HideDigitalDisplay"));
    hide();
    state_.displayVisible = false;
}

int TfrmDigital::DigitalTextWidth(int size, int count, int spacing) {
    if (size < 0 || size > 2)
        return 0;
    if (count != 1 && (count < 6 || count > 12))
        return 0;
    const int dot = size + 1;
    const int gap = spacing == 1 ? 1 : 0;
    return count * (5 * dot + 4 * gap + 2);
}

int TfrmDigital::DigitalTextHeight(int size, int spacing) {
    if (size < 0 || size > 2)
        return 0;
    const int dot = size + 1;
    const int gap = spacing == 1 ? 1 : 0;
    return 7 * dot + 6 * gap + 2;
}

QRect TfrmDigital::workArea() const {
    if (s_.workArea)
        return s_.workArea();
    const QScreen* shownOn = screen() ? screen() : QGuiApplication::primaryScreen();
    return shownOn ? shownOn->availableGeometry() : QRect(0, 0, 640, 480);
}

QPoint TfrmDigital::cursorPosition() const {
    return s_.cursorPosition ? s_.cursorPosition() : QCursor::pos();
}

bool TfrmDigital::IsCursorNearDisplay(int left, int top) const {
    return display::isCursorNear(cursorPosition(), workArea(), QPoint(left, top), size());
}

void TfrmDigital::MoveDisplayToCorner(const QString& corner) {
    static const QStringList names = {QStringLiteral("TL"), QStringLiteral("TR"),
                                      QStringLiteral("BL"), QStringLiteral("BR")};
    const qsizetype index = names.indexOf(corner);
    if (index < 0)
        return;
    const QPoint target =
        display::cornerTarget(static_cast<display::Corner>(index), workArea(), size());
    // A window already level with the target on either axis stays where it is.
    if (y() == target.y() || x() == target.x())
        return;
    HideDigitalDisplay();
    move(target);
    ShowDigitalDisplay();
}

void TfrmDigital::timerAutoHideTimer() {
    const typSettings& st = s_.settings;
    const int mode = st.Intelligent_Display;
    if (mode < 1 || mode > 6)
        return;
    const QPoint home(st.Window_Left, st.Window_Top);
    const bool near = IsCursorNearDisplay(home.x(), home.y());

    if (state_.displayVisible && near) {
        if (mode == 1)
            HideDigitalDisplay();
        else if (mode == 2)
            MoveDisplayToCorner(cornerName(display::farthestCorner(home, workArea(), size())));
        else
            MoveDisplayToCorner(cornerName(static_cast<display::Corner>(mode - 3)));
        return;
    }

    if (mode >= 2 && !near && pos() != home) {
        // Back home; a window that is hidden now (between calls) stays hidden.
        if (state_.displayVisible) {
            HideDigitalDisplay();
            move(home);
            ShowDigitalDisplay();
        } else {
            move(home);
        }
    }

    if (!near && !state_.displayVisible && mode == 1 && st.Show_Digital_Display != 2 &&
        (state_.connected || st.Show_Digital_Display == 0))
        ShowDigitalDisplay();
}

void TfrmDigital::FlashIconMinimum() {
    journal(QStringLiteral("FlashIconMinimum"));
    if (s_.settings.Flash_Icon_Minimum && state_.costResult.In_Minimum_Period)
        flashIcon(globals_.flashToggle, trayGeneral, imgIcon2, imgIcon);
}

void TfrmDigital::FlashIconConnected() {
    journal(QStringLiteral("FlashIconConnected"));
    if (s_.settings.Flash_Icon_Connected)
        flashIcon(globals_.flashToggle, trayGeneral, imgIcon4, imgIcon);
}

void TfrmDigital::FlashIconMaximum() {
    journal(QStringLiteral("FlashIconMaximum"));
    if (s_.settings.Flash_Icon_Maximum && state_.costResult.In_Maximum_Period)
        flashIcon(globals_.flashToggle, trayGeneral, imgIcon3, imgIcon);
}
