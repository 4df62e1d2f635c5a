#include "tariff/presets.h"
#include "tariff_fixture.h"

namespace {

using Pricing = TariffFixture;
namespace Opt = FurtherDetailOption;

TEST_F(Pricing, BandsMatchByDayTimeNameAndLengthAndTheFirstPayingOneDecides) {
    addBand(DefaultConnectoid, MondayToFriday, TimeOfDay(8, 0, 0), TimeOfDay(17, 59, 59), 0.6);
    addBand(DefaultConnectoid, MondayToFriday, TimeOfDay(18, 0, 0), TimeOfDay(7, 59, 59), 0.06);
    const double day = 0.6 / 60, evening = 0.06 / 60;
    // Band times are whole seconds: a moment inside a band's last second matches nothing.
    const std::pair<TDateTime, double> moments[] = {
        {tuesday(8, 0, 0), day},        {tuesday(17, 59, 59), day},
        {tuesday(18, 0, 0), evening},   {tuesday(2, 0, 0), evening},
        {tuesday(23, 59, 59), evening}, {datetime::encode(2023, 3, 18, 12, 0, 0), 0},
        {tuesday(17, 59, 59, 500), 0},  {tuesday(23, 59, 59, 500), 0}};
    for (const auto& [at, expected] : moments)
        EXPECT_EQ(cost(at), expected) << at;
    // An over-midnight band tests the day of the moment itself (Monday only).
    clearTable(bands);
    addBand(DefaultConnectoid, 2, TimeOfDay(22, 0, 0), TimeOfDay(6, 0, 0), 0.6);
    EXPECT_EQ(cost(tuesday(2, 0, 0) - 1), 0.01);
    EXPECT_EQ(cost(tuesday(23, 0, 0) - 1), 0.01);
    EXPECT_EQ(cost(tuesday(2, 0, 0)), 0.0);

    clearTable(bands);
    addAllDayBand(0); // matches, but a zero charge does not end the search
    addAllDayBand(9);
    addBand("MyISP", EveryDay, 0, TimeOfDay(23, 59, 59), 0.02);
    addAllDayBand(0.05).Length_Finish = 60;
    addAllDayBand(0.07);
    markFreeSlot(bands[2]); // a gap is skipped, not the end
    EXPECT_EQ(cost(tuesday(9, 0, 0), "MyISP"), 0.02 / 60);
    EXPECT_EQ(cost(tuesday(9, 0, 0), "myisp"), 0.05 / 60) << "names compare with case";
    EXPECT_EQ(cost(tuesday(9, 0, 0), "Other", 60), 0.05 / 60);
    EXPECT_EQ(cost(tuesday(9, 0, 0), "Other", 61), 0.07 / 60);
}

TEST_F(Pricing, FreeMinutesComeFromTheFirstMatchThatGrantsAnyAndMomentsWithoutADayMatchNothing) {
    addAllDayBand(0.6, 0);
    addBand(DefaultConnectoid, MondayToFriday, TimeOfDay(8, 0, 0), TimeOfDay(9, 0, 0), 0, 10);
    addAllDayBand(0, 3);
    EXPECT_EQ(GetFreeMinutes(tariff(), "X", 0, tuesday(8, 30, 0)), 10);
    EXPECT_EQ(GetFreeMinutes(tariff(), "X", 0, tuesday(10, 0, 0)), 3);
    log.setEnabled(true);
    for (double t : {std::nan(""), HUGE_VAL, -HUGE_VAL, 1e300, -1e300}) {
        EXPECT_EQ(cost(t), 0.0);
        EXPECT_EQ(GetFreeMinutes(tariff(), "X", 0, t), 0);
    }
}

TEST_F(Pricing, FurtherDetailsFirstApplicableEntryDecidesAndNumbersReadEitherSeparator) {
    EXPECT_EQ(GetMinimumCharge(tariff(), "X", 10), 0.0);
    addDetails("Conn=0,10 Max=1 Disc=1,2,3 ApplyMax=Yes ApplyConn=yes Hand=20");
    details[6].Length_Start = 100; // the handshaking adjustment has no call-length window
    addDetail("MyISP", Opt::MinimumCharge, "lots");
    addDetail("MyISP", Opt::MinimumCharge, "0.05");
    addDetail(DefaultConnectoid, Opt::MinimumCharge, "0.07", 0, 60);
    addDetail(DefaultConnectoid, Opt::MinimumCharge, "0,09", 61, 0);
    for (const auto& r : {RegionalSettings::english(), RegionalSettings::italian()}) {
        regional = r;
        EXPECT_EQ(GetConnectionCharge(tariff(), "X", 10), 0.10);
        EXPECT_EQ(GetMaximumCharge(tariff(), "X", 10), 1.0);
        EXPECT_EQ(GetDiscount(tariff(), "X", 10), 0.0);
        EXPECT_EQ(GetHandshakingAdjustment(tariff(), "X"), 20.0);
        EXPECT_FALSE(GetApplyDiscountMinimumCharge(tariff(), "X", 10));
        EXPECT_TRUE(GetApplyDiscountMaximumCharge(tariff(), "X", 10));
        EXPECT_FALSE(GetApplyDiscountConnectionCharge(tariff(), "X", 10)) << "only Yes is yes";
        EXPECT_EQ(GetMinimumCharge(tariff(), "MyISP", 0), 0.0) << "the first entry is no number";
        EXPECT_EQ(GetMinimumCharge(tariff(), "myisp", 60), 0.07);
        EXPECT_EQ(GetMinimumCharge(tariff(), "Other", 61), 0.09);
    }
    details[9].Value.clear(); // the search ends at the first free slot
    EXPECT_EQ(GetMinimumCharge(tariff(), "Other", 61), 0.0);
}

class CallCosting : public TariffFixture {
protected:
    // A call from 10:00:00 ending half-way through its last second: `seconds` are priced.
    typCallCostInformation priceSeconds(double seconds) {
        return price(tuesday(10, 0, 0), plusSeconds(tuesday(10, 0, 0), seconds - 0.5));
    }
    // Flags: M in the minimum period, O outside the free period, X at the maximum.
    static void expectCost(const typCallCostInformation& r, double without, double with,
                           const char* flags) {
        EXPECT_NEAR(r.Without_Discount, without, 1e-12);
        EXPECT_NEAR(r.With_Discount, with, 1e-12);
        const char actual[] = {r.In_Minimum_Period ? 'M' : '-', r.OutsideFreePeriod ? 'O' : '-',
                               r.In_Maximum_Period ? 'X' : '-', 0};
        EXPECT_STREQ(actual, flags);
    }
};

TEST_F(CallCosting, EveryStartedSecondIsPricedAtItsOwnMomentAndTheTruncatedLengthChoosesBands) {
    addBand(DefaultConnectoid, EveryDay, 0, TimeOfDay(10, 0, 4), 0.06);
    addBand(DefaultConnectoid, EveryDay, TimeOfDay(10, 0, 5), TimeOfDay(23, 59, 59), 0.6);
    // Moments 10:00:01.5 … 10:00:09.5: three cheap, one between the bands, five dear.
    EXPECT_NEAR(price(tuesday(10, 0, 0, 500), tuesday(10, 0, 9)).Without_Discount, 0.053, 1e-12);
    clearTable(bands);
    addAllDayBand(0.06).Length_Finish = 10;
    addAllDayBand(0.6).Length_Start = 11;
    EXPECT_NEAR(priceSeconds(11.4).Without_Discount, 11 * 0.001, 1e-12); // 10.9 s long
    EXPECT_NEAR(priceSeconds(11.7).Without_Discount, 12 * 0.01, 1e-12);  // 11.2 s long
}

// One all-day band, further details, and a call of some seconds (0.5 is a call of no
// length).
TEST_F(CallCosting, FreeMinutesMinimumDiscountConnectionAndMaximumCharges) {
    // clang-format off
    const struct {
        double chargePerMin; qint32 freeMinutes; const char* details; double seconds;
        double without, with; const char* flags;
    } cases[] = {
        {0.06, 2, "", 90, 0, 0, "---"},
        {0.06, 2, "", 151, 0.031, 0.031, "-O-"},
        {0.06, -100000000, "", 11, 0.011, 0.011, "-O-"}, // grants nothing, prices no earlier time
        {0.06, 0, "Min=0.05", 20, 0.05, 0.05, "MO-"},
        // An undiscounted minimum is not discounted below itself.
        {0.06, 0, "Min=0.05 Disc=10", 52, 0.052, 0.05, "-O-"},
        {0.06, 0, "Min=0.05 Disc=10", 20, 0.05, 0.05, "MO-"},
        {0.06, 0, "Min=0.05 Disc=10 ApplyMin=Yes", 20, 0.05, 0.045, "MO-"},
        // A call still in its free minutes owes no minimum, nor is it raised to one.
        {0.06, 2, "Min=0.05 Disc=10", 90, 0, 0, "M--"},
        {0.06, 0, "Min=0.05 Conn=0.10 Disc=20", 0.5, 0.15, 0.15, "M--"},
        {0.06, 0, "Min=0.05 Conn=0.10 Disc=20 ApplyMin=Yes", 0.5, 0.15, 0.14, "M--"},
        {0.06, 0, "Conn=0.10 Disc=20", 11, 0.111, 0.0088 + 0.10, "-O-"},
        {0.06, 0, "Conn=0.10 Disc=20 ApplyConn=Yes", 11, 0.091, 0.0088 + 0.08, "-O-"},
        // 0.10 a second; the maximum includes the connection charge, and 0 never caps.
        {6, 0, "Max=1.00 Disc=10", 15, 1.0, 1.0, "-OX"},
        {6, 0, "Max=1.00 Disc=10 ApplyMax=Yes", 15, 1.0, 0.9, "-OX"},
        {6, 0, "Max=1.00 Disc=10 ApplyMax=Yes", 9, 0.9, 0.81, "-O-"},
        {6, 0, "Max=1.00 Disc=10 ApplyMax=Yes Conn=0.20", 9, 1.0, 0.9, "-OX"},
        {6, 0, "Max=0 Disc=10 ApplyMax=Yes Conn=0.20", 15, 1.7, 1.55, "-O-"}};
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.details << ", " << c.seconds << " s");
        SetUp();
        addAllDayBand(c.chargePerMin, c.freeMinutes);
        addDetails(c.details);
        expectCost(priceSeconds(c.seconds), c.without, c.with, c.flags);
    }
}

