#pragma once

#include "call_costing.h"

#include <QtGlobal>

#include <cfloat>
#include <cmath>

// Steps a moment on by OneSecond exactly as tariff::nextSecond does, without a round trip
// through extended precision for every second.
//
// Between two powers of two every double is a multiple of the same ulp, so adding the
// extended OneSecond and rounding back to double moves each of them by the same multiple
// of that ulp, unless the sum leaves the range or a rounding tie makes the step depend on
// the last bit. The stepper measures the step on two neighbours of opposite last bit and
// then adds it as a plain double; anywhere else it takes the slow step.
class SecondStepper {
public:
    double next(double moment) {
        if (Q_LIKELY(moment >= from_ && moment <= until_))
            return moment + step_;
        return nextSlowly(moment);
    }

private:
    Q_DECL_COLD_FUNCTION Q_NEVER_INLINE double nextSlowly(double moment) {
        const double next = tariff::nextSecond(moment);
        from_ = 1;
        until_ = 0;
        if (!(moment >= DBL_MIN) || !std::isfinite(moment))
            return next;
        int exponent = 0;
        std::frexp(moment, &exponent);
        const double low = std::ldexp(1.0, exponent - 1);
        const double high = std::ldexp(1.0, exponent);
        const double ulp = std::ldexp(1.0, exponent - DBL_MANT_DIG);
        if (!(next < high))
            return next;
        const double step = next - moment; // exact: both lie in [low, high)
        const double neighbour = moment + ulp < high ? moment + ulp : moment - ulp;
        if (neighbour < low || !(step > 0) || tariff::nextSecond(neighbour) - neighbour != step)
            return next;
        from_ = low;
        until_ = high - 2 * step; // the sum stays below high, in extended precision too
        step_ = step;
        return next;
    }

    double from_ = 1;
    double until_ = 0;
    double step_ = 0;
};
