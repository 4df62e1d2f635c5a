#include "core/code_page.h"
#include "core/formatting.h"

#include <gtest/gtest.h>

#include <limits>

namespace {
const RegionalSettings En = RegionalSettings::english();
const RegionalSettings It = RegionalSettings::italian();
} // namespace

TEST(FormatMoney, GroupsAndUsesTheLocaleSeparators) {
    EXPECT_EQ(FormatMoney(3, 1234.5, En), "1,234.50");
    EXPECT_EQ(FormatMoney(3, -1234.5, It), "-1.234,50");
    EXPECT_EQ(FormatMoney(1, 1234567.4, En), "1,234,567");
    EXPECT_EQ(FormatMoney(5, 0.0395, En), "0.0395");
    EXPECT_EQ(FormatMoney(2, 999.96, En), "1,000.0");
    EXPECT_EQ(FormatMoney(3, 0, En), "0.00");
}

TEST(FormatMoney, SettingZeroAndGarbageSettingsUseTheCurrencyPlaces) {
    RegionalSettings r = En;
    EXPECT_EQ(FormatMoney(0, 12.5, r), "12.50");
    EXPECT_EQ(FormatMoney(6, 12.5, r), "12.50");
    EXPECT_EQ(FormatMoney(-3, 12.5, r), "12.50");
    r.currencyDecimals = 0;
    EXPECT_EQ(FormatMoney(0, 12.5, r), "13");
    r.currencyDecimals = 9;
    EXPECT_EQ(FormatMoney(0, 1.23456, r), "1.2346");
}

TEST(FormatMoney, RoundsAtFourDecimalsThenHalfAwayFromZero) {
    // Fixed-point first: 0.00004 is 0 ten-thousandths, 0.00005 rounds up to 1.
    EXPECT_EQ(FormatMoney(5, 0.00004, En), "0.0000");
    EXPECT_EQ(FormatMoney(5, 0.00006, En), "0.0001");
    // Then exact halves away from zero, never to even.
    EXPECT_EQ(FormatMoney(3, 0.125, En), "0.13");
    EXPECT_EQ(FormatMoney(3, 0.135, En), "0.14");
    EXPECT_EQ(FormatMoney(3, -0.125, En), "-0.13");
    EXPECT_EQ(FormatMoney(1, 2.5, En), "3");
    EXPECT_EQ(FormatMoney(1, -2.5, En), "-3");
    // 0.1249 stays below the half once held to four places.
    EXPECT_EQ(FormatMoney(3, 0.12494, En), "0.12");
    EXPECT_EQ(FormatMoney(3, 0.12496, En), "0.13");
    // A negative amount that rounds to nothing shows no sign.
    EXPECT_EQ(FormatMoney(3, -0.004, En), "0.00");
}

TEST(FormatMoney, ValuesOutsideTheFixedPointRangeStayWellDefined) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(FormatMoney(3, std::numeric_limits<double>::quiet_NaN(), En), "0.00");
    EXPECT_EQ(FormatMoney(5, inf, En), "922,337,203,685,477.5807");
    EXPECT_EQ(FormatMoney(5, -inf, En), "-922,337,203,685,477.5807");
    EXPECT_EQ(FormatMoney(1, 1e20, En), "100,000,000,000,000,000,000");
    EXPECT_EQ(FormatMoney(3, -1e16, It), "-10.000.000.000.000.000,00");
    EXPECT_EQ(FormatMoney(1, 999999999999999.0, En), "999,999,999,999,999");
}

TEST(FormatMoneyWithSymbol, PlacesTheSymbolByTheCurrencyFormat) {
    RegionalSettings r = En;
    const char* expected[] = {"£1,234.50", "1,234.50£", "£ 1,234.50", "1,234.50 £", "£1,234.50"};
    for (int format : {0, 1, 2, 3, 42}) {
        r.currencyFormat = format;
        EXPECT_EQ(FormatMoneyWithSymbol(3, 1234.5, r),
                  QString::fromUtf8(expected[qMin(format, 4)]));
    }
    EXPECT_EQ(FormatMoneyWithSymbol(3, 1234.5, It), QStringLiteral("€ 1.234,50"));
}

