#include "core/datetime.h"
#include "core/formatting.h"
#include "core/regional.h"

#include <gtest/gtest.h>

namespace {

// 18:00:00 on 5 March 2023, and 1234.5 as money, the way the program shows them.
struct Shown {
    const char* locale;
    const char* date;
    const char* time;
    const char* money;
    const char* isoCode;
};

void expectShown(const RegionalSettings& r, const Shown& c) {
    const TDateTime t = datetime::encode(2023, 3, 5, 18, 0, 0);
    EXPECT_EQ(datetime::shortDateText(t, r), QString::fromUtf8(c.date)) << c.locale;
    EXPECT_EQ(datetime::longTimeText(t, r), QString::fromUtf8(c.time)) << c.locale;
    EXPECT_EQ(FormatMoneyWithSymbol(0, 1234.5, r), QString::fromUtf8(c.money)) << c.locale;
    EXPECT_EQ(r.currencyIsoCode, c.isoCode) << c.locale;
}

// The locale variables of this test's process, as "" (unset) or a name; each test runs in
// a process of its own.
RegionalSettings fromEnvironment(const char* all, const char* lang, const char* numeric,
                                 const char* monetary, const char* time) {
    const std::pair<const char*, const char*> variables[] = {{"LC_ALL", all},
                                                             {"LANG", lang},
                                                             {"LC_NUMERIC", numeric},
                                                             {"LC_MONETARY", monetary},
                                                             {"LC_TIME", time}};
    for (const auto& [name, value] : variables)
        *value ? qputenv(name, value) : qunsetenv(name);
    return RegionalSettings::fromSystem();
}

} // namespace

TEST(RegionalSettings, DerivedFromRealLocales) {
    // No zone and no empty brackets in the times; the locale's own AM/PM texts; no symbol
    // and ISO dates for C.
    const Shown cases[] = {
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
    for (const Shown& c : cases) {
        const QString name = QString::fromLatin1(c.locale);
        expectShown(RegionalSettings::forLocales(name, name, name), c);
    }
    const RegionalSettings us = RegionalSettings::forLocales("en_US", "en_US", "en_US");
    EXPECT_EQ(datetime::longTimeText(datetime::encode(2023, 3, 5, 0, 30, 0), us), "12:30:00 AM");
    const RegionalSettings it = RegionalSettings::forLocales("it_IT", "it_IT", "it_IT");
    EXPECT_EQ(it.decimalSeparator, u',');
    EXPECT_EQ(it.thousandSeparator, u'.');
    EXPECT_EQ(it.timeSeparator, u':');
}

TEST(RegionalSettings, EachCategoryComesFromItsOwnVariable) {
    // No LANG: the currency still comes from LC_MONETARY; the rest is C.
    RegionalSettings r = fromEnvironment("", "", "", "it_IT.UTF-8", "");
    EXPECT_EQ(r.currencySymbol, "€");
    EXPECT_EQ(r.currencyFormat, 3);
    EXPECT_EQ(r.decimalSeparator, u'.');
    EXPECT_EQ(r.shortDateFormat, "yyyy-MM-dd");

    r = fromEnvironment("", "C", "de_DE.UTF-8", "", "");
    EXPECT_EQ(r.decimalSeparator, u',');
    EXPECT_EQ(r.currencySymbol, "") << "not the pound of an English default";

    // LC_ALL beats everything; LANG stands in for what is not set.
    EXPECT_EQ(fromEnvironment("en_US.UTF-8", "fr_FR.UTF-8", "", "ja_JP.UTF-8", "").currencySymbol,
              "$");
    r = fromEnvironment("", "fr_FR.UTF-8", "", "ja_JP.UTF-8", "");
    EXPECT_EQ(r.currencyIsoCode, "JPY");
    EXPECT_EQ(r.decimalSeparator, u',');
}
