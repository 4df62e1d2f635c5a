// The cached band lookup must price every second exactly as the plain scan of
// CostOfThisSecond does, and whole calls must sum to the same bits.
#include "tariff/band_lookup.h"
#include "tariff/call_costing.h"
#include "tariff/presets.h"
#include "tariff_fixture.h"

#include <bit>
#include <cmath>
#include <random>

namespace {

class BandLookupTest : public TariffFixture {
protected:
    std::mt19937_64 rng{20230314};

    int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
    bool chance(double p) { return std::bernoulli_distribution(p)(rng); }

    // Band times lean towards the edges where mistakes hide.
    double bandTime() {
        switch (uniform(0, 5)) {
        case 0:
            return TimeOfDay(uniform(0, 23), 59, 59);
        case 1:
            return TimeOfDay(uniform(0, 23), 0, 0);
        case 2:
            return chance(0.5) ? tariff::Midnight : tariff::LastSecondOfDay;
        default:
            return TimeOfDay(uniform(0, 23), uniform(0, 59), uniform(0, 59));
        }
    }

    void randomBands() {
        clearTable(bands);
        static const QString names[] = {DefaultConnectoid, DefaultConnectoid, "MyISP", "Other"};
        const int n = chance(0.25) ? CostingTable::Capacity : uniform(1, CostingTable::Capacity);
        for (int i = 1; i <= n; ++i) {
            typCostingInformation& b = bands[i];
            b.Connectoid_Name = names[uniform(0, 3)];
            switch (uniform(0, 3)) {
            case 0:
                b.Days = EveryDay;
                break;
            case 1:
                b.Days = 1 << uniform(0, 6);
                break;
            default:
                b.Days = uniform(0, 127);
            }
            b.StartTime = bandTime();
            b.FinishTime = bandTime();
            b.ChargePerMin = chance(0.3) ? 0.0 : uniform(1, 5000) / 1000.0;
            b.FreeMinutes = chance(0.1) ? uniform(1, 5) : 0;
            b.Length_Start = b.Length_Finish = 0;
            if (chance(0.2)) {
                b.Length_Start = chance(0.5) ? 0 : uniform(0, 600);
                b.Length_Finish = chance(0.3) ? 0 : b.Length_Start + uniform(0, 3600);
            }
        }
        if (n > 2 && chance(0.1))
            markFreeSlot(bands[uniform(1, n - 1)]);
    }

    TDateTime randomStart() {
        const double day = 45000 + uniform(0, 13);
        switch (uniform(0, 4)) {
        case 0: // just before midnight
            return day + TimeOfDay(23, 59, uniform(0, 59)) + uniform(0, 999) / 86400000.0;
        case 1: // just before an hour
            return day + TimeOfDay(uniform(0, 23), 59, uniform(50, 59)) +
                   uniform(0, 999) / 86400000.0;
        case 2: // on a whole second
            return day + TimeOfDay(uniform(0, 23), uniform(0, 59), uniform(0, 59));
        default:
            return day + uniform(0, 86399999) / 86400000.0;
        }
    }

    double randomLength() {
        if (chance(0.03))
            return 0;
        const int limit = chance(0.45) ? 120 : (chance(0.75) ? 1200 : 7200);
        return uniform(0, limit) + (chance(0.2) ? 0 : uniform(0, 999) / 1000.0);
    }

    QString randomDun() {
        static const QString duns[] = {"MyISP", "Other", "myisp"};
        return duns[uniform(0, 2)];
    }

