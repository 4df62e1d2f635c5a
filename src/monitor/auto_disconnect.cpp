// Auto-disconnect: the rules that end a call by themselves after a countdown, and what
// happens after a hang-up.
//
// Placeholders: each records its call in the journal and changes nothing.

#include "monitor/tfrm_digital.h"

void TfrmDigital::CheckCallLength() {
    journal(QStringLiteral("CheckCallLength"));
}

void TfrmDigital::CheckCallCost() {
    journal(QStringLiteral("CheckCallCost"));
}

void TfrmDigital::CheckIdle() {
    journal(QStringLiteral("CheckIdle"));
}

void TfrmDigital::CheckDisconnectTime() {
    journal(QStringLiteral("CheckDisconnectTime"));
}

void TfrmDigital::CheckFreeMinutes() {
    journal(QStringLiteral("CheckFreeMinutes"));
}

void TfrmDigital::CheckMinimumPeriod() {
    journal(QStringLiteral("CheckMinimumPeriod"));
}

void TfrmDigital::CheckConnectSpeed() {
    journal(QStringLiteral("CheckConnectSpeed"));
}

void TfrmDigital::DoOperationAfterAutoDisconnecting() {
    journal(QStringLiteral("DoOperationAfterAutoDisconnecting"));
}

void TfrmDigital::DoOperationAfterDisconnecting() {
    journal(QStringLiteral("DoOperationAfterDisconnecting"));
}
