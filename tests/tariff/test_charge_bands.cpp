#include "tariff_fixture.h"

namespace {

using ChargeBands = TariffFixture;

TEST(LengthWindow, BoundsAreInclusiveAndZeroMeansNone) {
    EXPECT_TRUE(InLengthWindow(100000, 0, 0));
    EXPECT_TRUE(InLengthWindow(60, 0, 60));
    EXPECT_FALSE(InLengthWindow(61, 0, 60));
    EXPECT_FALSE(InLengthWindow(60, 61, 0));
    EXPECT_TRUE(InLengthWindow(5000, 61, 0));
    EXPECT_FALSE(InLengthWindow(41, 30, 40));
}

TEST_F(ChargeBands, TimeTestOfDayAndOverMidnightBands) {
    addBand(DefaultConnectoid, MondayToFriday, TimeOfDay(8, 0, 0), TimeOfDay(17, 59, 59), 0.0395);
    addBand(DefaultConnectoid, MondayToFriday, TimeOfDay(18, 0, 0), TimeOfDay(7, 59, 59), 0.0149);
    const double day = 0.0395 / 60, evening = 0.0149 / 60;
    EXPECT_EQ(cost(tuesday(8, 0, 0)), day);
    EXPECT_EQ(cost(tuesday(17, 59, 59)), day);
    EXPECT_EQ(cost(tuesday(18, 0, 0)), evening);
    EXPECT_EQ(cost(tuesday(2, 0, 0)), evening);
    EXPECT_EQ(cost(tuesday(23, 59, 59)), evening);
    EXPECT_EQ(cost(datetime::encode(2023, 3, 18, 12, 0, 0)), 0.0) << "Saturday";
    // Band times are whole seconds: a moment inside a band's last second matches nothing.
    EXPECT_EQ(cost(tuesday(17, 59, 59, 500)), 0.0);
    EXPECT_EQ(cost(tuesday(23, 59, 59, 500)), 0.0);

    // An over-midnight band tests the day of the moment itself.
    clearTable(bands);
    addBand(DefaultConnectoid, Monday, TimeOfDay(22, 0, 0), TimeOfDay(6, 0, 0), 0.6);
    EXPECT_EQ(cost(tuesday(2, 0, 0) - 1), 0.01);
    EXPECT_EQ(cost(tuesday(23, 0, 0) - 1), 0.01);
    EXPECT_EQ(cost(tuesday(2, 0, 0)), 0.0);
}

TEST_F(ChargeBands, FirstPayingMatchDecidesInSlotOrder) {
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

TEST_F(ChargeBands, FreeMinutesComeFromTheFirstMatchThatGrantsAny) {
    addAllDayBand(0.6, 0);
    addBand(DefaultConnectoid, MondayToFriday, TimeOfDay(8, 0, 0), TimeOfDay(9, 0, 0), 0, 10);
    addAllDayBand(0, 3);
    EXPECT_EQ(GetFreeMinutes(tariff(), "X", 0, tuesday(8, 30, 0)), 10);
    EXPECT_EQ(GetFreeMinutes(tariff(), "X", 0, tuesday(10, 0, 0)), 3);
}

TEST_F(ChargeBands, MomentsWithoutADayMatchNothing) {
    addAllDayBand(0.6, 5);
    log.setEnabled(true);
    for (double t : {std::nan(""), HUGE_VAL, -HUGE_VAL, 1e300, -1e300}) {
        EXPECT_EQ(cost(t), 0.0);
        EXPECT_EQ(GetFreeMinutes(tariff(), "X", 0, t), 0);
    }
}

namespace Opt = FurtherDetailOption;

using FurtherDetails = TariffFixture;

TEST_F(FurtherDetails, EachLookupReadsItsOwnOptionAndDefaultsToNothing) {
    EXPECT_EQ(GetMinimumCharge(tariff(), "X", 10), 0.0);
    EXPECT_FALSE(GetApplyDiscountMaximumCharge(tariff(), "X", 10));
    addDetails("Min=0.05 Conn=0.10 Max=1 Disc=12.5 ApplyMax=Yes ApplyConn=yes");
    addDetail(DefaultConnectoid, Opt::HandshakingAdjustment, "20", 100, 200);
    EXPECT_EQ(GetMinimumCharge(tariff(), "X", 10), 0.05);
    EXPECT_EQ(GetConnectionCharge(tariff(), "X", 10), 0.10);
    EXPECT_EQ(GetMaximumCharge(tariff(), "X", 10), 1.0);
    EXPECT_EQ(GetDiscount(tariff(), "X", 10), 12.5);
    EXPECT_EQ(GetHandshakingAdjustment(tariff(), "X"), 20.0) << "no call-length window";
    EXPECT_FALSE(GetApplyDiscountMinimumCharge(tariff(), "X", 10));
    EXPECT_TRUE(GetApplyDiscountMaximumCharge(tariff(), "X", 10));
    EXPECT_FALSE(GetApplyDiscountConnectionCharge(tariff(), "X", 10)) << "only \"Yes\" is yes";
}

TEST_F(FurtherDetails, FirstApplicableEntryDecidesEvenWhenItIsNoNumber) {
    addDetail("MyISP", Opt::MinimumCharge, "lots");
    addDetail("MyISP", Opt::MinimumCharge, "0.05");
    addDetail(DefaultConnectoid, Opt::MinimumCharge, "0.07", 0, 60);
    addDetail(DefaultConnectoid, Opt::MinimumCharge, "0.09", 61, 0);
    EXPECT_EQ(GetMinimumCharge(tariff(), "MyISP", 0), 0.0);
    EXPECT_EQ(GetMinimumCharge(tariff(), "myisp", 60), 0.07);
    EXPECT_EQ(GetMinimumCharge(tariff(), "Other", 61), 0.09);
    details[3].Value.clear(); // the search ends at the first free slot
    EXPECT_EQ(GetMinimumCharge(tariff(), "Other", 61), 0.0);
}

TEST_F(FurtherDetails, NumbersReadWithEitherDecimalSeparator) {
    addDetails("Min=0,05 Max=2.5 Disc=1,2,3 Conn=1e999");
    for (const auto& r : {RegionalSettings::english(), RegionalSettings::italian()}) {
        regional = r;
        EXPECT_EQ(GetMinimumCharge(tariff(), "X", 0), 0.05);
        EXPECT_EQ(GetMaximumCharge(tariff(), "X", 0), 2.5);
        EXPECT_EQ(GetDiscount(tariff(), "X", 0), 0.0);
        EXPECT_EQ(GetConnectionCharge(tariff(), "X", 0), 0.0);
    }
}

} // namespace