TEST_F(CallCosting, NoChargeBandsAndTimesThatCannotBeACallHaveFixedResults) {
    addAllDayBand(6);
    addDetails("Conn=0.20");
    const double now = tuesday(10, 0, 0), nan = std::nan("");
    log.setEnabled(true);
    for (auto [start, finish] : {std::pair{nan, now},
                                 {now, nan},
                                 {now, HUGE_VAL},
                                 {-HUGE_VAL, now},
                                 {0.0, now},
                                 {now, 1e300}})
        expectCost(price(start, finish), 0, 0, "---");
    // A finish before the start prices no second, only the connection.
    expectCost(price(now, now - 0.1), 0.2, 0.2, "---");
    noChargeBands = true;
    for (double seconds : {0.5, 1.0, 600.0})
        expectCost(priceSeconds(seconds), 0, 0, "M--");
}

TEST_F(CallCosting, TraceShowsEveryStepInItsOwnWording) {
    addAllDayBand(6);
    addDetails("Conn=0.25 ApplyConn=Yes Disc=20");
    log.setEnabled(true);
    price(tuesday(0, 0, 0), tuesday(0, 0, 0, 500));

    // Each function's lines, "; " between them; "@" stands for "DUN = MyISP;
    // Duration = 0".
    const char* const Expected = R"(
CalculateCost: Start CalculateCost; Start Time = 14/03/2023 00:00:00; Finish Time = 14/03/2023 00:00:00; Dial Up Name = MyISP; Duration = 0
GetFreeMinutes: Start GetFreeMinutes; TheTime = 14/03/2023; Duration = 0; DUN = MyISP; Result = 0; Finish GetFreeMinutes
CostOfThisSecond: Start CostOfThisSecond; TheTime = 14/03/2023 00:00:01; Duration = 0; DUN = MyISP; Result = 0.1; Finish CostOfThisSecond
GetDiscount: Start GetDiscount; @; Result = 20; Finish GetDiscount
GetMinimumCharge: Start GetMinimumCharge; @; Result = 0; Finish GetMinimumCharge
GetApplyDiscountMinimumCharge: Start GetApplyDiscountMinimumCharge; @; Result = FALSE; Finish GetApplyDiscountMinimumCharge
GetConnectionCharge: GetConnectionCharge; @; Result = 0.25; Finish GetConnectionCharge
GetApplyDiscountConnectionCharge: Start GetApplyDiscountConnectionCharge; @; Result = TRUE; Finish GetApplyDiscountConnectionCharge
GetDiscount: Start GetDiscount; @; Result = 20; Finish GetDiscount
GetMaximumCharge: GetMaximumCharge; @; Result = 0; Finish GetMaximumCharge
CalculateCost: Result.With_Discount = 0.28; Result.Without_Discount = 0.3; Result.OutsideFreePeriod = TRUE; Result.In_Minimum_Period = FALSE; Result.In_Maximum_Period = FALSE; Finish CalculateCost)";
    QStringList expected;
    for (const QString& line : QString(Expected).split(u'\n', Qt::SkipEmptyParts))
        for (const QString& item :
             line.section(": ", 1).replace("@", "DUN = MyISP; Duration = 0").split("; "))
            expected << line.section(": ", 0, 0) + " - " + item;
    EXPECT_EQ(traceTexts(), expected);

    log.clear();
    noChargeBands = true;
    price(tuesday(10, 0, 0), tuesday(10, 0, 0));
    EXPECT_EQ(traceTexts()[5], "CalculateCost - I do not get charged for calls to the Internet");
}

