#include "tariff/further_details.h"
#include "tariff_fixture.h"

namespace {

namespace Opt = FurtherDetailOption;

using FurtherDetails = TariffFixture;

TEST_F(FurtherDetails, NothingApplicableGivesZeroAndFalse) {
    EXPECT_EQ(GetMinimumCharge(tariff(), "X", 10), 0.0);
    EXPECT_EQ(GetConnectionCharge(tariff(), "X", 10), 0.0);
    EXPECT_EQ(GetMaximumCharge(tariff(), "X", 10), 0.0);
    EXPECT_EQ(GetDiscount(tariff(), "X", 10), 0.0);
    EXPECT_EQ(GetHandshakingAdjustment(tariff(), "X"), 0.0);
    EXPECT_FALSE(GetApplyDiscountMinimumCharge(tariff(), "X", 10));
    EXPECT_FALSE(GetApplyDiscountMaximumCharge(tariff(), "X", 10));
    EXPECT_FALSE(GetApplyDiscountConnectionCharge(tariff(), "X", 10));
}

TEST_F(FurtherDetails, EachLookupReadsItsOwnOption) {
    addDetail(DefaultConnectoid, Opt::MinimumCharge, "0.05");
    addDetail(DefaultConnectoid, Opt::ConnectionCharge, "0.10");
    addDetail(DefaultConnectoid, Opt::MaximumCharge, "1");
    addDetail(DefaultConnectoid, Opt::Discount, "12.5");
    addDetail(DefaultConnectoid, Opt::HandshakingAdjustment, "20");
    addDetail(DefaultConnectoid, Opt::ApplyDiscountMaximumCharge, "Yes");
    addDetail(DefaultConnectoid, Opt::ApplyDiscountConnectionCharge, "No");
    EXPECT_EQ(GetMinimumCharge(tariff(), "X", 10), 0.05);
    EXPECT_EQ(GetConnectionCharge(tariff(), "X", 10), 0.10);
    EXPECT_EQ(GetMaximumCharge(tariff(), "X", 10), 1.0);
    EXPECT_EQ(GetDiscount(tariff(), "X", 10), 12.5);
    EXPECT_EQ(GetHandshakingAdjustment(tariff(), "X"), 20.0);
    EXPECT_FALSE(GetApplyDiscountMinimumCharge(tariff(), "X", 10));
    EXPECT_TRUE(GetApplyDiscountMaximumCharge(tariff(), "X", 10));
    EXPECT_FALSE(GetApplyDiscountConnectionCharge(tariff(), "X", 10));
}

TEST_F(FurtherDetails, FirstApplicableEntryDecidesEvenWhenItIsNoNumber) {
    addDetail("MyISP", Opt::MinimumCharge, "lots");
    addDetail("MyISP", Opt::MinimumCharge, "0.05");
    addDetail(DefaultConnectoid, Opt::MinimumCharge, "0.07");
    EXPECT_EQ(GetMinimumCharge(tariff(), "MyISP", 0), 0.0);
    EXPECT_EQ(GetMinimumCharge(tariff(), "Other", 0), 0.07);
    EXPECT_EQ(GetMinimumCharge(tariff(), "myisp", 0), 0.07) << "names compare with case";
}

TEST_F(FurtherDetails, CallLengthWindowSelectsEntriesExceptForHandshaking) {
    addDetail(DefaultConnectoid, Opt::Discount, "10", 0, 60);
    addDetail(DefaultConnectoid, Opt::Discount, "20", 61, 0);
    addDetail(DefaultConnectoid, Opt::HandshakingAdjustment, "5", 100, 200);
    EXPECT_EQ(GetDiscount(tariff(), "X", 60), 10.0);
    EXPECT_EQ(GetDiscount(tariff(), "X", 61), 20.0);
    EXPECT_EQ(GetHandshakingAdjustment(tariff(), "X"), 5.0);
}

TEST_F(FurtherDetails, TheSearchEndsAtTheFirstFreeSlot) {
    addDetail(DefaultConnectoid, Opt::Discount, "10");
    addDetail(DefaultConnectoid, Opt::MinimumCharge, "0.05");
    details[1].Value.clear();
    EXPECT_EQ(GetDiscount(tariff(), "X", 0), 0.0);
    EXPECT_EQ(GetMinimumCharge(tariff(), "X", 0), 0.0);
}

TEST_F(FurtherDetails, OnlyAnExactYesSwitchesAnOptionOn) {
    for (const char* value : {"yes", "YES", " Yes", "True", "1"}) {
        clearTable(details);
        addDetail(DefaultConnectoid, Opt::ApplyDiscountMinimumCharge, value);
        EXPECT_FALSE(GetApplyDiscountMinimumCharge(tariff(), "X", 0)) << value;
    }
}

TEST_F(FurtherDetails, NumbersReadWithEitherDecimalSeparator) {
    addDetail(DefaultConnectoid, Opt::MinimumCharge, "0,05");
    addDetail(DefaultConnectoid, Opt::MaximumCharge, "2.5");
    addDetail(DefaultConnectoid, Opt::Discount, "1,2,3");
    addDetail(DefaultConnectoid, Opt::ConnectionCharge, "1e999");
    EXPECT_EQ(GetMinimumCharge(tariff(), "X", 0), 0.05);
    EXPECT_EQ(GetMaximumCharge(tariff(), "X", 0), 2.5);
    EXPECT_EQ(GetDiscount(tariff(), "X", 0), 0.0);
    EXPECT_EQ(GetConnectionCharge(tariff(), "X", 0), 0.0);
    regional = RegionalSettings::italian();
    EXPECT_EQ(GetMinimumCharge(tariff(), "X", 0), 0.05);
    EXPECT_EQ(GetMaximumCharge(tariff(), "X", 0), 2.5);
}

TEST_F(FurtherDetails, TraceLinesKeepTheirOwnWording) {
    addDetail(DefaultConnectoid, Opt::ConnectionCharge, "0.1");
    addDetail(DefaultConnectoid, Opt::ApplyDiscountConnectionCharge, "Yes");
    log.setEnabled(true);
    GetConnectionCharge(tariff(), "MyISP", 12);
    GetMaximumCharge(tariff(), "MyISP", 12);
    GetApplyDiscountConnectionCharge(tariff(), "MyISP", 12);
    GetApplyDiscountMaximumCharge(tariff(), "MyISP", 12);
    GetHandshakingAdjustment(tariff(), "MyISP");
    EXPECT_EQ(traceTexts(),
              QStringList({
                  "GetConnectionCharge - GetConnectionCharge",
                  "GetConnectionCharge - DUN = MyISP",
                  "GetConnectionCharge - Duration = 12",
                  "GetConnectionCharge - Result = 0.1",
                  "GetConnectionCharge - Finish GetConnectionCharge",
                  "GetMaximumCharge - GetMaximumCharge",
                  "GetMaximumCharge - DUN = MyISP",
                  "GetMaximumCharge - Duration = 12",
                  "GetMaximumCharge - Result = 0",
                  "GetMaximumCharge - Finish GetMaximumCharge",
                  "GetApplyDiscountConnectionCharge - Start GetApplyDiscountConnectionCharge",
                  "GetApplyDiscountConnectionCharge - DUN = MyISP",
                  "GetApplyDiscountConnectionCharge - Duration = 12",
                  "GetApplyDiscountConnectionCharge - Result = TRUE",
                  "GetApplyDiscountConnectionCharge - Finish GetApplyDiscountConnectionCharge",
                  "GetApplyDiscountMaximumCharge - Start GetApplyDiscountMaximumCharge",
                  "GetApplyDiscountMaximumCharge - DUN = MyISP",
                  "GetApplyDiscountMaximumCharge - Duration = 12",
                  "GetApplyDiscountMaximumCharge - Result = FALSE",
                  "GetApplyDiscountMaximumCharge - Finish GetApplyDiscountMaximumCharge",
              }));
}

} // namespace
