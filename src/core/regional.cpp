#include "regional.h"

#include <QLocale>
#include <QRegularExpression>

namespace {

bool isCLocale(const QString& name) {
    const QString base = name.section(u'.', 0, 0).section(u'@', 0, 0);
    return base.isEmpty() || base == QLatin1String("C") || base == QLatin1String("POSIX");
}

QString category(const char* name) {
    for (const char* variable : {"LC_ALL", name, "LANG"}) {
        const QString value = qEnvironmentVariable(variable);
        if (!value.isEmpty())
            return value;
    }
    return QStringLiteral("C");
}

// Applies `edit` to the parts of a date-time pattern outside its quoted literals.
template <typename Edit> QString editUnquoted(const QString& pattern, Edit edit) {
    QString result;
    qsizetype from = 0;
    while (from < pattern.size()) {
        const qsizetype quote = pattern.indexOf(u'\'', from);
        const qsizetype plainEnd = quote < 0 ? pattern.size() : quote;
        result += edit(pattern.mid(from, plainEnd - from));
        if (quote < 0)
            break;
        const qsizetype close = pattern.indexOf(u'\'', quote + 1);
        const qsizetype quotedEnd = close < 0 ? pattern.size() : close + 1;
        result += pattern.mid(quote, quotedEnd - quote);
        from = quotedEnd;
    }
    return result;
}

// The program's times carry no zone: the zone letters go with their brackets and the
// blank before them. CLDR's flexible day period ("B", which Qt does not know) becomes the
// locale's AM/PM text.
QString programTimeFormat(const QString& localeFormat) {
    static const QRegularExpression zone(QStringLiteral("\\s*[(\\[]?t+[)\\]]?"));
    static const QRegularExpression dayPeriod(QStringLiteral("B+"));
    return editUnquoted(localeFormat,
                        [](QString plain) {
                            return plain.remove(zone).replace(dayPeriod, QStringLiteral("Ap"));
                        })
        .trimmed();
}

// The first sign between the fields, quoted literals aside ("H 'h' mm" has none).
QChar separatorIn(const QString& timeFormat) {
    bool quoted = false;
    for (const QChar c : timeFormat) {
        if (c == u'\'')
            quoted = !quoted;
        else if (!quoted && !c.isLetterOrNumber() && !c.isSpace())
            return c;
    }
    return {};
}

} // namespace

RegionalSettings RegionalSettings::fromSystem() {
    return forLocales(category("LC_NUMERIC"), category("LC_MONETARY"), category("LC_TIME"));
}

RegionalSettings RegionalSettings::forLocales(const QString& numericName,
                                              const QString& monetaryName,
                                              const QString& timeName) {
    RegionalSettings r;
    const auto locale = [](const QString& name) {
        return isCLocale(name) ? QLocale::c() : QLocale(name);
    };

    const QLocale numeric = locale(numericName);
    if (const QString d = numeric.decimalPoint(); d.size() == 1)
        r.decimalSeparator = d.front();
    if (const QString g = numeric.groupSeparator(); g.size() == 1)
        r.thousandSeparator = g.front();
    if (r.thousandSeparator == r.decimalSeparator)
        r.thousandSeparator = r.decimalSeparator == u'.' ? u',' : u'.';

    const QLocale monetary = locale(monetaryName);
    r.currencySymbol = monetary.currencySymbol(QLocale::CurrencySymbol);
    r.currencyIsoCode = monetary.currencySymbol(QLocale::CurrencyIsoCode);
    // Qt has no "positive currency format" number: read it off a formatted amount.
    const QString sample = monetary.toCurrencyString(1.0);
    r.currencyFormat = 0;
    if (const qsizetype at = r.currencySymbol.isEmpty() ? -1 : sample.indexOf(r.currencySymbol);
        at >= 0) {
        const bool before = at == 0;
        const QString rest = before ? sample.mid(r.currencySymbol.size()) : sample.left(at);
        const bool blank = before ? rest.startsWith(u' ') || rest.startsWith(QChar(0xA0))
                                  : rest.endsWith(u' ') || rest.endsWith(QChar(0xA0));
        r.currencyFormat = before ? (blank ? 2 : 0) : (blank ? 3 : 1);
    }
    r.currencyDecimals = 0;
    if (const qsizetype point = sample.indexOf(monetary.decimalPoint()); point >= 0) {
        for (qsizetype i = point + 1; i < sample.size() && sample[i].isDigit(); ++i)
            ++r.currencyDecimals;
    }

    if (const QLocale time = locale(timeName); time.language() == QLocale::C) {
        r.shortDateFormat = QStringLiteral("yyyy-MM-dd");
        r.longTimeFormat = QStringLiteral("HH:mm:ss");
    } else {
        r.shortDateFormat = time.dateFormat(QLocale::ShortFormat);
        r.longTimeFormat = programTimeFormat(time.timeFormat(QLocale::LongFormat));
        r.amText = time.amText();
        r.pmText = time.pmText();
    }
    if (const QChar separator = separatorIn(r.longTimeFormat); !separator.isNull())
        r.timeSeparator = separator;
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
    r.currencyIsoCode = QStringLiteral("EUR");
    r.currencyFormat = 2;
    r.currencyDecimals = 2;
    r.shortDateFormat = QStringLiteral("dd/MM/yyyy");
    r.longTimeFormat = QStringLiteral("HH.mm.ss");
    r.timeSeparator = u'.';
    return r;
}
