// Data transferred, data transfer rate and the transmit/receive lights, from the byte
// counters of the call's link.
//
// SetByteBaselines and GetDataTransferred do their real work (the call log records the
// data of a call); CalculateDTR and UpdateLights are placeholders that record their call.

#include "monitor/tfrm_digital.h"

#include "core/settings.h"
#include "platform/byte_counters.h"

void TfrmDigital::SetByteBaselines() {
    journal(QStringLiteral("SetByteBaselines"));
    globals_.baselineReceived = s_.byteCounters.GetByteCount(u"r");
    globals_.baselineTransmitted = s_.byteCounters.GetByteCount(u"t");
}

quint64 TfrmDigital::GetDataTransferred() {
    if (!s_.byteCounters.IsDataRateAvailable())
        return 0;
    const int choice = s_.settings.Data_Log;
    if (choice < 0 || choice > 2)
        return 0;
    quint64 sum = 0;
    if (choice == 0 || choice == 2)
        sum += s_.byteCounters.GetByteCount(u"r") - globals_.baselineReceived;
    if (choice == 1 || choice == 2)
        sum += s_.byteCounters.GetByteCount(u"t") - globals_.baselineTransmitted;
    return sum;
}

void TfrmDigital::CalculateDTR() {
    journal(QStringLiteral("CalculateDTR"));
}

void TfrmDigital::UpdateLights() {
    journal(QStringLiteral("UpdateLights"));
}
