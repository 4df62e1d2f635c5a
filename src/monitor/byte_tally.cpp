#include "monitor/byte_tally.h"

namespace {
constexpr quint64 ThirtyTwoBits = quint64(1) << 32;

quint64 saturatingAdd(quint64 a, quint64 b) {
    return a > ~quint64(0) - b ? ~quint64(0) : a + b;
}
} // namespace

quint64 ByteTally::update(quint64 reading) {
    if (reading >= last_) {
        counted_ = saturatingAdd(counted_, reading - last_);
    } else if (last_ < ThirtyTwoBits) {
        const quint64 acrossWrap = reading + ThirtyTwoBits - last_;
        if (acrossWrap < MaxWrapStep)
            counted_ = saturatingAdd(counted_, acrossWrap);
    }
    last_ = reading;
    return counted_;
}
