// Applications started during and after a call, and closed when it ends.
//
// Placeholders: each records its call in the journal; EmptyApplicationProcesses does its
// real work.

#include "monitor/tfrm_digital.h"

void TfrmDigital::ApplicationsAtConnect() {
    journal(QStringLiteral("ApplicationsAtConnect"));
}

void TfrmDigital::ApplicationsAtDisconnect() {
    journal(QStringLiteral("ApplicationsAtDisconnect"));
}

void TfrmDigital::CloseApplications() {
    journal(QStringLiteral("CloseApplications"));
}

void TfrmDigital::EmptyApplicationProcesses() {
    journal(QStringLiteral("EmptyApplicationProcesses"));
    globals_.ApplicationProcesses = {};
}
