#include "tariff/call_costing.h"
#include "tariff/further_details.h"
#include "tariff_fixture.h"

#include <limits>

namespace {

namespace Opt = FurtherDetailOption;

class CallCosting : public TariffFixture {
protected:
    typCallCostInformation price(TDateTime start, TDateTime finish,
                                 const QString& dun = QStringLiteral("MyISP")) {
        // Whatever the caller's record held before must not leak into the result.
        typCallCostInformation r{-7, -7, true, true, true};
        CalculateCost(tariff(), dun, r, start, finish);
        return r;
    }
    // A call from 10:00:00 that ends half-way through its last second, so that exactly
    // `seconds` seconds are priced.
    typCallCostInformation priceSeconds(int seconds) {
        const TDateTime start = tuesday(10, 0, 0);
        return price(start, plusSeconds(start, seconds - 0.5));
    }
    static void expectFlags(const typCallCostInformation& r, bool minimum, bool outside,
                            bool maximum) {
        EXPECT_EQ(r.In_Minimum_Period, minimum);
        EXPECT_EQ(r.OutsideFreePeriod, outside);
        EXPECT_EQ(r.In_Maximum_Period, maximum);
    }
    static constexpr double Near = 1e-12;
};

TEST_F(CallCosting, EveryStartedSecondIsPricedAtItsOwnMoment) {
    addAllDayBand(0.06);
    const TDateTime start = tuesday(10, 0, 0);
    auto r = price(start, plusSeconds(start, 10.5));
    EXPECT_NEAR(r.Without_Discount, 0.011, Near);
    EXPECT_EQ(r.With_Discount, r.Without_Discount);
    expectFlags(r, false, true, false);

    // Across a band edge the price changes with the moment, not with the call's start.
    clearTable(bands);
    addBand(DefaultConnectoid, EveryDay, 0, TimeOfDay(10, 0, 4), 0.06);
    addBand(DefaultConnectoid, EveryDay, TimeOfDay(10, 0, 5), TimeOfDay(23, 59, 59), 0.6);
    r = price(tuesday(10, 0, 0, 500), tuesday(10, 0, 9));
    // Moments 10:00:01.5 … 10:00:09.5: three cheap, one in the gap, five dear.
    EXPECT_NEAR(r.Without_Discount, 3 * 0.001 + 5 * 0.01, Near);
}

TEST_F(CallCosting, DurationIsTruncatedAndChoosesTheBandsLengthWindow) {
    addAllDayBand(0.06).Length_Finish = 10;
    addAllDayBand(0.6).Length_Start = 11;
    const TDateTime start = tuesday(10, 0, 0);
    EXPECT_NEAR(price(start, plusSeconds(start, 10.9)).Without_Discount, 11 * 0.001, Near);
    EXPECT_NEAR(price(start, plusSeconds(start, 11.2)).Without_Discount, 12 * 0.01, Near);
}

TEST_F(CallCosting, FreeMinutesAreNotPriced) {
    addAllDayBand(0.06, 2);
    auto r = priceSeconds(90);
    EXPECT_EQ(r.Without_Discount, 0.0);
    EXPECT_EQ(r.With_Discount, 0.0);
    expectFlags(r, false, false, false);

    const TDateTime start = tuesday(10, 0, 0);
    r = price(start, plusSeconds(start, 150.5));
    EXPECT_NEAR(r.Without_Discount, 31 * 0.001, Near);
    expectFlags(r, false, true, false);
}

TEST_F(CallCosting, NegativeFreeMinutesGrantNothingRatherThanPricingEarlierTime) {
    addAllDayBand(0.06, -100000000);
    EXPECT_NEAR(priceSeconds(11).Without_Discount, 0.011, Near);
}

TEST_F(CallCosting, MinimumCharge) {
    addAllDayBand(0.06);
    addDetail(DefaultConnectoid, Opt::MinimumCharge, "0.05");
    auto r = priceSeconds(20);
    EXPECT_EQ(r.Without_Discount, 0.05);
    EXPECT_EQ(r.With_Discount, 0.05);
    expectFlags(r, true, true, false);

    r = priceSeconds(60);
    EXPECT_NEAR(r.Without_Discount, 0.06, Near);
    expectFlags(r, false, true, false);
}

TEST_F(CallCosting, AnUndiscountedMinimumIsNotDiscountedBelowItself) {
    addAllDayBand(0.06);
    addDetail(DefaultConnectoid, Opt::MinimumCharge, "0.05");
    addDetail(DefaultConnectoid, Opt::Discount, "10");
    auto r = priceSeconds(52);
    EXPECT_NEAR(r.Without_Discount, 0.052, Near);
    EXPECT_EQ(r.With_Discount, 0.05);
    expectFlags(r, false, true, false);

    r = priceSeconds(20);
    EXPECT_EQ(r.Without_Discount, 0.05);
    EXPECT_EQ(r.With_Discount, 0.05);
    expectFlags(r, true, true, false);
}

TEST_F(CallCosting, MinimumDiscountedWhenTheOptionSaysSo) {
    addAllDayBand(0.06);
    addDetail(DefaultConnectoid, Opt::MinimumCharge, "0.05");
    addDetail(DefaultConnectoid, Opt::Discount, "10");
    addDetail(DefaultConnectoid, Opt::ApplyDiscountMinimumCharge, "Yes");
    auto r = priceSeconds(20);
    EXPECT_EQ(r.Without_Discount, 0.05);
    EXPECT_NEAR(r.With_Discount, 0.045, Near);
    expectFlags(r, true, true, false);
}

TEST_F(CallCosting, ACallStillInItsFreeMinutesOwesNoMinimum) {
    addAllDayBand(0.06, 2);
    addDetail(DefaultConnectoid, Opt::MinimumCharge, "0.05");
    addDetail(DefaultConnectoid, Opt::Discount, "10");
    const auto r = priceSeconds(90);
    EXPECT_EQ(r.Without_Discount, 0.0);
    EXPECT_EQ(r.With_Discount, 0.0) << "the discounted cost never exceeds the undiscounted";
    expectFlags(r, true, false, false);
}

TEST_F(CallCosting, ZeroLengthCallCostsTheMinimumAndConnectionCharge) {
    addAllDayBand(0.06);
    addDetail(DefaultConnectoid, Opt::MinimumCharge, "0.05");
    addDetail(DefaultConnectoid, Opt::ConnectionCharge, "0.10");
    addDetail(DefaultConnectoid, Opt::Discount, "20");
    const TDateTime start = tuesday(10, 0, 0);
    auto r = price(start, start);
    EXPECT_NEAR(r.Without_Discount, 0.15, Near);
    EXPECT_NEAR(r.With_Discount, 0.15, Near);
    expectFlags(r, true, false, false);

    addDetail(DefaultConnectoid, Opt::ApplyDiscountMinimumCharge, "Yes");
    r = price(start, start);
    EXPECT_NEAR(r.Without_Discount, 0.15, Near);
    EXPECT_NEAR(r.With_Discount, 0.14, Near);
}

TEST_F(CallCosting, ConnectionChargeIsAddedToBothAmounts) {
    addAllDayBand(0.06);
    addDetail(DefaultConnectoid, Opt::ConnectionCharge, "0.10");
    addDetail(DefaultConnectoid, Opt::Discount, "20");
    auto r = priceSeconds(11);
    EXPECT_NEAR(r.Without_Discount, 0.011 + 0.10, Near);
    EXPECT_NEAR(r.With_Discount, 0.011 * 0.8 + 0.10, Near);

    addDetail(DefaultConnectoid, Opt::ApplyDiscountConnectionCharge, "Yes");
    r = priceSeconds(11);
    EXPECT_NEAR(r.Without_Discount, 0.011 + 0.08, Near);
    EXPECT_NEAR(r.With_Discount, 0.011 * 0.8 + 0.08, Near);
}

TEST_F(CallCosting, MaximumChargeCapsTheCostWithItsConnectionCharge) {
    addAllDayBand(6); // 0.10 a second
    addDetail(DefaultConnectoid, Opt::MaximumCharge, "1.00");
    addDetail(DefaultConnectoid, Opt::Discount, "10");
    auto r = priceSeconds(15);
    EXPECT_EQ(r.Without_Discount, 1.0);
    EXPECT_EQ(r.With_Discount, 1.0);
    expectFlags(r, false, true, true);

    addDetail(DefaultConnectoid, Opt::ApplyDiscountMaximumCharge, "Yes");
    r = priceSeconds(15);
    EXPECT_EQ(r.Without_Discount, 1.0);
    EXPECT_NEAR(r.With_Discount, 0.9, Near);

    r = priceSeconds(9);
    EXPECT_NEAR(r.Without_Discount, 0.9, Near);
    EXPECT_FALSE(r.In_Maximum_Period);
    addDetail(DefaultConnectoid, Opt::ConnectionCharge, "0.20");
    EXPECT_TRUE(priceSeconds(9).In_Maximum_Period);

    details[1].Value = "0";
    r = priceSeconds(15);
    EXPECT_NEAR(r.Without_Discount, 1.7, Near);
    EXPECT_FALSE(r.In_Maximum_Period);
}

TEST_F(CallCosting, NoChargeBandsGivesItsFixedResultWhateverTheBands) {
    addAllDayBand(6);
    addDetail(DefaultConnectoid, Opt::ConnectionCharge, "0.20");
    addDetail(DefaultConnectoid, Opt::MinimumCharge, "1");
    noChargeBands = true;
    log.setEnabled(true);
    for (int seconds : {0, 1, 600}) {
        const auto r = priceSeconds(seconds);
        EXPECT_EQ(r.Without_Discount, 0.0);
        EXPECT_EQ(r.With_Discount, 0.0);
        expectFlags(r, true, false, false);
    }
    EXPECT_TRUE(
        traceTexts().contains("CalculateCost - I do not get charged for calls to the Internet"));
}

TEST_F(CallCosting, TimesThatCannotBeACallAreLeftUnpriced) {
    addAllDayBand(6);
    addDetail(DefaultConnectoid, Opt::ConnectionCharge, "0.20");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const TDateTime now = tuesday(10, 0, 0);
    log.setEnabled(true);
    for (auto [start, finish] : {std::pair{nan, now},
                                 {now, nan},
                                 {now, inf},
                                 {-inf, now},
                                 {0.0, now},
                                 {now, 1e300},
                                 {1e300, now}}) {
        const auto r = price(start, finish);
        EXPECT_EQ(r.Without_Discount, 0.0) << start << " " << finish;
        EXPECT_EQ(r.With_Discount, 0.0);
        expectFlags(r, false, false, false);
    }
}

TEST_F(CallCosting, AFinishBeforeTheStartPricesNoSecond) {
    addAllDayBand(6);
    const auto r = price(tuesday(10, 0, 0), tuesday(9, 0, 0));
    EXPECT_EQ(r.Without_Discount, 0.0);
    expectFlags(r, false, false, false);
}

TEST_F(CallCosting, TracesEveryStepOfAShortCall) {
    addAllDayBand(6);
    log.setEnabled(true);
    price(tuesday(10, 0, 0), tuesday(10, 0, 0, 500));
    EXPECT_EQ(traceTexts(),
              QStringList({
                  "CalculateCost - Start CalculateCost",
                  "CalculateCost - Start Time = 14/03/2023 10:00:00",
                  "CalculateCost - Finish Time = 14/03/2023 10:00:00",
                  "CalculateCost - Dial Up Name = MyISP",
                  "CalculateCost - Duration = 0",
                  "GetFreeMinutes - Start GetFreeMinutes",
                  "GetFreeMinutes - TheTime = 14/03/2023 10:00:00",
                  "GetFreeMinutes - Duration = 0",
                  "GetFreeMinutes - DUN = MyISP",
                  "GetFreeMinutes - Result = 0",
                  "GetFreeMinutes - Finish GetFreeMinutes",
                  "CostOfThisSecond - Start CostOfThisSecond",
                  "CostOfThisSecond - TheTime = 14/03/2023 10:00:01",
                  "CostOfThisSecond - Duration = 0",
                  "CostOfThisSecond - DUN = MyISP",
                  "CostOfThisSecond - Result = 0.1",
                  "CostOfThisSecond - Finish CostOfThisSecond",
                  "GetDiscount - Start GetDiscount",
                  "GetDiscount - DUN = MyISP",
                  "GetDiscount - Duration = 0",
                  "GetDiscount - Result = 0",
                  "GetDiscount - Finish GetDiscount",
                  "GetMinimumCharge - Start GetMinimumCharge",
                  "GetMinimumCharge - DUN = MyISP",
                  "GetMinimumCharge - Duration = 0",
                  "GetMinimumCharge - Result = 0",
                  "GetMinimumCharge - Finish GetMinimumCharge",
                  "GetApplyDiscountMinimumCharge - Start GetApplyDiscountMinimumCharge",
                  "GetApplyDiscountMinimumCharge - DUN = MyISP",
                  "GetApplyDiscountMinimumCharge - Duration = 0",
                  "GetApplyDiscountMinimumCharge - Result = FALSE",
                  "GetApplyDiscountMinimumCharge - Finish GetApplyDiscountMinimumCharge",
                  "GetConnectionCharge - GetConnectionCharge",
                  "GetConnectionCharge - DUN = MyISP",
                  "GetConnectionCharge - Duration = 0",
                  "GetConnectionCharge - Result = 0",
                  "GetConnectionCharge - Finish GetConnectionCharge",
                  "GetApplyDiscountConnectionCharge - Start GetApplyDiscountConnectionCharge",
                  "GetApplyDiscountConnectionCharge - DUN = MyISP",
                  "GetApplyDiscountConnectionCharge - Duration = 0",
                  "GetApplyDiscountConnectionCharge - Result = FALSE",
                  "GetApplyDiscountConnectionCharge - Finish GetApplyDiscountConnectionCharge",
                  "GetMaximumCharge - GetMaximumCharge",
                  "GetMaximumCharge - DUN = MyISP",
                  "GetMaximumCharge - Duration = 0",
                  "GetMaximumCharge - Result = 0",
                  "GetMaximumCharge - Finish GetMaximumCharge",
                  "CalculateCost - Result.With_Discount = 0.1",
                  "CalculateCost - Result.Without_Discount = 0.1",
                  "CalculateCost - Result.OutsideFreePeriod = TRUE",
                  "CalculateCost - Result.In_Minimum_Period = FALSE",
                  "CalculateCost - Result.In_Maximum_Period = FALSE",
                  "CalculateCost - Finish CalculateCost",
              }));
}

// Seconds of a long call whose trace lines would be pushed out of the trace anyway are
// priced without them; what is left must be what tracing every second leaves.
TEST_F(CallCosting, ALongTracedCallLeavesTheSameTraceAsTracingEverySecond) {
    addBand(DefaultConnectoid, EveryDay, 0, TimeOfDay(10, 5, 0), 0.06);
    addAllDayBand(0.6);
    const TDateTime start = tuesday(10, 0, 0, 250);
    const TDateTime finish = plusSeconds(start, 1000);
    log.setEnabled(true);
    const auto traced = price(start, finish);
    log.setEnabled(false);
    const auto untraced = price(start, finish);
    EXPECT_EQ(traced.Without_Discount, untraced.Without_Discount);

    const QStringList actual = traceTexts();
    ASSERT_EQ(actual.size(), DebugLog::MaxLines);
    const qsizetype after =
        actual.size() - 1 - actual.lastIndexOf("CostOfThisSecond - Finish CostOfThisSecond");

    ManualClock everySecondClock;
    DebugLog everySecond(everySecondClock);
    everySecond.setEnabled(true);
    const auto Duration = static_cast<qint32>((finish - start) / static_cast<double>(OneSecond));
    const TariffContext t{bands, details, regional, everySecond, false};
    for (double T = start; T <= finish;) {
        T = tariff::nextSecond(T);
        CostOfThisSecond(t, "MyISP", Duration, T);
    }
    QStringList expected;
    for (const QString& line : everySecond.lines())
        expected << line.section(QStringLiteral(" -> "), 1);
    expected = expected.mid(expected.size() - (actual.size() - after));
    EXPECT_EQ(actual.mid(0, actual.size() - after), expected);
}

} // namespace
