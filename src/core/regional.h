#pragma once

#include <QChar>
#include <QString>

// The user's regional settings, read once at start-up. Every formatter takes one, so
// that texts never depend on whatever locale the process happens to run under.
struct RegionalSettings {
    QChar decimalSeparator = u'.';
    QChar thousandSeparator = u',';
    QString currencySymbol = QStringLiteral("£");
    int currencyFormat = 0;                                 // 0 "£1", 1 "1£", 2 "£ 1", 3 "1 £"
    int currencyDecimals = 2;                               // the system's currency decimal places
    QString shortDateFormat = QStringLiteral("dd/MM/yyyy"); // QDate::toString pattern
    QString longTimeFormat = QStringLiteral("HH:mm:ss");    // QTime::toString pattern
    QChar timeSeparator = u':';

    static RegionalSettings fromSystem();
    // Fixed values that tests and tools use side by side.
    static RegionalSettings english();
    static RegionalSettings italian();
};
