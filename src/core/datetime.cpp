#include "datetime.h"

#include "date_texts.h"
#include "regional.h"

#include <QTimeZone>

#include <cmath>
#include <cstdio>

namespace datetime {
namespace {
const QDate Epoch(1899, 12, 30);

} // namespace

TDateTime fromQDateTime(const QDateTime& dt) {
    const QDateTime local = dt.toLocalTime();
    const qint64 days = Epoch.daysTo(local.date());
    const double fraction = local.time().msecsSinceStartOfDay() / MillisecondsPerDay;
    return static_cast<double>(days) + fraction;
}

QDateTime toQDateTime(TDateTime value) {
    // Outside years 1 to 9999 there is no date to show, and the millisecond arithmetic
    // below would overflow.
    constexpr double FirstDay = -693593; // 1 January 0001
    constexpr double LastDay = 2958466;  // 1 January 10000
    if (!std::isfinite(value) || value < FirstDay || value >= LastDay)
        return {};
    // Whole milliseconds first, so that 23:59:59.9996 does not become a time of 24:00.
    const double totalMs = std::round(value * MillisecondsPerDay);
    const double dayPart = std::floor(totalMs / MillisecondsPerDay);
    const qint64 msOfDay = static_cast<qint64>(totalMs - dayPart * MillisecondsPerDay);
    const QDate date = Epoch.addDays(static_cast<qint64>(dayPart));
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(static_cast<int>(msOfDay)));
}

TDateTime fromDateAndTime(const QDate& date, const QTime& time) {
    return static_cast<double>(Epoch.daysTo(date)) +
           time.msecsSinceStartOfDay() / MillisecondsPerDay;
}

TDateTime encode(int year, int month, int day, int hour, int minute, int second, int millisecond) {
    return fromQDateTime(
        QDateTime(QDate(year, month, day), QTime(hour, minute, second, millisecond)));
}

int dayOfWeek(TDateTime value) {
    // Day 0 (30 December 1899) was a Saturday.
    // fmod keeps this defined for any day count, however far from today.
    if (!std::isfinite(value))
        return 1;
    double r = std::fmod(std::floor(value), 7.0);
    if (r < 0)
        r += 7.0;
    return (static_cast<int>(r) + 6) % 7 + 1; // 1 = Sunday
}

QString floatToText(double value, const RegionalSettings& regional) {
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    if (value == 0)
        return QStringLiteral("0");

    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", value);
    // buf: [-]d.ddddddddddddddde[+-]xx
    QString text = QString::fromLatin1(buf);
    const bool negative = text.startsWith(u'-');
    if (negative)
        text.remove(0, 1);
    const qsizetype e = text.indexOf(u'e');
    const int exponent = text.mid(e + 1).toInt();
    QString digits = text.left(e).remove(u'.');
    while (digits.size() > 1 && digits.endsWith(u'0'))
        digits.chop(1);

    QString out;
    if (exponent >= -5 && exponent < 15) {
        if (exponent < 0) {
            out = QStringLiteral("0") + regional.decimalSeparator + QString(-exponent - 1, u'0') +
                  digits;
        } else if (digits.size() > exponent + 1) {
            out = digits.left(exponent + 1) + regional.decimalSeparator + digits.mid(exponent + 1);
        } else {
            out = digits + QString(exponent + 1 - digits.size(), u'0');
        }
    } else {
        out = digits.left(1);
        if (digits.size() > 1)
            out += regional.decimalSeparator + digits.mid(1);
        out += u'E';
        if (exponent < 0)
            out += u'-';
        out += QString::number(std::abs(exponent));
    }
    return negative ? u'-' + out : out;
}

bool textToFloat(const QString& text, const RegionalSettings& regional, double* out) {
    QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    if (regional.decimalSeparator != u'.') {
        if (t.contains(u'.'))
            return false;
        t.replace(regional.decimalSeparator, u'.');
    }
    for (QChar c : t) {
        if (!(c.isDigit() || c == u'.' || c == u'-' || c == u'+' || c == u'e' || c == u'E'))
            return false;
    }
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    if (out)
        *out = v;
    return true;
}

QString shortDateText(TDateTime value, const RegionalSettings& regional) {
    return DateTexts(regional).shortDate(value);
}

QString longTimeText(TDateTime value, const RegionalSettings& regional) {
    return DateTexts(regional).longTime(value);
}

QString dateTimeText(TDateTime value, const RegionalSettings& regional) {
    const DateTexts texts(regional);
    return texts.shortDate(value) + u' ' + texts.longTime(value);
}

} // namespace datetime