    static bool sameCost(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

    // The whole call priced second by second with the plain scan, beside the lookup,
    // as CalculateCost steps through it. Returns the sum; reports the first second that
    // the two price differently.
    double referenceSum(const QString& dun, TDateTime start, TDateTime finish) {
        const auto Duration = static_cast<qint32>(
            (static_cast<long double>(finish) - static_cast<long double>(start)) / OneSecond);
        const qint32 freeMinutes = std::max(GetFreeMinutes(tariff(), dun, Duration, start), 0);
        double T = static_cast<double>(start + freeMinutes * OneMinute);
        BandLookup lookup(bands, dun, Duration);
        double sum = 0;
        if (T == finish)
            return sum;
        while (T <= finish) {
            T = tariff::nextSecond(T);
            const double plain = CostOfThisSecond(tariff(), dun, Duration, T);
            const double fast = lookup.costOfSecond(T);
            if (!sameCost(plain, fast)) {
                ADD_FAILURE() << "second at " << std::setprecision(17) << T << " priced " << fast
                              << " instead of " << plain;
                return sum;
            }
            sum = sum + plain;
        }
        return sum;
    }

    void expectSameAsPlainScan(const QString& dun, TDateTime start, TDateTime finish) {
        const double expected = referenceSum(dun, start, finish);
        typCallCostInformation result;
        CalculateCost(tariff(), dun, result, start, finish);
        EXPECT_EQ(std::bit_cast<quint64>(result.Without_Discount), std::bit_cast<quint64>(expected))
            << std::setprecision(17) << result.Without_Discount << " vs " << expected;
        EXPECT_EQ(std::bit_cast<quint64>(result.With_Discount), std::bit_cast<quint64>(expected));
    }
};

TEST_F(BandLookupTest, RandomTablesAndCallsPriceExactlyAsThePlainScan) {
    for (int round = 0; round < 2500 && !HasFailure(); ++round) {
        if (round % 4 == 0)
            randomBands();
        const TDateTime start = randomStart();
        const TDateTime finish = start + randomLength() / 86400.0;
        SCOPED_TRACE(testing::Message() << "round " << round << " start " << std::setprecision(17)
                                        << start << " finish " << finish);
        expectSameAsPlainScan(randomDun(), start, finish);
    }
}

TEST_F(BandLookupTest, LongCallsAcrossManyDaysPriceExactlyAsThePlainScan) {
    for (int round = 0; round < 4 && !HasFailure(); ++round) {
        randomBands();
        const TDateTime start = randomStart();
        const double days = round == 0 ? 5.0 : 2.0 / 24 + uniform(0, 86400) / 86400.0;
        SCOPED_TRACE(testing::Message() << "round " << round);
        expectSameAsPlainScan(randomDun(), start, start + days);
    }
}

TEST_F(BandLookupTest, MomentsInAnyOrderPriceAsThePlainScan) {
    for (int round = 0; round < 300 && !HasFailure(); ++round) {
        randomBands();
        const QString dun = randomDun();
        const qint32 duration = uniform(0, 4000);
        BandLookup lookup(bands, dun, duration);
        TDateTime moment = randomStart();
        for (int i = 0; i < 400; ++i) {
            // Mostly forward in steps, now and then anywhere, or onto a band edge.
            if (chance(0.1))
                moment = randomStart();
            else if (chance(0.1))
                moment = std::floor(moment) + bands[uniform(1, 3)].FinishTime;
            else if (chance(0.1))
                moment = std::floor(moment) + bands[uniform(1, 3)].StartTime;
            else
                moment = tariff::nextSecond(moment);
            const double plain = CostOfThisSecond(tariff(), dun, duration, moment);
            ASSERT_TRUE(sameCost(lookup.costOfSecond(moment), plain))
                << "round " << round << " moment " << std::setprecision(17) << moment;
        }
    }
}

TEST_F(BandLookupTest, ZeroChargeFreeSlotAndOddValuesAgreeWithThePlainScan) {
    addBand(DefaultConnectoid, EveryDay, TimeOfDay(9, 0, 0), TimeOfDay(10, 0, 0), 0);
    addBand(DefaultConnectoid, EveryDay, 1.5, -0.5, 3); // never matches
    addBand(DefaultConnectoid, EveryDay, std::nan(""), TimeOfDay(8, 0, 0), 6);
    addBand(DefaultConnectoid, EveryDay, TimeOfDay(20, 0, 0), std::nan(""), 9);
    addBand(DefaultConnectoid, EveryDay, TimeOfDay(12, 0, 0), TimeOfDay(12, 0, 0), -0.6);
    addAllDayBand(1.2);
    const TDateTime start = tuesday(0, 0, 0, 250);
    expectSameAsPlainScan("X", start, start + 2);
    BandLookup lookup(bands, "X", 0);
    for (TDateTime t : {std::nan(""), -1.5, -0.25, 1e13, 1e300})
        EXPECT_TRUE(sameCost(lookup.costOfSecond(t), CostOfThisSecond(tariff(), "X", 0, t))) << t;
}

TEST_F(BandLookupTest, ScansOnlyWhenTheBandInForceMayChange) {
    FillPresetBTStandard(bands, details);
    const TDateTime start = tuesday(9, 30, 0, 123);
    BandLookup lookup(bands, "X", 5 * 86400);
    double T = start;
    while (T <= start + 5) {
        T = tariff::nextSecond(T);
        lookup.costOfSecond(T);
    }
    // Three bands: a handful of edges and gaps per day, not one scan per second.
    EXPECT_LT(lookup.scans(), 60);
}

} // namespace
