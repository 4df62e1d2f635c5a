#include "core/date_texts.h"
#include "core/datetime.h"
#include "core/regional.h"

#include <QLocale>
#include <gtest/gtest.h>

#include <limits>

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

TEST(DateTexts, PatternsFormatAsQtFormatsThem) {
    // Every pattern letter Qt knows, quoting included, against Qt's own formatting.
    const QStringList datePatterns = {"dd/MM/yyyy",     "d.M.yy",         "yyyy-MM-dd",
                                      "ddd d MMM yyyy", "dddd, d MMMM y", "'day' d 'of' M ''yy",
                                      "yyyyy hh:mm"};
    const QStringList timePatterns = {"HH:mm:ss",     "h:mm:ss AP", "hh.mm.ss ap", "H:m:s.z",
                                      "HH:mm:ss.zzz", "h 'h' m",    "A a h",       "HH:mm:ss t"};
    const QList<QDateTime> moments = {{{2024, 1, 5}, {0, 0, 0}},
                                      {{2024, 12, 31}, {23, 59, 59, 7}},
                                      {{1999, 7, 18}, {12, 5, 9, 120}},
                                      {{9, 2, 28}, {13, 0, 0, 500}},
                                      {{2000, 2, 29}, {11, 59, 1, 30}}};
    for (const QDateTime& at : moments) {
        const TDateTime value =
            encode(at.date().year(), at.date().month(), at.date().day(), at.time().hour(),
                   at.time().minute(), at.time().second(), at.time().msec());
        for (const QString& pattern : datePatterns) {
            RegionalSettings r;
            r.shortDateFormat = pattern;
            EXPECT_EQ(DateTexts(r).shortDate(value), QLocale::c().toString(at.date(), pattern))
                << pattern.toStdString();
        }
        for (QString pattern : timePatterns) {
            RegionalSettings r;
            r.longTimeFormat = pattern;
            // The zone is left out: the day counts are wall-clock times.
            EXPECT_EQ(DateTexts(r).longTime(value),
                      QLocale::c().toString(at.time(), pattern.remove(u't')))
                << pattern.toStdString();
        }
    }
    const DateTexts italian(RegionalSettings::italian(), QLocale(QLocale::Italian));
    EXPECT_EQ(italian.monthYear(2024, 3), "marzo 2024");
    EXPECT_EQ(DateTexts(RegionalSettings::english()).monthYear(812, 12), "December 0812");
}

TEST(DateTexts, SplitsDayCountsWithoutAZone) {
    WallClock at;
    ASSERT_TRUE(split(encode(2024, 2, 29, 23, 59, 59, 999) + 0.4 / 86400000, &at));
    EXPECT_EQ(QList<int>({at.year, at.month, at.day, at.dayOfWeek, at.millisecondOfDay}),
              QList<int>({2024, 2, 29, 4, 86399999}));
    ASSERT_TRUE(split(encode(2024, 2, 29, 23, 59, 59, 999) + 0.6 / 86400000, &at));
    EXPECT_EQ(QList<int>({at.year, at.month, at.day, at.millisecondOfDay}),
              QList<int>({2024, 3, 1, 0})); // rounds into the next day
    ASSERT_TRUE(split(-1.25, &at));         // 28 December 1899, 18:00
    EXPECT_EQ(QList<int>({at.year, at.month, at.day, at.millisecondOfDay}),
              QList<int>({1899, 12, 28, 64800000}));
    EXPECT_TRUE(hasDate(encode(1, 1, 1)));
    EXPECT_TRUE(hasDate(encode(9999, 12, 31, 23, 59, 59)));
    for (const double garbage : {encode(1, 1, 1) - 1e-3, encode(9999, 12, 31) + 1, 1e300, -1e300,
                                 std::nan(""), std::numeric_limits<double>::infinity()})
        EXPECT_FALSE(hasDate(garbage)) << garbage;
    EXPECT_EQ(DateTexts(RegionalSettings::english()).dateTime(encode(2024, 3, 1)), "01/03/2024");
}
