// Data transferred, data transfer rate and the transmit/receive lights, from the byte
// counters of the call's link.

#include "monitor/tfrm_digital.h"

#include "core/settings.h"
#include "monitor/display_texts.h"
#include "monitor/vorn_timer.h"
#include "platform/byte_counters.h"
#include "widgets/lcd_label.h"

namespace {

struct Readings {
    quint64 received = 0;
    quint64 transmitted = 0;
};

// Reads both counters and brings the call's tallies up to date, so that every reading,
// whoever asks for it, helps to notice a counter that wrapped or started again.
Readings readLink(ByteCounters& counters, MonitorGlobals& globals) {
    Readings now{counters.GetByteCount(u"r"), counters.GetByteCount(u"t")};
    globals.receivedTally.update(now.received);
    globals.transmittedTally.update(now.transmitted);
    return now;
}

// Bytes of the call in the directions a Data_Log or Data_DTR choice names: 0 received,
// 1 sent, 2 both; any other choice counts nothing.
quint64 chosenBytes(int choice, const MonitorGlobals& globals) {
    quint64 sum = 0;
    if (choice == 0 || choice == 2)
        sum += globals.receivedTally.counted();
    if (choice == 1 || choice == 2)
        sum += globals.transmittedTally.counted();
    return sum;
}

} // namespace

void TfrmDigital::SetByteBaselines() {
    journal(QStringLiteral("SetByteBaselines"));
    globals_.baselineReceived = s_.byteCounters.GetByteCount(u"r");
    globals_.baselineTransmitted = s_.byteCounters.GetByteCount(u"t");
    globals_.receivedTally.start(globals_.baselineReceived);
    globals_.transmittedTally.start(globals_.baselineTransmitted);
}

void TfrmDigital::FollowCallInterface(const QString& interfaceName) {
    if (interfaceName == globals_.linkInterface)
        return;
    globals_.linkInterface = interfaceName;
    s_.byteCounters.setInterfaceName(interfaceName);
    // What the link moved before it was known, or on the link before, is not this call's
    // traffic on it; the bytes counted so far stay.
    globals_.receivedTally.rebase(s_.byteCounters.GetByteCount(u"r"));
    globals_.transmittedTally.rebase(s_.byteCounters.GetByteCount(u"t"));
}

quint64 TfrmDigital::GetDataTransferred() {
    if (!s_.byteCounters.IsDataRateAvailable())
        return 0;
    readLink(s_.byteCounters, globals_);
    return chosenBytes(s_.settings.Data_Log, globals_);
}

void TfrmDigital::CalculateDTR() {
    if (!s_.byteCounters.IsDataRateAvailable()) {
        state_.dtrPrevious = 0;
        state_.dtrCurrent = 0;
        state_.dtrByteTotal = 0;
        return;
    }
    readLink(s_.byteCounters, globals_);
    const quint64 total = chosenBytes(s_.settings.Data_DTR, globals_);
    // The tallies only grow; a total below the last one means Data_DTR was changed in the
    // middle of the call, which is no traffic.
    const quint64 moved = total >= state_.dtrByteTotal ? total - state_.dtrByteTotal : 0;
    state_.dtrPrevious = state_.dtrCurrent;
    state_.dtrCurrent = display::transferRate(moved, timerDTR->interval());
    state_.dtrByteTotal = total;
}

void TfrmDigital::UpdateLights() {
    const Readings now = readLink(s_.byteCounters, globals_);
    lcdLights->setPixelOn(display::ledColour(s_.settings.Color_LED_Lights));
    const char16_t glyph = display::lightsGlyph(now.transmitted != state_.lightsLastTransmitted,
                                                now.received != state_.lightsLastReceived);
    lcdLights->setCaption(QString(QChar(glyph)));
    state_.lightsLastTransmitted = now.transmitted;
    state_.lightsLastReceived = now.received;
}
