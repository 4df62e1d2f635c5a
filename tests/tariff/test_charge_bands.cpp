#include "tariff/charge_bands.h"
#include "tariff_fixture.h"

namespace {

class ChargeBands : public TariffFixture {
protected:
    double cost(const QString& dun, qint32 duration, TDateTime at) {
        return CostOfThisSecond(tariff(), dun, duration, at);
    }
    double cost(TDateTime at) { return cost(QStringLiteral("MyISP"), 0, at); }

    // The two weekday bands of the usual day and evening tariff.
    void addDayAndEveningBands() {
        addBand(DefaultConnectoid, MondayToFriday, TimeOfDay(8, 0, 0), TimeOfDay(17, 59, 59),
                0.0395);
        addBand(DefaultConnectoid, MondayToFriday, TimeOfDay(18, 0, 0), TimeOfDay(7, 59, 59),
                0.0149);
    }
};

TEST(LengthWindow, BoundsAreInclusiveAndZeroMeansNone) {
    EXPECT_TRUE(InLengthWindow(0, 0, 0));
    EXPECT_TRUE(InLengthWindow(100000, 0, 0));
    EXPECT_TRUE(InLengthWindow(0, 0, 60));
    EXPECT_TRUE(InLengthWindow(60, 0, 60));
    EXPECT_FALSE(InLengthWindow(61, 0, 60));
    EXPECT_FALSE(InLengthWindow(60, 61, 0));
    EXPECT_TRUE(InLengthWindow(61, 61, 0));
    EXPECT_TRUE(InLengthWindow(5000, 61, 0));
    EXPECT_TRUE(InLengthWindow(30, 30, 30));
    EXPECT_FALSE(InLengthWindow(29, 30, 40));
    EXPECT_FALSE(InLengthWindow(41, 30, 40));
}

TEST(TimeOfDay, WholeSecondsAsDayFractions) {
    EXPECT_EQ(TimeOfDay(0, 0, 0), 0.0);
    EXPECT_EQ(TimeOfDay(12, 0, 0), 0.5);
    EXPECT_EQ(TimeOfDay(23, 59, 59), 86399.0 / 86400.0);
    EXPECT_EQ(tariff::LastSecondOfDay, TimeOfDay(23, 59, 59));
}

TEST_F(ChargeBands, TimeTestOfDayAndOverMidnightBands) {
    addDayAndEveningBands();
    const double day = 0.0395 / 60, evening = 0.0149 / 60;
    EXPECT_EQ(cost(tuesday(12, 0, 0)), day);
    EXPECT_EQ(cost(tuesday(8, 0, 0)), day);
    EXPECT_EQ(cost(tuesday(17, 59, 59)), day);
    EXPECT_EQ(cost(tuesday(18, 0, 0)), evening);
    EXPECT_EQ(cost(tuesday(23, 30, 0)), evening);
    EXPECT_EQ(cost(tuesday(2, 0, 0)), evening);
    EXPECT_EQ(cost(tuesday(0, 0, 0)), evening);
    EXPECT_EQ(cost(tuesday(7, 59, 59)), evening);
    // Saturday 18 March: no band.
    EXPECT_EQ(cost(datetime::encode(2023, 3, 18, 12, 0, 0)), 0.0);
}

TEST_F(ChargeBands, MomentsInsideABandsLastSecondMatchNothing) {
    addDayAndEveningBands();
    EXPECT_EQ(cost(tuesday(23, 59, 59)), 0.0149 / 60);
    EXPECT_EQ(cost(tuesday(23, 59, 59, 500)), 0.0);
    EXPECT_EQ(cost(tuesday(17, 59, 59, 500)), 0.0);
    EXPECT_EQ(cost(tuesday(7, 59, 59, 1)), 0.0);
    clearTable(bands);
    addAllDayBand(0.6);
    EXPECT_EQ(cost(tuesday(23, 59, 59)), 0.01);
    EXPECT_EQ(cost(tuesday(23, 59, 59, 500)), 0.0);
}

TEST_F(ChargeBands, OverMidnightBandTestsTheDayOfTheMomentItself) {
    addBand(DefaultConnectoid, Monday, TimeOfDay(22, 0, 0), TimeOfDay(6, 0, 0), 0.6);
    const TDateTime monday = datetime::encode(2023, 3, 13);
    ASSERT_EQ(datetime::dayOfWeek(monday), 2);
    EXPECT_EQ(cost(monday + TimeOfDay(2, 0, 0)), 0.01);
    EXPECT_EQ(cost(monday + TimeOfDay(23, 0, 0)), 0.01);
    EXPECT_EQ(cost(tuesday(2, 0, 0)), 0.0);
}

TEST_F(ChargeBands, FirstPayingMatchDecidesInSlotOrder) {
    addAllDayBand(0);
    addBand("MyISP", EveryDay, 0, TimeOfDay(23, 59, 59), 0.02);
    addAllDayBand(0.05);
    addAllDayBand(0.07);
    EXPECT_EQ(cost("MyISP", 0, tuesday(9, 0, 0)), 0.02 / 60);
    EXPECT_EQ(cost("Other", 0, tuesday(9, 0, 0)), 0.05 / 60);
    EXPECT_EQ(cost("myisp", 0, tuesday(9, 0, 0)), 0.05 / 60) << "names compare with case";
}

TEST_F(ChargeBands, FreeSlotsBetweenBandsAreSkippedNotAnEnd) {
    addAllDayBand(0);
    addAllDayBand(0.05);
    markFreeSlot(bands[1]);
    EXPECT_EQ(cost(tuesday(9, 0, 0)), 0.05 / 60);
}

TEST_F(ChargeBands, CallLengthWindowChoosesTheBand) {
    addAllDayBand(0.6).Length_Finish = 60;
    addAllDayBand(1.2).Length_Start = 61;
    EXPECT_EQ(cost("X", 0, tuesday(9, 0, 0)), 0.01);
    EXPECT_EQ(cost("X", 60, tuesday(9, 0, 0)), 0.01);
    EXPECT_EQ(cost("X", 61, tuesday(9, 0, 0)), 0.02);
}

TEST_F(ChargeBands, MomentsWithoutADayMatchNothing) {
    addAllDayBand(0.6);
    EXPECT_EQ(cost(std::nan("")), 0.0);
    EXPECT_EQ(cost(std::numeric_limits<double>::infinity()), 0.0);
    EXPECT_EQ(cost(1e300), 0.0);
    EXPECT_EQ(cost(-1e300), 0.0);
    EXPECT_EQ(GetFreeMinutes(tariff(), "X", 0, std::nan("")), 0);
}

TEST_F(ChargeBands, FreeMinutesComeFromTheFirstMatchThatGrantsAny) {
    addBand(DefaultConnectoid, EveryDay, 0, TimeOfDay(23, 59, 59), 0.6, 0);
    addBand(DefaultConnectoid, MondayToFriday, TimeOfDay(8, 0, 0), TimeOfDay(9, 0, 0), 0, 10);
    addBand(DefaultConnectoid, EveryDay, 0, TimeOfDay(23, 59, 59), 0, 3);
    EXPECT_EQ(GetFreeMinutes(tariff(), "X", 0, tuesday(8, 30, 0)), 10);
    EXPECT_EQ(GetFreeMinutes(tariff(), "X", 0, tuesday(10, 0, 0)), 3);
    clearTable(bands);
    EXPECT_EQ(GetFreeMinutes(tariff(), "X", 0, tuesday(10, 0, 0)), 0);
}

TEST_F(ChargeBands, TracesArgumentsAndResultOnlyWhenOn) {
    addAllDayBand(6);
    cost("MyISP", 42, tuesday(10, 0, 1));
    EXPECT_TRUE(log.lines().empty());

    log.setEnabled(true);
    cost("MyISP", 42, tuesday(10, 0, 1));
    GetFreeMinutes(tariff(), "MyISP", 7, datetime::encode(2023, 3, 14));
    EXPECT_EQ(traceTexts(), QStringList({
                                "CostOfThisSecond - Start CostOfThisSecond",
                                "CostOfThisSecond - TheTime = 14/03/2023 10:00:01",
                                "CostOfThisSecond - Duration = 42",
                                "CostOfThisSecond - DUN = MyISP",
                                "CostOfThisSecond - Result = 0.1",
                                "CostOfThisSecond - Finish CostOfThisSecond",
                                "GetFreeMinutes - Start GetFreeMinutes",
                                "GetFreeMinutes - TheTime = 14/03/2023",
                                "GetFreeMinutes - Duration = 7",
                                "GetFreeMinutes - DUN = MyISP",
                                "GetFreeMinutes - Result = 0",
                                "GetFreeMinutes - Finish GetFreeMinutes",
                            }));
}

} // namespace
