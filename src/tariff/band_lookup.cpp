#include "band_lookup.h"

#include "charge_bands.h"

#include <algorithm>
#include <cmath>

BandLookup::BandLookup(const CostingTable& bands, const QString& DUN, qint32 Duration) {
    // Slot order decides, so keep it. A band that cannot match this call, or whose charge
    // is 0 (it never ends the search), can never decide a price and is left out.
    for (const typCostingInformation& band : bands) {
        if (isFreeSlot(band) || band.ChargePerMin == 0)
            continue;
        if (band.Connectoid_Name != DUN && band.Connectoid_Name != DefaultConnectoid)
            continue;
        if (!InLengthWindow(Duration, band.Length_Start, band.Length_Finish))
            continue;
        bands_[static_cast<size_t>(count_++)] = {band.StartTime, band.FinishTime, band.ChargePerMin,
                                                 band.Days};
    }
}

namespace {

constexpr double Infinity = std::numeric_limits<double>::infinity();

struct Segment {
    double first;
    double last;
};

// The closed stretches of a day that a band covers, as tariff::timeInBand tests them.
int segmentsOf(double start, double finish, Segment out[2]) {
    if (start <= finish) {
        out[0] = {start, finish};
        return 1;
    }
    out[0] = {start, tariff::LastSecondOfDay};
    out[1] = {tariff::Midnight, finish};
    return 2;
}

// How far the time of day may move on from `time` while a band that does not cover it
// still does not: to just before the next of its stretches.
double stillOutsideUntil(const Segment* segments, int n, double time) {
    double until = Infinity;
    for (int i = 0; i < n; ++i) {
        const Segment& s = segments[i];
        if (s.first <= s.last && s.first > time)
            until = std::min(until, std::nextafter(s.first, -Infinity));
    }
    return until;
}

// How far it may move on while a band that covers `time` still does: to the end of the
// stretch that holds it.
double stillInsideUntil(const Segment* segments, int n, double time) {
    for (int i = 0; i < n; ++i) {
        const Segment& s = segments[i];
        if (s.first <= time && time <= s.last)
            return s.last;
    }
    return time;
}

} // namespace

double BandLookup::rescan(double day, double time, TDateTime moment) {
    ++scans_;
    const tariff::Moment m = tariff::splitMoment(moment);
    double rate = 0;
    double until = Infinity;
    for (int i = 0; i < count_ && rate == 0; ++i) {
        const Band& band = bands_[static_cast<size_t>(i)];
        if ((band.days & m.dayBit) == 0)
            continue;
        Segment segments[2];
        const int n = segmentsOf(band.start, band.finish, segments);
        if (tariff::timeInBand(band.start, band.finish, m.time)) {
            rate = band.chargePerMin;
            until = std::min(until, stillInsideUntil(segments, n, m.time));
        } else {
            until = std::min(until, stillOutsideUntil(segments, n, m.time));
        }
    }
    const double cost = rate / 60;

    // Only a moment whose day and time were split the same way as splitMoment does may
    // reuse the answer; anything else is scanned every time.
    if (std::isnan(day) || time != m.time) {
        day_ = std::numeric_limits<double>::quiet_NaN();
        return cost;
    }
    day_ = day;
    from_ = time;
    until_ = until;
    cost_ = cost;
    return cost;
}
