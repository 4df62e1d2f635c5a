// The LED display: what the LED window shows and when, its size and place, the display
// changer and the flashing tray icon.
//
// Placeholders until the display arrives: only SetDigitalText and the geometry do their
// real work; the others record their call in the journal and change nothing.

#include "monitor/tfrm_digital.h"

#include "core/settings.h"

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
    Q_UNUSED(colour);
}

void TfrmDigital::LayoutDigitalDisplay() {
    journal(QStringLiteral("LayoutDigitalDisplay"));
}

void TfrmDigital::ShowDigitalDisplay() {
    journal(QStringLiteral("ShowDigitalDisplay"));
    state_.displayVisible = true;
}

void TfrmDigital::HideDigitalDisplay() {
    journal(QStringLiteral("HideDigitalDisplay"));
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
