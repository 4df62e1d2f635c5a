#pragma once

#include "core/datetime.h"
#include "core/records.h"

#include <QString>
#include <QtGlobal>

struct TariffContext;

// A time of day from whole hours, minutes and seconds, as the band editor and the
// presets build band times.
constexpr double TimeOfDay(int hour, int minute, int second) {
    return (hour * 3600000 + minute * 60000 + second * 1000) / datetime::MillisecondsPerDay;
}

namespace tariff {

// The two limits of an over-midnight band. Band times are inclusive whole seconds, so the
// moments after 23:59:59 inside the last second of a day fall in neither half.
inline constexpr double LastSecondOfDay = TimeOfDay(23, 59, 59);
inline constexpr double Midnight = TimeOfDay(0, 0, 0);

// Beyond this a date-time has no sensible day of the week; such moments match no band.
inline constexpr double LatestMoment = 1e15;

// A moment as the bands see it: its day-of-week bit (0 when it has none) and its time of
// day (the fraction of the day).
struct Moment {
    qint32 dayBit = 0;
    double time = 0;
};
Moment splitMoment(TDateTime moment);

inline bool timeInBand(double start, double finish, double time) {
    if (start <= finish)
        return start <= time && time <= finish;
    return (start <= time && time <= LastSecondOfDay) || (Midnight <= time && time <= finish);
}

} // namespace tariff

// True when a call of Duration seconds lies in the window; 0 as a bound means none.
bool InLengthWindow(qint32 Duration, qint32 LengthStart, qint32 LengthFinish);

// Whether a band applies to the connectoid, a call of Duration seconds and the moment.
bool BandMatches(const typCostingInformation& band, const QString& DUN, qint32 Duration,
                 const tariff::Moment& moment);

// The price of the one second at TheTime: the first matching band with a non-zero charge
// decides, in slot order; none gives 0.
double CostOfThisSecond(const TariffContext& tariff, const QString& DUN, qint32 Duration,
                        TDateTime TheTime);

// The free minutes of the first matching band that grants any.
qint32 GetFreeMinutes(const TariffContext& tariff, const QString& DUN, qint32 Duration,
                      TDateTime TheTime);
