// Numbers, money, dates and times as the program shows and reads them, the code page, the
// locale, and the debug trace.
#include "core/code_page.h"
#include "core/date_texts.h"
#include "core/datetime.h"
#include "core/debug_log.h"
#include "core/formatting.h"
#include "core/regional.h"
#include "manual_clock.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <limits>

using namespace datetime;

namespace {
const RegionalSettings En = RegionalSettings::english();
const RegionalSettings It = RegionalSettings::italian();
constexpr double Inf = std::numeric_limits<double>::infinity();
} // namespace

TEST(Formatting, MoneyGroupsRoundsAtFourPlacesThenHalfAwayFromZeroAndStaysDefined) {
    RegionalSettings none = En, many = En;
    none.currencyDecimals = 0;
    many.currencyDecimals = 9;
    // clang-format off
    const struct { int places; double value; const RegionalSettings& r; const char* text; } cases[] = {
        {3, 1234.5, En, "1,234.50"}, {3, -1234.5, It, "-1.234,50"}, {1, 1234567.4, En, "1,234,567"},
        {5, 0.0395, En, "0.0395"}, {2, 999.96, En, "1,000.0"}, {3, 0, En, "0.00"},
        // 0 and settings out of range: the currency's own places.
        {0, 12.5, En, "12.50"}, {6, 12.5, En, "12.50"}, {-3, 12.5, En, "12.50"},
        {0, 12.5, none, "13"}, {0, 1.23456, many, "1.2346"},
        // Fixed point first (0.00005 rounds up), then exact halves away from zero.
        {5, 0.00004, En, "0.0000"}, {5, 0.00006, En, "0.0001"}, {3, 0.125, En, "0.13"},
        {3, 0.135, En, "0.14"}, {3, -0.125, En, "-0.13"}, {1, 2.5, En, "3"}, {1, -2.5, En, "-3"},
        {3, 0.12494, En, "0.12"}, {3, 0.12496, En, "0.13"}, {3, -0.004, En, "0.00"},
        {3, std::nan(""), En, "0.00"}, {5, Inf, En, "922,337,203,685,477.5807"},
        {5, -Inf, En, "-922,337,203,685,477.5807"}, {1, 1e20, En, "100,000,000,000,000,000,000"},
        {3, -1e16, It, "-10.000.000.000.000.000,00"}, {1, 999999999999999.0, En, "999,999,999,999,999"}};
    // clang-format on
    for (const auto& c : cases)
        EXPECT_EQ(FormatMoney(c.places, c.value, c.r), c.text) << c.value << " at " << c.places;

    RegionalSettings r = En;
    const char* expected[] = {"£1,234.50", "1,234.50£", "£ 1,234.50", "1,234.50 £", "£1,234.50"};
    for (int format : {0, 1, 2, 3, 42}) {
        r.currencyFormat = format;
        EXPECT_EQ(FormatMoneyWithSymbol(3, 1234.5, r),
                  QString::fromUtf8(expected[qMin(format, 4)]));
    }
    EXPECT_EQ(FormatMoneyWithSymbol(3, 1234.5, It), QStringLiteral("€ 1.234,50"));
}

TEST(Formatting, NumbersDataSizesAndDays) {
    // clang-format off
    const std::pair<QString, const char*> cases[] = {
        {FormatNumberPlaces(3, 1234.5, It), "1234,50"}, {FormatNumberPlaces(1, 12345.5, En), "12,346"},
        {FormatNumberPlaces(1, 12345.5, It), "12.346"}, {FormatNumberPlaces(5, 0.03945, En), "0.0395"},
        {FormatDataSize(3, 1536, It), "1,50KB"}, {FormatDataSize(1, 0, En), "0KB"},
        {FormatDataSize(1, 1048576, En), "1,024KB"}, // exactly 1 MB is still KB
        {FormatDataSize(3, 1048577, En), "1.00MB"}, {FormatDataSize(1, 1073741824, En), "1,024MB"},
        {FormatDataSize(3, 1073741825, En), "1.00GB"},
        {FormatDataSize(2, 5LL * 1073741824 + 536870912, En), "5.5GB"},
        {FormatDataSize(1, std::numeric_limits<qint64>::max(), En), "8,589,934,592GB"},
        {DaysToText(65), "Sa, Su"}, {DaysToText(127), "M, Tu, W, Th, F, Sa, Su"},
        {DaysToText(1), "Su"}, {DaysToText(128), ""}, // bits outside the week are ignored
        {floatToText(0.0395, It), "0,0395"}, {floatToText(16777215, En), "16777215"},
        {floatToText(1.0 / 3.0, En), "0.333333333333333"}, {floatToText(0.00001, En), "0.00001"},
        {floatToText(1e20, En), "1E20"}, {floatToText(1.5e-7, It), "1,5E-7"}};
    // clang-format on
    for (const auto& [actual, expected] : cases)
        EXPECT_EQ(actual, QString::fromUtf8(expected));
}

