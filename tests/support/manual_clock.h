#pragma once

#include "core/clock.h"

// A clock that only moves when a test moves it.
class ManualClock final : public Clock {
public:
    TDateTime now() const override { return now_; }
    qint64 milliseconds() const override { return ms_; }

    void setNow(TDateTime value) { now_ = value; }
    void setMilliseconds(qint64 ms) { ms_ = ms; }
    // Moves both clocks on together.
    void advance(qint64 ms) {
        ms_ += ms;
        now_ += static_cast<double>(ms) / datetime::MillisecondsPerDay;
    }

private:
    TDateTime now_ = 45000.5; // 15 March 2023, noon
    qint64 ms_ = 1000000;
};
