// The tray: the connected hint, the menu commands that open other windows, sounds, and
// the background mail check after connect.
//
// Placeholders: each records its call in the journal and changes nothing.

#include "monitor/tfrm_digital.h"

#include "monitor/vorn_timer.h"

void TfrmDigital::SetConnectedHint() {
    journal(QStringLiteral("SetConnectedHint"));
}

void TfrmDigital::CheckChargeSounds() {
    journal(QStringLiteral("CheckChargeSounds"));
}

void TfrmDigital::PlaySoundEvent(const QString& eventName) {
    journal(QStringLiteral("PlaySoundEvent ") + eventName);
}

void TfrmDigital::CheckForMail(bool all) {
    journal(all ? QStringLiteral("CheckForMail all") : QStringLiteral("CheckForMail startup"));
}

void TfrmDigital::AbortMailCheck() {
    journal(QStringLiteral("AbortMailCheck"));
}

void TfrmDigital::timerExecuteDelayTimer() {
    journal(QStringLiteral("timerExecuteDelayTimer"));
    timerExecuteDelay->setEnabled(false);
}

void TfrmDigital::timerTimeoutTimer() {
    journal(QStringLiteral("timerTimeoutTimer"));
    state_.mailTimedOut = true;
}

void TfrmDigital::mnuHelpClick() {
    journal(QStringLiteral("mnuHelpClick"));
}

void TfrmDigital::mnuOptionsClick() {
    journal(QStringLiteral("mnuOptionsClick"));
}

void TfrmDigital::mnuToolsClick() {
    journal(QStringLiteral("mnuToolsClick"));
}

void TfrmDigital::mnuLogClick() {
    journal(QStringLiteral("mnuLogClick"));
}

void TfrmDigital::mnuCheckForMailClick() {
    journal(QStringLiteral("mnuCheckForMailClick"));
}

void TfrmDigital::mnuIPAddressClick() {
    journal(QStringLiteral("mnuIPAddressClick"));
}

void TfrmDigital::trayGeneralDblClick() {
    journal(QStringLiteral("trayGeneralDblClick"));
}

void TfrmDigital::trayMailDblClick() {
    journal(QStringLiteral("trayMailDblClick"));
}

void TfrmDigital::mnuMailCloseClick() {
    journal(QStringLiteral("mnuMailCloseClick"));
}

void TfrmDigital::mnuCloseUpdateClick() {
    journal(QStringLiteral("mnuCloseUpdateClick"));
}