TEST(Formatting, NumberTextsReadWithEitherSeparatorUnderBothLocales) {
    for (const RegionalSettings& r : {En, It}) {
        for (const char* text : {"0,0395", "0.0395", "-12", " 3.5 ", "1,5E-3"})
            EXPECT_TRUE(IsValidNumber(text, r)) << text;
        for (const char* text :
             {"", "   ", "1,2,3", "1.234,5", "abc", "12abc", "1e400", "nan", "--1", "inf"}) {
            EXPECT_FALSE(IsValidNumber(text, r)) << text;
            EXPECT_EQ(ReadFloatSetting(text, r, -7.5), -7.5) << text;
        }
        EXPECT_DOUBLE_EQ(ReadFloatSetting("0,0395", r), 0.0395);
        EXPECT_DOUBLE_EQ(ReadFloatSetting("garbage", r), 0.0);
        for (double v : {0.0, 45000.123456789, -1.25, 1e20, 3.14159e-9}) {
            double back = -99;
            ASSERT_TRUE(textToFloat(floatToText(v, r), r, &back)) << v;
            EXPECT_NEAR(back, v, std::abs(v) * 1e-14);
        }
    }
    double v = 0;
    for (const char* text : {"0.5", "", "abc", "1,2,3", "inf"})
        EXPECT_FALSE(textToFloat(text, It, &v)) << text;
    EXPECT_TRUE(textToFloat(" 2,5 ", It, &v));
    EXPECT_DOUBLE_EQ(v, 2.5);
}

TEST(DateTime, DayCountsRoundTripAndValuesWithoutADateGiveNoDate) {
    EXPECT_DOUBLE_EQ(encode(1900, 1, 1), 2.0);
    EXPECT_DOUBLE_EQ(encode(2000, 1, 1, 12), 36526.5);
    const QDateTime dt(QDate(2023, 3, 15), QTime(23, 59, 59, 999));
    EXPECT_EQ(toQDateTime(fromQDateTime(dt)), dt);
    // A fraction a hair below a whole day must not give a time of 24:00.
    EXPECT_EQ(toQDateTime(36526.0 - 1e-12), QDateTime(QDate(2000, 1, 1), QTime(0, 0)));
    EXPECT_EQ(toQDateTime(2958465.5).date(), QDate(9999, 12, 31));
    for (double garbage :
         {encode(1, 1, 1) - 1e-3, encode(9999, 12, 31) + 1, 1e300, -1e300, std::nan(""), Inf}) {
        EXPECT_FALSE(hasDate(garbage)) << garbage;
        EXPECT_FALSE(toQDateTime(garbage).isValid()) << garbage;
        EXPECT_EQ(shortDateText(garbage, En), "");
        EXPECT_GE(dayOfWeek(garbage), 1);
    }
    EXPECT_TRUE(hasDate(encode(1, 1, 1)) && hasDate(encode(9999, 12, 31, 23, 59, 59)));
    // Sunday is 1: 30 Dec 1899 a Saturday, 28 Dec 1899 a Thursday.
    EXPECT_EQ(QList<int>({dayOfWeek(0.0), dayOfWeek(encode(2023, 3, 12)),
                          dayOfWeek(encode(2023, 3, 13, 23)), dayOfWeek(-1.5)}),
              QList<int>({7, 1, 2, 5}));

    WallClock at;
    const TDateTime last = encode(2024, 2, 29, 23, 59, 59, 999);
    ASSERT_TRUE(split(last + 0.4 / 86400000, &at));
    EXPECT_EQ(QList<int>({at.year, at.month, at.day, at.dayOfWeek, at.millisecondOfDay}),
              QList<int>({2024, 2, 29, 4, 86399999}));
    ASSERT_TRUE(split(last + 0.6 / 86400000, &at)); // rounds into the next day
    EXPECT_EQ(QList<int>({at.year, at.month, at.day, at.millisecondOfDay}),
              QList<int>({2024, 3, 1, 0}));
    ASSERT_TRUE(split(-1.25, &at)); // 28 December 1899, 18:00
    EXPECT_EQ(QList<int>({at.year, at.month, at.day, at.millisecondOfDay}),
              QList<int>({1899, 12, 28, 64800000}));
}

