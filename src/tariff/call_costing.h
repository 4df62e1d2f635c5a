#pragma once

#include "core/datetime.h"

#include <QString>

struct TariffContext;

// The program's time steps in days, kept in extended precision as it always has; both
// are a hair short of the exact fractions, and calls have always been timed by them.
inline constexpr long double OneSecond = 0.00001157407407L;
inline constexpr long double OneMinute = 0.0006944444442L;

struct typCallCostInformation {
    double With_Discount = 0;
    double Without_Discount = 0; // before the percentage discount
    bool In_Minimum_Period = false;
    bool OutsideFreePeriod = false; // at least one second after the free minutes was priced
    bool In_Maximum_Period = false;
};

namespace tariff {
// The moment one second later, stepped the way call costing always steps it.
inline double nextSecond(double moment) {
    return static_cast<double>(static_cast<long double>(moment) + OneSecond);
}
} // namespace tariff

// Prices a call of the connectoid from StartTime to FinishTime: every second after the
// free minutes at its own moment, then the minimum, discount, connection and maximum
// charges of the further details. Nothing is rounded.
void CalculateCost(const TariffContext& tariff, const QString& DialUpName,
                   typCallCostInformation& Result, TDateTime StartTime, TDateTime FinishTime);
