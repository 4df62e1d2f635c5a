// The LED display: what the LED window shows and when, its size and place, the display
// changer and the flashing tray icon.
//
// Placeholders until the display arrives: SetDigitalText, the layout, showing and hiding
// and the geometry do their real work; the others record their call in the journal and
// change nothing.

#include "monitor/tfrm_digital.h"

#include "core/settings.h"
#include "widgets/lcd_label.h"

namespace {
// Settings hold Windows colour values: red in the low byte, blue in the third.
QColor fromColourSetting(qint32 value) {
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

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
} // namespace

void TfrmDigital::timerDisplayTimer() {
    journal(QStringLiteral("timerDisplayTimer"));
}

void TfrmDigital::timerCostTimer() {
    UpdateCost();
}

void TfrmDigital::timerAutoHideTimer() {
    journal(QStringLiteral("timerAutoHideTimer"));
}

void TfrmDigital::FirstDisplayMode() {
    journal(QStringLiteral("FirstDisplayMode"));
}

void TfrmDigital::NextDisplayMode() {
    journal(QStringLiteral("NextDisplayMode"));
}

void TfrmDigital::SetDigitalText(const QString& text, qint32 colour) {
    journal(QStringLiteral("SetDigitalText ") + text);
    const qsizetype pad = (lcdDigital->noOfChars() - text.size()) / 2;
    lcdDigital->setPixelOn(fromColourSetting(colour));
    lcdDigital->setCaption(pad > 0 ? QString(pad, u' ') + text : text);
}

void TfrmDigital::LayoutDigitalDisplay() {
    journal(QStringLiteral("LayoutDigitalDisplay"));
    const typSettings& st = s_.settings;
    const int count = st.Number_Of_Characters + 6;
    lcdDigital->setNoOfChars(count);
    lcdDigital->setPixelSize(pixelSizeFor(st.Character_Size));
    lcdDigital->setPixelSpacing(st.Pixel_Spacing);
    lcdLights->setCaption(QString(QChar(250)));
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
    show();
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

void TfrmDigital::FlashIconMinimum() {
    journal(QStringLiteral("FlashIconMinimum"));
}

void TfrmDigital::FlashIconConnected() {
    journal(QStringLiteral("FlashIconConnected"));
}

void TfrmDigital::FlashIconMaximum() {
    journal(QStringLiteral("FlashIconMaximum"));
}