// Seconds whose trace lines would be pushed out of the trace anyway are priced
// without them; what is left must be what tracing every second leaves.
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

    log.clear();
    for (double T = start; T <= finish;)
        cost(T = tariff::nextSecond(T), "MyISP", 1000);
    const QStringList expected = traceTexts();
    EXPECT_EQ(actual.mid(0, seconds), expected.mid(expected.size() - seconds));
}

using Presets = CallCosting;

TEST_F(Presets, EveryItemReplacesBothListsEntirely) {
    QList<double> discounts;
    for (const TariffPreset& preset : TariffPresets()) {
        SCOPED_TRACE(preset.ObjectName.toStdString());
        for (auto& b : bands)
            b = {"Mine", 0.1, 0.2, 5, 6, 127, 9.99, 7};
        for (auto& d : details)
            d = {"Mine", Opt::MaximumCharge, 1, 2, "3"};
        preset.Fill(bands, details);
        // Used slots, counted anywhere and before the first free one.
        const auto used = [](const auto& t) {
            return std::pair(
                int(std::count_if(t.begin(), t.end(), [](auto& e) { return !isFreeSlot(e); })),
                usedCount(t));
        };
        const int bandCount = preset.Submenu.startsWith("Italy") ? 6 : 3;
        const int detailCount =
            preset.Item.startsWith("Friends") ? 3 : (preset.Item == "Discounted" ? 2 : 1);
        EXPECT_EQ(used(bands), std::pair(bandCount, bandCount));
        EXPECT_EQ(used(details), std::pair(detailCount, detailCount));
        discounts << GetDiscount(tariff(), "X", 0);
    }
    EXPECT_EQ(discounts, QList<double>({0, 10, 20, 25, 35, 0, 50}));
}

