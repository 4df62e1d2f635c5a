#include "tariff/further_details.h"
#include "tariff_fixture.h"

namespace {

namespace Opt = FurtherDetailOption;

using FurtherDetails = TariffFixture;

TEST_F(FurtherDetails, EachLookupReadsItsOwnOptionAndDefaultsToNothing) {
    EXPECT_EQ(GetMinimumCharge(tariff(), "X", 10), 0.0);
    EXPECT_FALSE(GetApplyDiscountMaximumCharge(tariff(), "X", 10));
    addDetail(DefaultConnectoid, Opt::MinimumCharge, "0.05");
    addDetail(DefaultConnectoid, Opt::ConnectionCharge, "0.10");
    addDetail(DefaultConnectoid, Opt::MaximumCharge, "1");
    addDetail(DefaultConnectoid, Opt::Discount, "12.5");
    addDetail(DefaultConnectoid, Opt::HandshakingAdjustment, "20", 100, 200);
    addDetail(DefaultConnectoid, Opt::ApplyDiscountMaximumCharge, "Yes");
    addDetail(DefaultConnectoid, Opt::ApplyDiscountConnectionCharge, "yes");
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
    addDetail(DefaultConnectoid, Opt::MinimumCharge, "0,05");
    addDetail(DefaultConnectoid, Opt::MaximumCharge, "2.5");
    addDetail(DefaultConnectoid, Opt::Discount, "1,2,3");
    addDetail(DefaultConnectoid, Opt::ConnectionCharge, "1e999");
    for (const auto& r : {RegionalSettings::english(), RegionalSettings::italian()}) {
        regional = r;
        EXPECT_EQ(GetMinimumCharge(tariff(), "X", 0), 0.05);
        EXPECT_EQ(GetMaximumCharge(tariff(), "X", 0), 2.5);
        EXPECT_EQ(GetDiscount(tariff(), "X", 0), 0.0);
        EXPECT_EQ(GetConnectionCharge(tariff(), "X", 0), 0.0);
    }
}

TEST_F(FurtherDetails, TraceLinesKeepTheirOwnWording) {
    addDetail(DefaultConnectoid, Opt::ApplyDiscountConnectionCharge, "Yes");
    log.setEnabled(true);
    GetConnectionCharge(tariff(), "MyISP", 12);
    GetMaximumCharge(tariff(), "MyISP", 12);
    GetApplyDiscountConnectionCharge(tariff(), "MyISP", 12);
    const QStringList trace = traceTexts();
    ASSERT_EQ(trace.size(), 15);
    EXPECT_EQ(trace[0], "GetConnectionCharge - GetConnectionCharge");
    EXPECT_EQ(trace[2], "GetConnectionCharge - Duration = 12");
    EXPECT_EQ(trace[5], "GetMaximumCharge - GetMaximumCharge");
    EXPECT_EQ(trace[8], "GetMaximumCharge - Result = 0");
    EXPECT_EQ(trace[10],
              "GetApplyDiscountConnectionCharge - Start GetApplyDiscountConnectionCharge");
    EXPECT_EQ(trace[13], "GetApplyDiscountConnectionCharge - Result = TRUE");
}

} // namespace
