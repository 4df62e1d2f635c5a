#include "tariff/presets.h"
#include "tariff_fixture.h"

namespace {

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

TEST_F(CallCosting, EveryStartedSecondIsPricedAtItsOwnMoment) {
    addAllDayBand(0.06);
    EXPECT_NEAR(price(tuesday(10, 0, 0), tuesday(10, 0, 10, 500)).Without_Discount, 0.011, 1e-12);
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

TEST_F(CallCosting, NoChargeBandsGivesItsFixedResultWhateverTheBands) {
    addAllDayBand(6);
    addDetails("Conn=0.20 Min=1");
    noChargeBands = true;
    for (double seconds : {0.5, 1.0, 600.0})
        expectCost(priceSeconds(seconds), 0, 0, "M--");
}

TEST_F(CallCosting, TimesThatCannotBeACallAreLeftUnpriced) {
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
}

TEST_F(CallCosting, TraceShowsEveryStepInItsOwnWording) {
    addAllDayBand(6);
    addDetails("Conn=0.25 ApplyConn=Yes Disc=20");
    log.setEnabled(true);
    price(tuesday(0, 0, 0), tuesday(0, 0, 0, 500));

    const auto step = [](const QString& name, bool saysStart, const QStringList& lines) {
        QStringList out{name + " - " + (saysStart ? "Start " : "") + name};
        for (const QString& line : lines)
            out << name + " - " + line;
        return out << name + " - Finish " + name;
    };
    const auto lookup = [&](const char* name, bool saysStart, const char* result) {
        return step(name, saysStart,
                    {"DUN = MyISP", "Duration = 0", QString("Result = ") + result});
    };
    QStringList expected{"CalculateCost - Start CalculateCost",
                         "CalculateCost - Start Time = 14/03/2023 00:00:00",
                         "CalculateCost - Finish Time = 14/03/2023 00:00:00",
                         "CalculateCost - Dial Up Name = MyISP", "CalculateCost - Duration = 0"};
    // The band lookups show a moment at midnight by its date alone.
    expected << step("GetFreeMinutes", true,
                     {"TheTime = 14/03/2023", "Duration = 0", "DUN = MyISP", "Result = 0"})
             << step("CostOfThisSecond", true,
                     {"TheTime = 14/03/2023 00:00:01", "Duration = 0", "DUN = MyISP",
                      "Result = 0.1"})
             << lookup("GetDiscount", true, "20") << lookup("GetMinimumCharge", true, "0")
             << lookup("GetApplyDiscountMinimumCharge", true, "FALSE")
             << lookup("GetConnectionCharge", false, "0.25")
             << lookup("GetApplyDiscountConnectionCharge", true, "TRUE")
             << lookup("GetDiscount", true, "20") << lookup("GetMaximumCharge", false, "0")
             << "CalculateCost - Result.With_Discount = 0.28"
             << "CalculateCost - Result.Without_Discount = 0.3"
             << "CalculateCost - Result.OutsideFreePeriod = TRUE"
             << "CalculateCost - Result.In_Minimum_Period = FALSE"
             << "CalculateCost - Result.In_Maximum_Period = FALSE"
             << "CalculateCost - Finish CalculateCost";
    EXPECT_EQ(traceTexts(), expected);

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

    log.clear();
    for (double T = start; T <= finish;)
        cost(T = tariff::nextSecond(T), "MyISP", 1000);
    const QStringList expected = traceTexts();
    EXPECT_EQ(actual.mid(0, seconds), expected.mid(expected.size() - seconds));
}

using Presets = TariffFixture;

TEST_F(Presets, EveryItemReplacesBothListsEntirely) {
    QList<double> discounts;
    for (const TariffPreset& preset : TariffPresets()) {
        SCOPED_TRACE(preset.ObjectName.toStdString());
        for (auto& b : bands)
            b = {"Mine", 0.1, 0.2, 5, 6, 127, 9.99, 7};
        for (auto& d : details)
            d = {"Mine", FurtherDetailOption::MaximumCharge, 1, 2, "3"};
        preset.Fill(bands, details);
        // Used slots, counted anywhere and before the first free one.
        const auto used = [](const auto& t) {
            const auto n =
                std::count_if(t.begin(), t.end(), [](auto& e) { return !isFreeSlot(e); });
            return std::pair(int(n), usedCount(t));
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
    const TDateTime start = tuesday(17, 59, 0), finish = tuesday(18, 1, 0);
    // Each second is priced at its own moment; one landing after 17:59:59 but before
    // 18:00:00 lies in neither band.
    int day = 0, between = 0, evening = 0;
    for (double T = start; T <= finish;) {
        T = tariff::nextSecond(T);
        const bool isDay = T <= tuesday(17, 59, 59), isEvening = T >= tuesday(18, 0, 0);
        (isDay ? day : isEvening ? evening : between)++;
        EXPECT_EQ(cost(T, "MyISP", 120), isDay ? 0.0395 / 60 : isEvening ? 0.0149 / 60 : 0.0);
    }
    EXPECT_GE(day, 58);
    EXPECT_LE(between, 1);
    EXPECT_GE(evening, 60);
    const auto r = price(start, finish);
    EXPECT_NEAR(r.Without_Discount, day * 0.0395 / 60 + evening * 0.0149 / 60, 1e-12);
    EXPECT_GE(r.Without_Discount, 0.05);
}

TEST_F(Presets, FriendsAndFamilyDiscountsTheMinimumCharge) {
    FillPresetBTFriendsAndFamily(bands, details);
    clearTable(bands);
    addAllDayBand(0.06);
    const auto r = price(tuesday(10, 0, 0), tuesday(10, 0, 29, 500)); // 30 seconds, 0.03
    EXPECT_EQ(r.Without_Discount, 0.05);
    EXPECT_NEAR(r.With_Discount, 0.045, 1e-12);
}

TEST_F(Presets, ItalyDiscountedAddsTheConnectionChargeUndiscounted) {
    FillPresetItaliaDiscounted(bands, details);
    clearTable(bands);
    addAllDayBand(60); // 1000 seconds add up to exactly 1000
    auto r = price(tuesday(10, 0, 0), plusSeconds(tuesday(10, 0, 0), 999.5));
    EXPECT_EQ(r.Without_Discount, 1153.0);
    EXPECT_EQ(r.With_Discount, 653.0);

    FillPresetItaliaDiscounted(bands, details); // its own bands: a Sunday afternoon
    const TDateTime sunday = datetime::encode(2023, 3, 19, 15, 0, 0, 400);
    r = price(sunday, plusSeconds(sunday, 599.5));
    EXPECT_NEAR(r.Without_Discount, 600 * 22.86 / 60 + 153, 1e-9);
    EXPECT_NEAR(r.With_Discount, 600 * 22.86 / 60 / 2 + 153, 1e-9);
}

} // namespace
