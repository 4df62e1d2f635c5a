#include "core/regional.h"
#include "core/settings.h"
#include "monitor/display_texts.h"
#include "tariff/call_costing.h"

#include <gtest/gtest.h>

using namespace display;

TEST(DisplayModes, RotateThroughTheChosenReadOutsInTheirOrder) {
    const auto steps = [](EnabledModes enabled) {
        QList<int> seen{firstMode(enabled)};
        for (int i = 0; i < 6; ++i)
            seen << nextMode(quint8(seen.last()), enabled);
        return seen;
    };
    EXPECT_EQ(steps({true, true, true, true, true, true}), (QList<int>{0, 1, 2, 3, 4, 5, 0}));
    EXPECT_EQ(steps({false, true, false, false, false, true}), (QList<int>{1, 5, 1, 5, 1, 5, 1}));
    EXPECT_EQ(steps({false, false, false, false, true, false}), QList<int>(7, 4));
    // Nothing chosen (loading can switch the last ones off): the duration, without a hang.
    EXPECT_EQ(steps({}), QList<int>(7, 0));
}

TEST(DisplayTexts, DurationOfTheDayAndCentring) {
    EXPECT_EQ(durationText(12 * 60 + 7, u':'), "00:12:07");
    EXPECT_EQ(durationText(25 * 3600 + 3 * 60, u':'), "01:03:00");
    EXPECT_EQ(durationText(86399, u'.'), "23.59.59");
    EXPECT_EQ(durationText(-5, u':'), "00:00:00");

    EXPECT_EQ(centred("NO CALL", 9), " NO CALL");
    EXPECT_EQ(centred("CALL", 12), "    CALL");
    EXPECT_EQ(centred("00:12:07", 9), "00:12:07");
    EXPECT_EQ(centred("=1,234.56K/s", 9), "=1,234.56K/s");
}

TEST(DisplayTexts, CostMarksAndColoursOfTheChargePeriods) {
    using Shown = std::pair<QString, qint32>;
    typSettings st;
    const auto cost = [&](double value, bool outsideFree, bool minimum, bool maximum) {
        typCallCostInformation c;
        c.Without_Discount = value;
        c.With_Discount = value * 0.8;
        c.OutsideFreePeriod = outsideFree;
        c.In_Minimum_Period = minimum;
        c.In_Maximum_Period = maximum;
        const LedText t = costText(c, st, RegionalSettings::english());
        return Shown(t.text, t.colour);
    };
    EXPECT_EQ(cost(0.10, true, false, false), Shown("£0.10", st.Color_LED_Costs));
    // Within the free minutes nothing is owed yet, whatever a connection charge adds later.
    EXPECT_EQ(cost(0.25, false, false, false), Shown("£0.00", st.Color_LED_Costs));
    EXPECT_EQ(cost(0.10, true, true, false), Shown("*£0.10*", st.Color_LED_Minimum));
    EXPECT_EQ(cost(5.00, true, false, true), Shown("^£5.00^", st.Color_LED_Maximum));
    EXPECT_EQ(cost(5.00, true, true, true), Shown("^£5.00^", st.Color_LED_Minimum));

    st.Indicate_Minimum_Charge = false;
    st.Indicate_Maximum_Charge = false;
    st.Show_Cost_Including_Discount = true;
    EXPECT_EQ(cost(0.10, true, true, false), Shown("£0.08", st.Color_LED_Costs));
    EXPECT_EQ(cost(5.00, true, false, true), Shown("£4.00", st.Color_LED_Costs));
}

