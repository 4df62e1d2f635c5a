#pragma once

#include "datetime.h"

#include <QtGlobal>

// The program's two clocks: the local date-time, and a monotonic millisecond counter
// (the "system millisecond counter" that times a running call). Injected so that tests
// can set both.
class Clock {
public:
    virtual ~Clock() = default;
    virtual TDateTime now() const = 0;
    // Milliseconds since an arbitrary fixed point (the system's start); 64-bit, never wraps.
    virtual qint64 milliseconds() const = 0;
};

class SystemClock final : public Clock {
public:
    TDateTime now() const override;
    qint64 milliseconds() const override;
};
