#pragma once

#include "core/datetime.h"
#include "core/records.h"

#include <QString>
#include <QtGlobal>

#include <array>
#include <limits>

// Prices the seconds of one call exactly as CostOfThisSecond does, without its trace.
//
// A call's connectoid and Duration are fixed, so only the day and the time of day decide
// which band is in force. After a full scan the lookup remembers how far into the day the
// answer cannot change (up to the end of the band that matched, or to the start of any
// band before it in slot order) and scans again only once a moment lies beyond that.
// Meant to be built once per pricing: it copies what it needs from the table.
class BandLookup {
public:
    BandLookup(const CostingTable& bands, const QString& DUN, qint32 Duration);

    double costOfSecond(TDateTime moment) {
        if (moment >= 0 && moment < CacheLimit) {
            const double day = static_cast<double>(static_cast<qint64>(moment));
            const double time = moment - day;
            if (Q_LIKELY(day == day_ && time >= from_ && time <= until_))
                return cost_;
            return rescan(day, time, moment);
        }
        return rescan(std::numeric_limits<double>::quiet_NaN(), 0, moment);
    }

    // Full scans made so far (for tests and benchmarks).
    int scans() const { return scans_; }

private:
    // Whole days stay exact well below this, so the time of day is exact too.
    static constexpr double CacheLimit = 1e12;

    struct Band {
        double start;
        double finish;
        double chargePerMin;
        qint32 days;
    };

    Q_DECL_COLD_FUNCTION double rescan(double day, double time, TDateTime moment);

    std::array<Band, CostingTable::Capacity> bands_{};
    int count_ = 0;
    double day_ = std::numeric_limits<double>::quiet_NaN();
    double from_ = 0;
    double until_ = -1;
    double cost_ = 0;
    int scans_ = 0;
};