TEST(DisplayTexts, MoneyOnTheLedUsesOnlyWhatItCanDraw) {
    typCallCostInformation c;
    c.Without_Discount = 1234.5;
    c.OutsideFreePeriod = true;
    const typSettings st;
    struct Case {
        const char* locale;
        const char* shown;
    };
    for (const Case& t :
         {Case{"it_IT", "1.234,50 €"}, Case{"en_GB", "£1,234.50"}, Case{"ja_JP", "¥1,235"},
          Case{"pl_PL", "1 234,50 PLN"}, Case{"ru_RU", "1 234,50 RUB"}, Case{"fr_FR", "1 234,50 €"},
          Case{"C", "1,234.50"}}) {
        const RegionalSettings regional =
            RegionalSettings::forLocales(t.locale, t.locale, t.locale);
        EXPECT_EQ(costText(c, st, ledRegional(regional)).text, QString::fromUtf8(t.shown))
            << t.locale;
    }
    // The other windows keep the real symbol.
    const RegionalSettings polish = RegionalSettings::forLocales("pl_PL", "pl_PL", "pl_PL");
    EXPECT_EQ(costText(c, st, polish).text.right(2), QString::fromUtf8("zł"));
}

TEST(DisplayTexts, RateTrendNeedsAChangeOfMoreThanFivePercent) {
    const RegionalSettings english = RegionalSettings::english();
    const auto trend = [&](double from, double to) { return dtrText(to, from, 0, english); };
    EXPECT_EQ(trend(2.00, 2.09), "=2.09K/s");
    EXPECT_EQ(trend(2.00, 2.20), "+2.20K/s");
    EXPECT_EQ(trend(2.00, 1.80), "-1.80K/s");
    // A first rate is measured against 1.0 KB/s, and a fall against it is no rise.
    EXPECT_EQ(trend(0, 2.00), "+2.00K/s");
    EXPECT_EQ(trend(0, 0.50), "=0.50K/s");
    EXPECT_EQ(dtrText(1234.5, 1234.5, 2, english), "=1,234.5K/s");
    EXPECT_DOUBLE_EQ(transferRate(51200, 5000), 10.0);
    EXPECT_DOUBLE_EQ(transferRate(1024, 0), 0.0);
}

TEST(DisplayGeometry, CornerTargetsAndTheFarthestCorner) {
    const QRect work(0, 30, 1000, 770); // a panel above
    const QSize window(100, 20);
    EXPECT_EQ(cornerTarget(Corner::TopLeft, work, window), QPoint(0, 30));
    EXPECT_EQ(cornerTarget(Corner::TopRight, work, window), QPoint(900, 30));
    EXPECT_EQ(cornerTarget(Corner::BottomLeft, work, window), QPoint(0, 780));
    EXPECT_EQ(cornerTarget(Corner::BottomRight, work, window), QPoint(900, 780));

    EXPECT_EQ(farthestCorner({10, 40}, work, window), Corner::BottomRight);
    EXPECT_EQ(farthestCorner({880, 770}, work, window), Corner::TopLeft);
    EXPECT_EQ(farthestCorner({890, 35}, work, window), Corner::BottomLeft);
    EXPECT_EQ(farthestCorner({5, 700}, work, window), Corner::TopRight);
    // All four equally far: the first of TL, TR, BL, BR keeps the choice.
    EXPECT_EQ(farthestCorner({450, 405}, work, window), Corner::TopLeft);
}

TEST(DisplayGeometry, CursorIsNearWithinTwentyPixelsBesideAndFifteenAboveOrBelow) {
    const QRect work(0, 30, 1024, 738);
    const QSize window(114, 22);
    const auto near = [&](int x, int y, QPoint at = {100, 200}) {
        return isCursorNear({x, y}, work, at, window);
    };
    EXPECT_TRUE(near(81, 186));
    EXPECT_TRUE(near(233, 236));
    EXPECT_FALSE(near(80, 210));
    EXPECT_FALSE(near(234, 210));
    EXPECT_FALSE(near(150, 185));
    EXPECT_FALSE(near(150, 237));
    // Outside the work area's columns the mouse is never near; its rows are not tested.
    EXPECT_FALSE(near(-5, 10, {0, 0}));
    EXPECT_TRUE(near(1024, 10, {910, 0}));
    EXPECT_FALSE(near(1025, 10, {910, 0}));
    EXPECT_TRUE(near(5, -10, {0, 0}));
}
