#include "formatting.h"

#include "datetime.h"

#include <QRegularExpression>

#include <cmath>
#include <cstdio>
#include <limits>

namespace {

constexpr quint64 PowerOfTen[] = {1, 10, 100, 1000, 10000};

// Amounts are held as ten-thousandths in 64 bits, like a currency type: values beyond
// that range are formatted from their exact decimal expansion instead.
constexpr double FixedPointLimit = 9.2e18;

QString grouped(const QString& digits, QChar separator) {
    QString out;
    out.reserve(digits.size() + digits.size() / 3);
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += separator;
        out += digits[i];
    }
    return out;
}

QString formatFixed(double value, int places, bool group, const RegionalSettings& regional) {
    QString intDigits;
    QString fracDigits;
    bool negative = false;

    if (std::isnan(value))
        value = 0;
    const double scaled = value * 10000.0;
    if (std::isinf(value) || std::fabs(scaled) < FixedPointLimit) {
        qint64 fixed = 0;
        if (std::isinf(value))
            fixed = value > 0 ? std::numeric_limits<qint64>::max()
                              : -std::numeric_limits<qint64>::max();
        else
            fixed = std::llround(scaled);
        negative = fixed < 0;
        const quint64 magnitude =
            negative ? static_cast<quint64>(-fixed) : static_cast<quint64>(fixed);
        const quint64 divisor = PowerOfTen[4 - places];
        quint64 units = magnitude / divisor;
        if ((magnitude % divisor) * 2 >= divisor)
            ++units; // half away from zero
        const quint64 scale = PowerOfTen[places];
        intDigits = QString::number(units / scale);
        if (places > 0)
            fracDigits = QString::number(units % scale).rightJustified(places, u'0');
        if (units == 0)
            negative = false;
    } else {
        negative = value < 0;
        char buf[400];
        std::snprintf(buf, sizeof buf, "%.*f", places, std::fabs(value));
        const QString text = QString::fromLatin1(buf);
        const qsizetype point = text.indexOf(u'.');
        intDigits = point < 0 ? text : text.left(point);
        if (point >= 0)
            fracDigits = text.mid(point + 1);
    }

    QString out = group ? grouped(intDigits, regional.thousandSeparator) : intDigits;
    if (places > 0)
        out += regional.decimalSeparator + fracDigits;
    return negative ? u'-' + out : out;
}

QString withLocaleSeparator(const QString& text, const RegionalSettings& regional) {
    QString t = text;
    for (QChar& c : t) {
        if (c == u',' || c == u'.')
            c = regional.decimalSeparator;
    }
    return t;
}

} // namespace

int DecimalPlacesFor(int decimalPlacesSetting, const RegionalSettings& regional) {
    if (decimalPlacesSetting >= 1 && decimalPlacesSetting <= 5)
        return decimalPlacesSetting - 1;
    return qBound(0, regional.currencyDecimals, 4);
}

QString FormatMoney(int decimalPlacesSetting, double value, const RegionalSettings& regional) {
    return formatFixed(value, DecimalPlacesFor(decimalPlacesSetting, regional), true, regional);
}

QString FormatMoneyWithSymbol(int decimalPlacesSetting, double value,
                              const RegionalSettings& regional) {
    const QString number = FormatMoney(decimalPlacesSetting, value, regional);
    const QString& symbol = regional.currencySymbol;
    switch (regional.currencyFormat) {
    case 1:
        return number + symbol;
    case 2:
        return symbol + u' ' + number;
    case 3:
        return number + u' ' + symbol;
    default:
        return symbol + number;
    }
}

QString FormatNumberPlaces(int decimalPlacesSetting, double value,
                           const RegionalSettings& regional) {
    const int places = DecimalPlacesFor(decimalPlacesSetting, regional);
    return formatFixed(value, places, places == 0, regional);
}

QString FormatDataSize(int decimalPlacesSetting, qint64 bytes, const RegionalSettings& regional) {
    constexpr qint64 GB = 1073741824;
    constexpr qint64 MB = 1048576;
    const double count = static_cast<double>(bytes);
    if (bytes > GB)
        return FormatMoney(decimalPlacesSetting, count / GB, regional) + QStringLiteral("GB");
    if (bytes > MB)
        return FormatMoney(decimalPlacesSetting, count / MB, regional) + QStringLiteral("MB");
    return FormatMoney(decimalPlacesSetting, count / 1024, regional) + QStringLiteral("KB");
}

QString DaysToText(int days) {
    static const struct {
        int bit;
        const char* text;
    } order[] = {{2, "M, "},  {4, "Tu, "},  {8, "W, "}, {16, "Th, "},
                 {32, "F, "}, {64, "Sa, "}, {1, "Su, "}};
    QString out;
    for (const auto& d : order) {
        if (days & d.bit)
            out += QLatin1String(d.text);
    }
    out.chop(2);
    return out;
}

bool IsValidNumber(const QString& text, const RegionalSettings& regional) {
    static const QRegularExpression dotNumber(
        QStringLiteral(R"(^[+-]?([0-9]+(\.[0-9]*)?|\.[0-9]+)([eE][+-]?[0-9]+)?$)"));
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return false;
    QString dotted = trimmed;
    dotted.replace(u',', u'.');
    if (!dotNumber.match(dotted).hasMatch())
        return false;
    return datetime::textToFloat(withLocaleSeparator(trimmed, regional), regional, nullptr);
}

double ReadFloatSetting(const QString& text, const RegionalSettings& regional, double fallback) {
    double value = 0;
    if (!datetime::textToFloat(withLocaleSeparator(text, regional), regional, &value))
        return fallback;
    return value;
}
