#include "core/datetime.h"
#include "core/regional.h"

#include <gtest/gtest.h>

using namespace datetime;

TEST(DateTime, DayCountsRoundTripThroughQDateTime) {
    EXPECT_DOUBLE_EQ(encode(1899, 12, 30), 0.0);
    EXPECT_DOUBLE_EQ(encode(1900, 1, 1), 2.0);
    EXPECT_DOUBLE_EQ(encode(2000, 1, 1, 12), 36526.5);
    const QDateTime dt(QDate(2023, 3, 15), QTime(23, 59, 59, 999));
    EXPECT_EQ(toQDateTime(fromQDateTime(dt)), dt);
    // A fraction a hair below a whole day must not give a time of 24:00.
    EXPECT_EQ(toQDateTime(36526.0 - 1e-12), QDateTime(QDate(2000, 1, 1), QTime(0, 0)));
}

TEST(DateTime, ValuesWithoutADateGiveNoDateInsteadOfOverflowing) {
    EXPECT_FALSE(toQDateTime(1e300).isValid());
    EXPECT_FALSE(toQDateTime(-1e300).isValid());
    EXPECT_FALSE(toQDateTime(std::nan("")).isValid());
    EXPECT_EQ(toQDateTime(2958465.5).date(), QDate(9999, 12, 31));
    EXPECT_EQ(shortDateText(1e300, RegionalSettings::english()), "");
}

TEST(DateTime, DayOfWeekCountsFromSunday) {
    EXPECT_EQ(dayOfWeek(0.0), 7);                     // 30 Dec 1899, a Saturday
    EXPECT_EQ(dayOfWeek(encode(2023, 3, 12)), 1);     // Sunday
    EXPECT_EQ(dayOfWeek(encode(2023, 3, 13, 23)), 2); // Monday late evening
    EXPECT_EQ(dayOfWeek(encode(2026, 12, 6)), 1);     // Sunday
    EXPECT_EQ(dayOfWeek(-1.5), 5);                    // 28 December 1899, a Thursday
    EXPECT_GE(dayOfWeek(1e300), 1);
}

TEST(DateTime, FloatTextUsesTheLocaleSeparatorAndFifteenDigits) {
    const auto en = RegionalSettings::english();
    const auto it = RegionalSettings::italian();
    EXPECT_EQ(floatToText(0.0395, en), "0.0395");
    EXPECT_EQ(floatToText(0.0395, it), "0,0395");
    EXPECT_EQ(floatToText(16777215, en), "16777215");
    EXPECT_EQ(floatToText(-2.5, en), "-2.5");
    EXPECT_EQ(floatToText(1.0 / 3.0, en), "0.333333333333333");
    EXPECT_EQ(floatToText(0.00001, en), "0.00001");
    EXPECT_EQ(floatToText(1e20, en), "1E20");
    EXPECT_EQ(floatToText(1.5e-7, it), "1,5E-7");

    for (const auto& r : {en, it}) {
        for (double v : {0.0, 45000.123456789, -1.25, 1e20, 3.14159e-9}) {
            double back = -99;
            ASSERT_TRUE(textToFloat(floatToText(v, r), r, &back)) << v;
            EXPECT_NEAR(back, v, std::abs(v) * 1e-14);
        }
    }
    double v = 0;
    for (const char* text : {"0.5", "", "abc", "1,2,3", "inf"})
        EXPECT_FALSE(textToFloat(text, it, &v)) << text;
    EXPECT_TRUE(textToFloat(" 2,5 ", it, &v));
    EXPECT_DOUBLE_EQ(v, 2.5);
}

TEST(DateTime, DateAndTimeTexts) {
    const TDateTime t = encode(2023, 3, 5, 7, 8, 9);
    EXPECT_EQ(shortDateText(t, RegionalSettings::english()), "05/03/2023");
    EXPECT_EQ(longTimeText(t, RegionalSettings::english()), "07:08:09");
    EXPECT_EQ(dateTimeText(t, RegionalSettings::italian()), "05/03/2023 07.08.09");
}
