#include "tariff_fixture.h"

namespace {

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