TEST(FormatNumberPlaces, UngroupedWithDecimalsGroupedWithout) {
    EXPECT_EQ(FormatNumberPlaces(3, 1234.5, It), "1234,50");
    EXPECT_EQ(FormatNumberPlaces(1, 12345.5, En), "12,346");
    EXPECT_EQ(FormatNumberPlaces(1, 12345.5, It), "12.346");
    EXPECT_EQ(FormatNumberPlaces(5, 0.03945, En), "0.0395");
}

TEST(FormatDataSize, UnitEdges) {
    EXPECT_EQ(FormatDataSize(3, 1536, It), "1,50KB");
    EXPECT_EQ(FormatDataSize(1, 0, En), "0KB");
    EXPECT_EQ(FormatDataSize(1, 1048576, En), "1,024KB"); // exactly 1 MB is still KB
    EXPECT_EQ(FormatDataSize(3, 1048577, En), "1.00MB");
    EXPECT_EQ(FormatDataSize(1, 1073741824, En), "1,024MB");
    EXPECT_EQ(FormatDataSize(3, 1073741825, En), "1.00GB");
    EXPECT_EQ(FormatDataSize(2, 5LL * 1073741824 + 536870912, En), "5.5GB");
    EXPECT_EQ(FormatDataSize(1, std::numeric_limits<qint64>::max(), En), "8,589,934,592GB");
}

TEST(DaysToText, MondayFirstSundayLast) {
    EXPECT_EQ(DaysToText(65), "Sa, Su");
    EXPECT_EQ(DaysToText(127), "M, Tu, W, Th, F, Sa, Su");
    EXPECT_EQ(DaysToText(1), "Su");
    EXPECT_EQ(DaysToText(128), ""); // bits outside the week are ignored
}

TEST(NumberTexts, EitherSeparatorReadsUnderBothLocales) {
    for (const RegionalSettings& r : {En, It}) {
        for (const char* text : {"0,0395", "0.0395", "-12", " 3.5 ", "1,5E-3"})
            EXPECT_TRUE(IsValidNumber(text, r)) << text;
        for (const char* text :
             {"", "   ", "1,2,3", "1.234,5", "abc", "12abc", "1e400", "nan", "--1", "inf"}) {
            EXPECT_FALSE(IsValidNumber(text, r)) << text;
            EXPECT_EQ(ReadFloatSetting(text, r, -7.5), -7.5) << text;
        }
        EXPECT_DOUBLE_EQ(ReadFloatSetting("0,0395", r), 0.0395);
        EXPECT_DOUBLE_EQ(ReadFloatSetting("45123.75", r), 45123.75);
        EXPECT_DOUBLE_EQ(ReadFloatSetting("garbage", r), 0.0);
    }
}

TEST(CodePage, EveryByteComesBackAndTheHighRangeIsWindows1252) {
    QByteArray all(256, '\0');
    for (int i = 0; i < 256; ++i)
        all[i] = static_cast<char>(i);
    const QString text = codepage::decode(all);
    EXPECT_EQ(codepage::encode(text), all);
    EXPECT_EQ(text[0x80], QChar(0x20AC)); // €
    EXPECT_EQ(text[0x99], QChar(0x2122)); // ™
    EXPECT_EQ(text[0xA3], QChar(0x00A3)); // £ as in Latin-1
    EXPECT_EQ(codepage::encode(QString::fromUtf8("zł ₽ €"), 5), QByteArray("z? ? "));
    EXPECT_EQ(codepage::firstUnencodable(QString::fromUtf8("€uro zł")), U'ł');
    EXPECT_EQ(codepage::firstUnencodable(QString::fromUtf8("€ and £")), 0U);
    EXPECT_EQ(codepage::firstUnencodable(QStringLiteral("\U0001F600")), U'\U0001F600');
}
