#include "tariff/call_costing.h"
#include "tariff/further_details.h"
#include "tariff_fixture.h"

namespace {

namespace Opt = FurtherDetailOption;

class CallCosting : public TariffFixture {
protected:
    typCallCostInformation price(TDateTime start, TDateTime finish) {
        typCallCostInformation r{-7, -7, true, true, true}; // nothing stale may survive
        CalculateCost(tariff(), "MyISP", r, start, finish);
        return r;
    }
    // A call from 10:00:00 ending half-way through its last second: `seconds` are priced.
    typCallCostInformation priceSeconds(double seconds) {
        return price(tuesday(10, 0, 0), plusSeconds(tuesday(10, 0, 0), seconds - 0.5));
    }
    static void expectCost(const typCallCostInformation& r, double without, double with,
                           bool minimum, bool outside, bool maximum) {
        EXPECT_NEAR(r.Without_Discount, without, 1e-12);
        EXPECT_NEAR(r.With_Discount, with, 1e-12);
        EXPECT_EQ(r.In_Minimum_Period, minimum);
        EXPECT_EQ(r.OutsideFreePeriod, outside);
        EXPECT_EQ(r.In_Maximum_Period, maximum);
    }
};

TEST_F(CallCosting, EveryStartedSecondIsPricedAtItsOwnMoment) {
    addAllDayBand(0.06);
    expectCost(price(tuesday(10, 0, 0), tuesday(10, 0, 10, 500)), 0.011, 0.011, false, true, false);
    clearTable(bands);
    addBand(DefaultConnectoid, EveryDay, 0, TimeOfDay(10, 0, 4), 0.06);
    addBand(DefaultConnectoid, EveryDay, TimeOfDay(10, 0, 5), TimeOfDay(23, 59, 59), 0.6);
    // Moments 10:00:01.5 … 10:00:09.5: three cheap, one between the bands, five dear.
    EXPECT_NEAR(price(tuesday(10, 0, 0, 500), tuesday(10, 0, 9)).Without_Discount, 0.053, 1e-12);
}

TEST_F(CallCosting, TruncatedDurationChoosesTheLengthWindow) {
    addAllDayBand(0.06).Length_Finish = 10;
    addAllDayBand(0.6).Length_Start = 11;
    EXPECT_NEAR(priceSeconds(11.4).Without_Discount, 11 * 0.001, 1e-12); // 10.9 s long
    EXPECT_NEAR(priceSeconds(11.7).Without_Discount, 12 * 0.01, 1e-12);  // 11.2 s long
}

TEST_F(CallCosting, FreeMinutes) {
    addAllDayBand(0.06, 2);
    expectCost(priceSeconds(90), 0, 0, false, false, false);
    expectCost(priceSeconds(151), 0.031, 0.031, false, true, false);
    bands[1].FreeMinutes = -100000000; // grants nothing rather than pricing earlier time
    expectCost(priceSeconds(11), 0.011, 0.011, false, true, false);
}

TEST_F(CallCosting, MinimumChargeAndDiscount) {
    addAllDayBand(0.06, 0);
    addDetail(DefaultConnectoid, Opt::MinimumCharge, "0.05");
    expectCost(priceSeconds(20), 0.05, 0.05, true, true, false);
    addDetail(DefaultConnectoid, Opt::Discount, "10");
    // An undiscounted minimum is not discounted below itself.
    expectCost(priceSeconds(52), 0.052, 0.05, false, true, false);
    expectCost(priceSeconds(20), 0.05, 0.05, true, true, false);
    addDetail(DefaultConnectoid, Opt::ApplyDiscountMinimumCharge, "Yes");
    expectCost(priceSeconds(20), 0.05, 0.045, true, true, false);
}

TEST_F(CallCosting, ACallStillInItsFreeMinutesOwesNoMinimum) {
    addAllDayBand(0.06, 2);
    addDetail(DefaultConnectoid, Opt::MinimumCharge, "0.05");
    addDetail(DefaultConnectoid, Opt::Discount, "10");
    // The discounted cost must never exceed the undiscounted one.
    expectCost(priceSeconds(90), 0, 0, true, false, false);
}

TEST_F(CallCosting, ZeroLengthCallCostsTheMinimumAndConnectionCharge) {
    addAllDayBand(0.06);
    addDetail(DefaultConnectoid, Opt::MinimumCharge, "0.05");
    addDetail(DefaultConnectoid, Opt::ConnectionCharge, "0.10");
    addDetail(DefaultConnectoid, Opt::Discount, "20");
    expectCost(price(tuesday(10, 0, 0), tuesday(10, 0, 0)), 0.15, 0.15, true, false, false);
    addDetail(DefaultConnectoid, Opt::ApplyDiscountMinimumCharge, "Yes");
    expectCost(price(tuesday(10, 0, 0), tuesday(10, 0, 0)), 0.15, 0.14, true, false, false);
}

TEST_F(CallCosting, ConnectionChargeIsAddedToBothAmounts) {
    addAllDayBand(0.06);
    addDetail(DefaultConnectoid, Opt::ConnectionCharge, "0.10");
    addDetail(DefaultConnectoid, Opt::Discount, "20");
    expectCost(priceSeconds(11), 0.111, 0.0088 + 0.10, false, true, false);
    addDetail(DefaultConnectoid, Opt::ApplyDiscountConnectionCharge, "Yes");
    expectCost(priceSeconds(11), 0.091, 0.0088 + 0.08, false, true, false);
}

TEST_F(CallCosting, MaximumChargeCapsTheCostWithItsConnectionCharge) {
    addAllDayBand(6); // 0.10 a second
    addDetail(DefaultConnectoid, Opt::MaximumCharge, "1.00");
    addDetail(DefaultConnectoid, Opt::Discount, "10");
    expectCost(priceSeconds(15), 1.0, 1.0, false, true, true);
    addDetail(DefaultConnectoid, Opt::ApplyDiscountMaximumCharge, "Yes");
    expectCost(priceSeconds(15), 1.0, 0.9, false, true, true);
    expectCost(priceSeconds(9), 0.9, 0.81, false, true, false);
    addDetail(DefaultConnectoid, Opt::ConnectionCharge, "0.20");
    expectCost(priceSeconds(9), 1.0, 0.9, false, true, true);
    details[1].Value = "0"; // never caps
    expectCost(priceSeconds(15), 1.7, 1.55, false, true, false);
}

TEST_F(CallCosting, NoChargeBandsGivesItsFixedResultWhateverTheBands) {
    addAllDayBand(6);
    addDetail(DefaultConnectoid, Opt::ConnectionCharge, "0.20");
    noChargeBands = true;
    for (double seconds : {0.5, 1.0, 600.0})
        expectCost(priceSeconds(seconds), 0, 0, true, false, false);
}

TEST_F(CallCosting, TimesThatCannotBeACallAreLeftUnpriced) {
    addAllDayBand(6);
    addDetail(DefaultConnectoid, Opt::ConnectionCharge, "0.20");
    const double now = tuesday(10, 0, 0), nan = std::nan("");
    log.setEnabled(true);
    for (auto [start, finish] : {std::pair{nan, now},
                                 {now, nan},
                                 {now, HUGE_VAL},
                                 {-HUGE_VAL, now},
                                 {0.0, now},
                                 {now, 1e300}})
        expectCost(price(start, finish), 0, 0, false, false, false);
    // A finish before the start prices no second, only the connection.
    expectCost(price(now, now - 0.1), 0.2, 0.2, false, false, false);
}

TEST_F(CallCosting, TraceFramesTheCallAndItsResult) {
    addAllDayBand(6);
    log.setEnabled(true);
    price(tuesday(10, 0, 0), tuesday(10, 0, 0, 500));
    const QStringList trace = traceTexts();
    ASSERT_EQ(trace.size(), 53);
    EXPECT_EQ(trace.mid(0, 5), QStringList({"CalculateCost - Start CalculateCost",
                                            "CalculateCost - Start Time = 14/03/2023 10:00:00",
                                            "CalculateCost - Finish Time = 14/03/2023 10:00:00",
                                            "CalculateCost - Dial Up Name = MyISP",
                                            "CalculateCost - Duration = 0"}));
    EXPECT_EQ(trace.mid(47), QStringList({"CalculateCost - Result.With_Discount = 0.1",
                                          "CalculateCost - Result.Without_Discount = 0.1",
                                          "CalculateCost - Result.OutsideFreePeriod = TRUE",
                                          "CalculateCost - Result.In_Minimum_Period = FALSE",
                                          "CalculateCost - Result.In_Maximum_Period = FALSE",
                                          "CalculateCost - Finish CalculateCost"}));
    log.clear();
    noChargeBands = true;
    price(tuesday(10, 0, 0), tuesday(10, 0, 0));
    EXPECT_EQ(traceTexts()[5], "CalculateCost - I do not get charged for calls to the Internet");
}

// Seconds whose trace lines would be pushed out of the trace anyway are priced without
// them; what is left must be what tracing every second leaves.
TEST_F(CallCosting, ALongTracedCallLeavesTheSameTraceAsTracingEverySecond) {
    addBand(DefaultConnectoid, EveryDay, 0, TimeOfDay(10, 5, 0), 0.06);
    addAllDayBand(0.6);
    const TDateTime start = tuesday(10, 0, 0, 250), finish = plusSeconds(start, 1000);
    const double untraced = price(start, finish).Without_Discount;
    log.setEnabled(true);
    EXPECT_EQ(price(start, finish).Without_Discount, untraced);
    const QStringList actual = traceTexts();
    ASSERT_EQ(actual.size(), DebugLog::MaxLines);
    const qsizetype seconds = actual.lastIndexOf("CostOfThisSecond - Finish CostOfThisSecond") + 1;

    DebugLog everySecond(clock);
    everySecond.setEnabled(true);
    const TariffContext t{bands, details, regional, everySecond, false};
    for (double T = start; T <= finish;)
        CostOfThisSecond(t, "MyISP", 1000, T = tariff::nextSecond(T));
    QStringList expected;
    for (const QString& line : everySecond.lines())
        expected << line.section(QStringLiteral(" -> "), 1);
    EXPECT_EQ(actual.mid(0, seconds), expected.mid(expected.size() - seconds));
}

} // namespace
