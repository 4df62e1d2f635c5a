// Data transferred, data transfer rate and the transmit/receive lights, from the byte
// counters of the call's link.
//
// Placeholders: each records its call in the journal and changes nothing.

#include "monitor/tfrm_digital.h"

void TfrmDigital::SetByteBaselines() {
    journal(QStringLiteral("SetByteBaselines"));
}

quint64 TfrmDigital::GetDataTransferred() {
    journal(QStringLiteral("GetDataTransferred"));
    return 0;
}

void TfrmDigital::CalculateDTR() {
    journal(QStringLiteral("CalculateDTR"));
}

void TfrmDigital::UpdateLights() {
    journal(QStringLiteral("UpdateLights"));
}
