#include "regional.h"

#include <QLocale>

RegionalSettings RegionalSettings::fromSystem() {
    const QLocale locale = QLocale::system();
    RegionalSettings r;
    if (locale.language() == QLocale::C)
        return r;
    if (const QString d = locale.decimalPoint(); d.size() == 1)
        r.decimalSeparator = d.front();
    if (const QString g = locale.groupSeparator(); g.size() == 1)
        r.thousandSeparator = g.front();
    if (r.thousandSeparator == r.decimalSeparator)
        r.thousandSeparator = r.decimalSeparator == u'.' ? u',' : u'.';
    const QString symbol = locale.currencySymbol(QLocale::CurrencySymbol);
    if (!symbol.isEmpty())
        r.currencySymbol = symbol;

    // Qt has no "positive currency format" number: read it off a formatted amount.
    const QString sample = locale.toCurrencyString(1.0);
    const qsizetype at = sample.indexOf(r.currencySymbol);
    if (at >= 0) {
        const bool before = at == 0;
        const QString rest = before ? sample.mid(r.currencySymbol.size()) : sample.left(at);
        const bool blank = before ? rest.startsWith(u' ') || rest.startsWith(QChar(0xA0))
                                  : rest.endsWith(u' ') || rest.endsWith(QChar(0xA0));
        r.currencyFormat = before ? (blank ? 2 : 0) : (blank ? 3 : 1);
    }
    const qsizetype point = sample.indexOf(r.decimalSeparator);
    if (point >= 0) {
        int places = 0;
        for (qsizetype i = point + 1; i < sample.size() && sample[i].isDigit(); ++i)
            ++places;
        r.currencyDecimals = places;
    } else {
        r.currencyDecimals = 0;
    }
    r.shortDateFormat = locale.dateFormat(QLocale::ShortFormat);
    r.longTimeFormat = locale.timeFormat(QLocale::LongFormat);
    // Qt's long time format carries the zone name; the program's texts never do.
    r.longTimeFormat.remove(QStringLiteral(" t")).remove(u't');
    r.longTimeFormat = r.longTimeFormat.trimmed();
    for (QChar c : r.longTimeFormat) {
        if (!c.isLetter() && c != u' ') {
            r.timeSeparator = c;
            break;
        }
    }
    return r;
}

RegionalSettings RegionalSettings::english() {
    return RegionalSettings{};
}

RegionalSettings RegionalSettings::italian() {
    RegionalSettings r;
    r.decimalSeparator = u',';
    r.thousandSeparator = u'.';
    r.currencySymbol = QStringLiteral("€");
    r.currencyFormat = 2;
    r.currencyDecimals = 2;
    r.shortDateFormat = QStringLiteral("dd/MM/yyyy");
    r.longTimeFormat = QStringLiteral("HH.mm.ss");
    r.timeSeparator = u'.';
    return r;
}
