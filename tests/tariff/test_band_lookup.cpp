// The fast paths of pricing against their plain references: the cached band
// lookup must price every second exactly as the plain scan of CostOfThisSecond
// does, whole calls must sum to the same bits, and the second stepper must step
// as extended precision does.
#include "tariff/band_lookup.h"
#include "tariff/call_costing.h"
#include "tariff/presets.h"
#include "tariff/second_stepper.h"
#include "tariff_fixture.h"

#include <bit>
#include <cstdint>
#include <limits>
#include <random>

namespace {

class BandLookupTest : public TariffFixture {
protected:
    std::mt19937_64 rng{20230314};

    int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
    bool chance(double p) { return std::bernoulli_distribution(p)(rng); }

    // Band times lean towards the edges where mistakes hide.
    double bandTime() {
        const int h = uniform(0, 23);
        const double choices[] = {TimeOfDay(h, 59, 59), TimeOfDay(h, 0, 0),
                                  chance(0.5) ? tariff::Midnight : tariff::LastSecondOfDay,
                                  TimeOfDay(h, uniform(0, 59), uniform(0, 59))};
        return choices[std::min(uniform(0, 5), 3)];
    }

    // Specific and Default bands, zero charges, overlaps, over-midnight bands,
    // length windows, free minutes, now and then a gap.
    void randomBands() {
        clearTable(bands);
        static const QString names[] = {DefaultConnectoid, DefaultConnectoid, "MyISP", "Other"};
        const int n = chance(0.25) ? CostingTable::Capacity : uniform(1, CostingTable::Capacity);
        for (int i = 1; i <= n; ++i) {
            typCostingInformation& b = bands[i];
            b.Connectoid_Name = names[uniform(0, 3)];
            b.Days = chance(0.3) ? EveryDay : (chance(0.3) ? 1 << uniform(0, 6) : uniform(0, 127));
            b.StartTime = bandTime();
            b.FinishTime = bandTime();
            b.ChargePerMin = chance(0.3) ? 0.0 : uniform(1, 5000) / 1000.0;
            b.FreeMinutes = chance(0.1) ? uniform(1, 5) : 0;
            b.Length_Start = chance(0.1) ? uniform(0, 600) : 0;
            b.Length_Finish = chance(0.1) ? b.Length_Start + uniform(0, 3600) : 0;
        }
        if (n > 2 && chance(0.1))
            markFreeSlot(bands[uniform(1, n - 1)]);
    }

    // Moments of a fortnight, many just before midnight or an hour's end.
    TDateTime randomMoment() {
        const double day = 45000 + uniform(0, 13), ms = uniform(0, 999) / 86400000.0;
        const double choices[] = {TimeOfDay(23, 59, uniform(0, 59)) + ms,
                                  TimeOfDay(uniform(0, 23), 59, uniform(50, 59)) + ms,
                                  TimeOfDay(uniform(0, 23), uniform(0, 59), uniform(0, 59)),
                                  uniform(0, 86399999) / 86400000.0};
        return day + choices[std::min(uniform(0, 4), 3)];
    }

    double randomLength() {
        if (chance(0.03))
            return 0;
        const int limit = chance(0.45) ? 120 : (chance(0.75) ? 1200 : 7200);
        return uniform(0, limit) + (chance(0.2) ? 0 : uniform(0, 999) / 1000.0);
    }

    QString randomDun() { return QStringList{"MyISP", "Other", "myisp"}[uniform(0, 2)]; }