TEST(DateTime, PatternsFormatAsQtFormatsThem) {
    // Every pattern letter Qt knows, quoting included, against Qt's own formatting.
    const QStringList datePatterns = {"dd/MM/yyyy",     "d.M.yy",         "yyyy-MM-dd",
                                      "ddd d MMM yyyy", "dddd, d MMMM y", "'day' d 'of' M ''yy",
                                      "yyyyy hh:mm"};
    const QStringList timePatterns = {"HH:mm:ss",     "h:mm:ss AP", "hh.mm.ss ap", "H:m:s.z",
                                      "HH:mm:ss.zzz", "h 'h' m",    "A a h",       "HH:mm:ss t"};
    const QList<QDateTime> moments = {{{2024, 1, 5}, {0, 0, 0}},
                                      {{2024, 12, 31}, {23, 59, 59, 7}},
                                      {{9, 2, 28}, {13, 0, 0, 500}},
                                      {{2000, 2, 29}, {11, 59, 1, 30}}};
    for (const QDateTime& at : moments) {
        const TDateTime value = fromQDateTime(at);
        RegionalSettings r;
        for (const QString& pattern : datePatterns) {
            r.shortDateFormat = pattern;
            EXPECT_EQ(DateTexts(r).shortDate(value), QLocale::c().toString(at.date(), pattern));
        }
        for (QString pattern : timePatterns) {
            r.longTimeFormat = pattern;
            // The zone is left out: the day counts are wall-clock times.
            EXPECT_EQ(DateTexts(r).longTime(value),
                      QLocale::c().toString(at.time(), pattern.remove(u't')));
        }
    }
    const TDateTime t = encode(2023, 3, 5, 7, 8, 9);
    EXPECT_EQ(longTimeText(t, En), "07:08:09");
    EXPECT_EQ(dateTimeText(t, It), "05/03/2023 07.08.09");
    EXPECT_EQ(DateTexts(En).dateTime(encode(2024, 3, 1)), "01/03/2024");
    EXPECT_EQ(DateTexts(It, QLocale(QLocale::Italian)).monthYear(2024, 3), "marzo 2024");
    EXPECT_EQ(DateTexts(En).monthYear(812, 12), "December 0812");
}

TEST(RegionalSettings, DerivedFromRealLocales) {
    // 18:00:00 on 5 March 2023 and 1234.5 as money: no zone and no empty brackets in the
    // times; the locale's own AM/PM texts; no symbol and ISO dates for C.
    const struct {
        const char *locale, *date, *time, *money, *isoCode;
    } cases[] = {
        {"en_US.UTF-8", "3/5/23", "6:00:00 PM", "$1,234.50", "USD"},
        {"en_GB.UTF-8", "05/03/2023", "18:00:00", "£1,234.50", "GBP"},
        {"it_IT.UTF-8", "05/03/23", "18:00:00", "1.234,50 €", "EUR"},
        {"de_DE.UTF-8", "05.03.23", "18:00:00", "1.234,50 €", "EUR"},
        {"fr_FR.UTF-8", "05/03/2023", "18:00:00", "1\u202F234,50 €", "EUR"},
        {"ja_JP.UTF-8", "2023/03/05", "18時00分00秒", "￥1,235", "JPY"},
        {"ca_ES.UTF-8", "5/3/23", "18:00:00", "1.234,50 €", "EUR"},
        {"eu_ES.UTF-8", "23/3/5", "18:00:00", "1.234,50 €", "EUR"},
        {"zh_TW.UTF-8", "2023/3/5", "下午6:00:00", "$1,234.50", "TWD"},
        {"ko_KR.UTF-8", "23. 3. 5.", "오후 6시 0분 0초", "₩1,235", "KRW"},
        {"C", "2023-03-05", "18:00:00", "1,234.50", ""},
        {"POSIX", "2023-03-05", "18:00:00", "1,234.50", ""},
    };
    const TDateTime t = encode(2023, 3, 5, 18, 0, 0);
    for (const auto& c : cases) {
        const QString name = QString::fromLatin1(c.locale);
        const auto r = RegionalSettings::forLocales(name, name, name);
        EXPECT_EQ(
            QStringList({shortDateText(t, r), longTimeText(t, r),
                         FormatMoneyWithSymbol(0, 1234.5, r), r.currencyIsoCode}),
            QString::fromUtf8("%1|%2|%3|%4").arg(c.date, c.time, c.money, c.isoCode).split(u'|'));
    }
    const auto us = RegionalSettings::forLocales("en_US", "en_US", "en_US");
    EXPECT_EQ(longTimeText(encode(2023, 3, 5, 0, 30, 0), us), "12:30:00 AM");
    const auto it = RegionalSettings::forLocales("it_IT", "it_IT", "it_IT");
    EXPECT_EQ(QString(it.decimalSeparator) + it.thousandSeparator + it.timeSeparator, ",.:");
}