TEST_F(Presets, UnitedKingdomWeekdayCallChangesPriceAtSixInTheEvening) {
    FillPresetBTStandard(bands, details);
    const double day = 0.0395 / 60, evening = 0.0149 / 60;
    EXPECT_EQ(cost(tuesday(17, 59, 59), "MyISP", 120), day);
    EXPECT_EQ(cost(tuesday(17, 59, 59, 500), "MyISP", 120), 0.0);
    EXPECT_EQ(cost(tuesday(18, 0, 0), "MyISP", 120), evening);
    // Each second is priced at its own moment; one landing after 17:59:59 but before
    // 18:00:00 lies in neither band.
    const TDateTime start = tuesday(17, 59, 0), finish = tuesday(18, 1, 0);
    double expected = 0;
    for (double T = start; T <= finish;) {
        T = tariff::nextSecond(T);
        expected += T <= tuesday(17, 59, 59) ? day : (T >= tuesday(18, 0, 0) ? evening : 0);
    }
    const double pounds = price(start, finish).Without_Discount;
    EXPECT_NEAR(pounds, expected, 1e-12);
    EXPECT_GE(pounds, 0.05);
}

TEST_F(Presets, FriendsAndFamilyDiscountsTheMinimumAndItalyAddsTheConnectionUndiscounted) {
    FillPresetBTFriendsAndFamily(bands, details);
    clearTable(bands);
    addAllDayBand(0.06);
    expectCost(priceSeconds(30), 0.05, 0.045, "MO-"); // 30 seconds cost 0.03

    FillPresetItaliaDiscounted(bands, details);
    clearTable(bands);
    addAllDayBand(60); // 1000 seconds add up to exactly 1000
    expectCost(priceSeconds(1000), 1153, 653, "-O-");
    FillPresetItaliaDiscounted(bands, details); // its own bands, a Sunday afternoon
    const TDateTime sunday = datetime::encode(2023, 3, 19, 15, 0, 0, 400);
    const auto r = price(sunday, plusSeconds(sunday, 599.5));
    EXPECT_NEAR(r.Without_Discount, 600 * 22.86 / 60 + 153, 1e-9);
    EXPECT_NEAR(r.With_Discount, 600 * 22.86 / 60 / 2 + 153, 1e-9);
}

} // namespace