    static bool sameCost(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

    // Steps through the call as CalculateCost does, pricing each second both
    // ways; the plain scan's sum must be CalculateCost's to the bit.
    void expectSameAsPlainScan(const QString& dun, TDateTime start, TDateTime finish) {
        const auto Duration = static_cast<qint32>(
            (static_cast<long double>(finish) - static_cast<long double>(start)) / OneSecond);
        const qint32 freeMinutes = std::max(GetFreeMinutes(tariff(), dun, Duration, start), 0);
        const double freeEnd = static_cast<double>(start + freeMinutes * OneMinute);
        BandLookup lookup(bands, dun, Duration);
        double sum = 0;
        // A free period ending exactly at the finish prices nothing.
        for (double T = freeEnd; freeEnd != finish && T <= finish;) {
            T = tariff::nextSecond(T);
            const double plain = CostOfThisSecond(tariff(), dun, Duration, T);
            ASSERT_TRUE(sameCost(lookup.costOfSecond(T), plain))
                << "second at " << std::setprecision(17) << T;
            sum = sum + plain;
        }
        typCallCostInformation result;
        CalculateCost(tariff(), dun, result, start, finish);
        EXPECT_EQ(std::bit_cast<quint64>(result.Without_Discount), std::bit_cast<quint64>(sum))
            << std::setprecision(17) << result.Without_Discount << " vs " << sum;
    }
};

// Random calls, then moments in any order and on band edges through one lookup.
TEST_F(BandLookupTest, RandomTablesCallsAndMomentsPriceExactlyAsThePlainScan) {
    for (int round = 0; round < 2500 && !HasFailure(); ++round) {
        if (round % 4 == 0)
            randomBands();
        const TDateTime start = randomMoment();
        SCOPED_TRACE(testing::Message() << "round " << round);
        expectSameAsPlainScan(randomDun(), start, start + randomLength() / 86400);
        if (round % 8)
            continue;
        const QString dun = randomDun();
        const qint32 duration = uniform(0, 4000);
        BandLookup lookup(bands, dun, duration);
        TDateTime moment = randomMoment();
        for (int i = 0; i < 400; ++i) {
            const typCostingInformation& band = bands[uniform(1, 3)];
            const int choice = uniform(0, 9);
            moment = choice == 0   ? randomMoment()
                     : choice == 1 ? std::floor(moment) + band.StartTime
                     : choice == 2 ? std::floor(moment) + band.FinishTime
                                   : tariff::nextSecond(moment);
            ASSERT_TRUE(sameCost(lookup.costOfSecond(moment),
                                 CostOfThisSecond(tariff(), dun, duration, moment)))
                << "moment " << std::setprecision(17) << moment;
        }
    }
    for (const double days : {5.0, 2.0 / 24, 1.3, 0.7}) { // calls of hours and days
        randomBands();
        SCOPED_TRACE(days);
        expectSameAsPlainScan(randomDun(), randomMoment(), randomMoment() + days);
    }
}

TEST_F(BandLookupTest, OddBandValuesAndMomentsAgreeWithThePlainScan) {
    addBand(DefaultConnectoid, EveryDay, 1.5, -0.5, 3);
    addBand(DefaultConnectoid, EveryDay, NAN, TimeOfDay(8, 0, 0), 6);
    addBand(DefaultConnectoid, EveryDay, TimeOfDay(20, 0, 0), NAN, 9);
    addBand(DefaultConnectoid, EveryDay, TimeOfDay(12, 0, 0), TimeOfDay(12, 0, 0), -0.6);
    addAllDayBand(1.2);
    expectSameAsPlainScan("X", tuesday(0, 0, 0, 250), tuesday(0, 0, 0, 250) + 2);
    BandLookup lookup(bands, "X", 0);
    for (TDateTime t : {double(NAN), -1.5, -0.25, 1e13, 1e300})
        EXPECT_TRUE(sameCost(lookup.costOfSecond(t), CostOfThisSecond(tariff(), "X", 0, t))) << t;
}

TEST_F(BandLookupTest, ScansOnlyWhenTheBandInForceMayChange) {
    FillPresetBTStandard(bands, details);
    BandLookup lookup(bands, "X", 5 * 86400);
    const TDateTime start = tuesday(9, 30, 0, 123);
    for (double T = start; T <= start + 5;)
        lookup.costOfSecond(T = tariff::nextSecond(T));
    EXPECT_LT(lookup.scans(), 60); // a few edges a day, not one scan a second
}

// Runs both steppings side by side and reports the first step where they part.
void expectSameSteps(double start, int steps) {
    SecondStepper stepper;
    double fast = start, slow = start;
    for (int i = 0; i < steps; ++i) {
        fast = stepper.next(fast);
        slow = tariff::nextSecond(slow);
        if (std::bit_cast<std::uint64_t>(fast) != std::bit_cast<std::uint64_t>(slow) &&
            !(std::isnan(fast) && std::isnan(slow))) {
            ADD_FAILURE() << "from " << std::setprecision(17) << start << ", step " << i << ": "
                          << fast << " instead of " << slow;
            return;
        }
    }
}

TEST(SecondStepper, StepsExactlyAsExtendedPrecisionAcrossPowersOfTwoAndAnyEra) {
    const double oneSecond = static_cast<double>(OneSecond);
    for (double boundary : {0.5, 1.0, 2.0, 1024.0, 32768.0, 65536.0, 131072.0, 1099511627776.0})
        expectSameSteps(boundary - 50 * oneSecond, 100);
    for (double start : {0.0, -0.0, 1e-310, 1e-9, 3e-5, 45000.123456, 60000.0, -45000.5, -1e-7,
                         1e300, std::numeric_limits<double>::quiet_NaN(), HUGE_VAL})
        expectSameSteps(start, 2000);
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> era(-10, 15);
    for (int i = 0; i < 500 && !testing::Test::HasFailure(); ++i)
        expectSameSteps(std::pow(10.0, era(rng)), 300);
}

} // namespace