// Each test runs in a process of its own, so the variables set here stay here.
TEST(RegionalSettings, EachCategoryComesFromItsOwnVariable) {
    const auto fromEnvironment = [](const char* all, const char* lang, const char* numeric,
                                    const char* monetary) {
        const std::pair<const char*, const char*> variables[] = {
            {"LC_ALL", all}, {"LANG", lang}, {"LC_NUMERIC", numeric}, {"LC_MONETARY", monetary}};
        for (const auto& [name, value] : variables)
            *value ? qputenv(name, value) : qunsetenv(name);
        qunsetenv("LC_TIME");
        return RegionalSettings::fromSystem();
    };
    // No LANG: the currency still comes from LC_MONETARY; the rest is C.
    RegionalSettings r = fromEnvironment("", "", "", "it_IT.UTF-8");
    EXPECT_EQ(r.currencySymbol, "€");
    EXPECT_EQ(r.currencyFormat, 3);
    EXPECT_EQ(r.decimalSeparator, u'.');
    EXPECT_EQ(r.shortDateFormat, "yyyy-MM-dd");
    r = fromEnvironment("", "C", "de_DE.UTF-8", "");
    EXPECT_EQ(r.decimalSeparator, u',');
    EXPECT_EQ(r.currencySymbol, "") << "not the pound of an English default";
    // LC_ALL beats everything; LANG stands in for what is not set.
    EXPECT_EQ(fromEnvironment("en_US.UTF-8", "fr_FR.UTF-8", "", "ja_JP.UTF-8").currencySymbol, "$");
    r = fromEnvironment("", "fr_FR.UTF-8", "", "ja_JP.UTF-8");
    EXPECT_EQ(r.currencyIsoCode, "JPY");
    EXPECT_EQ(r.decimalSeparator, u',');
}

TEST(CodePage, EveryByteComesBackAndTheHighRangeIsWindows1252) {
    QByteArray all(256, '\0');
    for (int i = 0; i < 256; ++i)
        all[i] = static_cast<char>(i);
    const QString text = codepage::decode(all);
    EXPECT_EQ(codepage::encode(text), all);
    EXPECT_EQ(QString(text[0x80]) + text[0x99] + text[0xA3], QString::fromUtf8("€™£"));
    EXPECT_EQ(codepage::encode(QString::fromUtf8("zł ₽ €"), 5), QByteArray("z? ? "));
    EXPECT_EQ(codepage::firstUnencodable(QString::fromUtf8("€uro zł")), U'ł');
    EXPECT_EQ(codepage::firstUnencodable(QString::fromUtf8("€ and £")), 0U);
    EXPECT_EQ(codepage::firstUnencodable(QStringLiteral("\U0001F600")), U'\U0001F600');
}

TEST(DebugLog, BuildsNothingWhileOffKeepsTheNewest2500LinesAndWritesTheFile) {
    ManualClock clock;
    DebugLog log{clock};
    bool built = false;
    log.trace([&] { return built = true, QString("x"); });
    log.add("y");
    EXPECT_FALSE(built);
    EXPECT_TRUE(log.lines().empty());

    clock.setNow(encode(2023, 3, 5, 7, 8, 9));
    clock.setMilliseconds(77);
    log.setEnabled(true);
    for (int i = 1; i <= 2502; ++i)
        log.add(QString("Start %1").arg(i));
    ASSERT_EQ(log.lines().size(), 2500u);
    EXPECT_EQ(log.lines().front(), "77 -> Start 3");
    QTemporaryDir dir;
    const QString path = debugFilePath(dir.path());
    ASSERT_TRUE(log.writeFile(path, "VORN", En));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().startsWith("VORN v1.17 Debug File -> 05/03/2023 07:08:09\n\n"
                                       "1 -> 77 -> Start 3\n2 -> 77 -> Start 4\n"));
    QString error;
    EXPECT_FALSE(log.writeFile(dir.filePath("missing/dir/x.txt"), "VORN", En, &error));
    EXPECT_FALSE(error.isEmpty());
}
