#pragma once

#include <QChar>
#include <QString>

// The user's regional settings, read once at start-up. Every formatter takes one, so
// that texts never depend on whatever locale the process happens to run under.
struct RegionalSettings {
    QChar decimalSeparator = u'.';
    QChar thousandSeparator = u',';
    QString currencySymbol = QStringLiteral("£");
    QString currencyIsoCode = QStringLiteral("GBP");
    int currencyFormat = 0;                                 // 0 "£1", 1 "1£", 2 "£ 1", 3 "1 £"
    int currencyDecimals = 2;                               // the system's currency decimal places
    QString shortDateFormat = QStringLiteral("dd/MM/yyyy"); // QDate::toString pattern
    QString longTimeFormat = QStringLiteral("HH:mm:ss");    // QTime::toString pattern
    QChar timeSeparator = u':';
    QString amText = QStringLiteral("AM");
    QString pmText = QStringLiteral("PM");

    // From the locale categories of the environment, as the C library takes them: LC_ALL,
    // else LC_NUMERIC, LC_MONETARY or LC_TIME, else LANG.
    static RegionalSettings fromSystem();
    // From the locale names of the three categories ("it_IT.UTF-8"); "C", "POSIX" or an
    // empty name is the C locale: '.' and ',', no currency symbol, ISO dates.
    static RegionalSettings forLocales(const QString& numeric, const QString& monetary,
                                       const QString& time);
    // Fixed values that tests and tools use side by side.
    static RegionalSettings english();
    static RegionalSettings italian();
};
