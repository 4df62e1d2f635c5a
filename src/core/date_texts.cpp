#include "date_texts.h"

#include "regional.h"

#include <cmath>
#include <optional>

namespace datetime {
namespace {

constexpr qint64 FirstDay = -693593; // 1 January 0001
constexpr qint64 EndDay = 2958466;   // 1 January 10000
constexpr qint64 UnixEpochDay = 25569;

// Days since 1 January 1970 to the proleptic Gregorian calendar date (H. Hinnant's
// civil_from_days).
void civilFromDays(qint64 z, int* year, int* month, int* day) {
    z += 719468;
    const qint64 era = (z >= 0 ? z : z - 146096) / 146097;
    const qint64 doe = z - era * 146097;
    const qint64 yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const qint64 doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const qint64 mp = (5 * doy + 2) / 153;
    *day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    *month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    *year = static_cast<int>(yoe + era * 400 + (*month <= 2 ? 1 : 0));
}

void appendNumber(QString& out, int value, int minDigits) {
    char buf[12];
    int n = 0;
    unsigned v = static_cast<unsigned>(value);
    do {
        buf[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0);
    for (int i = n; i < minDigits; ++i)
        out += u'0';
    while (n > 0)
        out += QLatin1Char(buf[--n]);
}

// How many times the character at i repeats from there.
qsizetype repeatCount(const QString& s, qsizetype i) {
    qsizetype n = 1;
    while (i + n < s.size() && s[i + n] == s[i])
        ++n;
    return n;
}

// A quoted part starting at i: 'text' is the text, '' is one quote, inside and outside.
QString readQuoted(const QString& s, qsizetype* i) {
    ++*i;
    if (*i == s.size())
        return {};
    if (s[*i] == u'\'') {
        ++*i;
        return QStringLiteral("'");
    }
    QString text;
    while (*i < s.size()) {
        if (s[*i] == u'\'') {
            if (*i + 1 < s.size() && s[*i + 1] == u'\'') {
                text += u'\'';
                *i += 2;
                continue;
            }
            break;
        }
        text += s[(*i)++];
    }
    if (*i < s.size())
        ++*i;
    return text;
}

bool containsAmPm(const QString& pattern) {
    for (qsizetype i = 0; i < pattern.size();) {
        if (pattern[i] == u'\'') {
            readQuoted(pattern, &i);
            continue;
        }
        if (pattern[i].toLower() == u'a')
            return true;
        ++i;
    }
    return false;
}

} // namespace

bool split(TDateTime value, WallClock* out) {
    if (!std::isfinite(value) || value < FirstDay || value >= EndDay)
        return false;
    const double totalMs = std::round(value * MillisecondsPerDay);
    const double dayPart = std::floor(totalMs / MillisecondsPerDay);
    const qint64 day = static_cast<qint64>(dayPart);
    if (day < FirstDay || day >= EndDay)
        return false;
    if (out) {
        out->millisecondOfDay = static_cast<int>(totalMs - dayPart * MillisecondsPerDay);
        civilFromDays(day - UnixEpochDay, &out->year, &out->month, &out->day);
        // Day 0 (30 December 1899) was a Saturday.
        out->dayOfWeek = static_cast<int>(((day + 5) % 7 + 7) % 7) + 1;
    }
    return true;
}

DateTexts::DateTexts(const RegionalSettings& regional, const QLocale& names)
    : date_(compile(regional.shortDateFormat, true, false)),
      time_(compile(regional.longTimeFormat, false, true)), am_(regional.amText),
      pm_(regional.pmText) {
    for (int m = 1; m <= 12; ++m) {
        monthShort_[m] = names.monthName(m, QLocale::ShortFormat);
        monthLong_[m] = names.monthName(m, QLocale::LongFormat);
        monthStandalone_[m] = names.standaloneMonthName(m, QLocale::LongFormat);
    }
    for (int d = 1; d <= 7; ++d) {
        dayShort_[d] = names.dayName(d, QLocale::ShortFormat);
        dayLong_[d] = names.dayName(d, QLocale::LongFormat);
    }
}

DateTexts::Pattern DateTexts::compile(const QString& pattern, bool dateParts, bool timeParts) {
    Pattern tokens;
    const bool twelveHour = containsAmPm(pattern);
    const auto literal = [&tokens](const QString& text) {
        if (!tokens.isEmpty() && tokens.last().kind == Kind::Literal)
            tokens.last().literal += text;
        else
            tokens.append({Kind::Literal, text});
    };
    qsizetype i = 0;
    while (i < pattern.size()) {
        const QChar c = pattern[i];
        if (c == u'\'') {
            literal(readQuoted(pattern, &i));
            continue;
        }
        qsizetype repeat = repeatCount(pattern, i);
        std::optional<Kind> kind;
        if (dateParts) {
            if (c == u'y') {
                repeat = repeat >= 4 ? 4 : repeat >= 2 ? 2 : 1;
                if (repeat > 1)
                    kind = repeat == 4 ? Kind::Year4 : Kind::Year2;
            } else if (c == u'M' || c == u'd') {
                repeat = qMin<qsizetype>(repeat, 4);
                static constexpr Kind months[] = {Kind::Month, Kind::Month2, Kind::MonthShortName,
                                                  Kind::MonthLongName};
                static constexpr Kind days[] = {Kind::Day, Kind::Day2, Kind::DayShortName,
                                                Kind::DayLongName};
                kind = (c == u'M' ? months : days)[repeat - 1];
            }
        }
        if (!kind && timeParts) {
            if (c == u'h' || c == u'H' || c == u'm' || c == u's') {
                repeat = qMin<qsizetype>(repeat, 2);
                const bool two = repeat == 2;
                if (c == u'h' && twelveHour)
                    kind = two ? Kind::Hour12_2 : Kind::Hour12;
                else if (c == u'h' || c == u'H')
                    kind = two ? Kind::Hour2 : Kind::Hour;
                else if (c == u'm')
                    kind = two ? Kind::Minute2 : Kind::Minute;
                else
                    kind = two ? Kind::Second2 : Kind::Second;
            } else if (c == u'a' || c == u'A') {
                // "AP"/"A" upper case, "ap"/"a" lower case, "Ap" as the locale writes it.
                const QChar next = i + 1 < pattern.size() ? pattern[i + 1] : QChar();
                repeat = next.toLower() == u'p' ? 2 : 1;
                if (c == u'A' && next == u'p')
                    kind = Kind::AmPmAsGiven;
                else
                    kind = c == u'a' ? Kind::AmPmLower : Kind::AmPmUpper;
            } else if (c == u'z') {
                repeat = repeat >= 3 ? 3 : 1;
                kind = repeat == 3 ? Kind::Fraction3 : Kind::FractionShort;
            } else if (c == u't') {
                repeat = 1;
                i += repeat;
                continue;
            }
        }
        if (kind)
            tokens.append({*kind, {}});
        else
            literal(QString(repeat, c));
        i += repeat;
    }
    return tokens;
}

void DateTexts::append(QString& out, const Pattern& pattern, const WallClock& at) const {
    const int ms = at.millisecondOfDay;
    const int hour = ms / 3600000;
    const int minute = ms / 60000 % 60;
    const int second = ms / 1000 % 60;
    const int hour12 = hour > 12 ? hour - 12 : hour == 0 ? 12 : hour;
    for (const Token& t : pattern) {
        switch (t.kind) {
        case Kind::Literal:
            out += t.literal;
            break;
        case Kind::Day:
        case Kind::Day2:
            appendNumber(out, at.day, t.kind == Kind::Day2 ? 2 : 1);
            break;
        case Kind::DayShortName:
            out += dayShort_[at.dayOfWeek];
            break;
        case Kind::DayLongName:
            out += dayLong_[at.dayOfWeek];
            break;
        case Kind::Month:
        case Kind::Month2:
            appendNumber(out, at.month, t.kind == Kind::Month2 ? 2 : 1);
            break;
        case Kind::MonthShortName:
            out += monthShort_[at.month];
            break;
        case Kind::MonthLongName:
            out += monthLong_[at.month];
            break;
        case Kind::Year2:
            appendNumber(out, at.year % 100, 2);
            break;
        case Kind::Year4:
            appendNumber(out, at.year, 4);
            break;
        case Kind::Hour:
        case Kind::Hour2:
            appendNumber(out, hour, t.kind == Kind::Hour2 ? 2 : 1);
            break;
        case Kind::Hour12:
        case Kind::Hour12_2:
            appendNumber(out, hour12, t.kind == Kind::Hour12_2 ? 2 : 1);
            break;
        case Kind::Minute:
        case Kind::Minute2:
            appendNumber(out, minute, t.kind == Kind::Minute2 ? 2 : 1);
            break;
        case Kind::Second:
        case Kind::Second2:
            appendNumber(out, second, t.kind == Kind::Second2 ? 2 : 1);
            break;
        case Kind::Fraction3:
        case Kind::FractionShort: {
            int fraction = ms % 1000;
            int digits = 3;
            // The fraction of the second without its trailing zeros, one digit at least.
            while (t.kind == Kind::FractionShort && digits > 1 && fraction % 10 == 0) {
                fraction /= 10;
                --digits;
            }
            appendNumber(out, fraction, digits);
            break;
        }
        case Kind::AmPmLower:
            out += (hour < 12 ? am_ : pm_).toLower();
            break;
        case Kind::AmPmUpper:
            out += (hour < 12 ? am_ : pm_).toUpper();
            break;
        case Kind::AmPmAsGiven:
            out += hour < 12 ? am_ : pm_;
            break;
        }
    }
}

QString DateTexts::shortDate(TDateTime value) const {
    WallClock at;
    QString out;
    if (split(value, &at))
        appendShortDate(out, at);
    return out;
}

QString DateTexts::longTime(TDateTime value) const {
    WallClock at;
    QString out;
    if (split(value, &at))
        appendLongTime(out, at);
    return out;
}

QString DateTexts::dateTime(TDateTime value) const {
    WallClock at;
    QString out;
    if (!split(value, &at))
        return out;
    out.reserve(24);
    appendShortDate(out, at);
    if (at.millisecondOfDay != 0) {
        out += u' ';
        appendLongTime(out, at);
    }
    return out;
}

QString DateTexts::monthYear(int year, int month) const {
    QString out = monthStandalone_[static_cast<size_t>(qBound(1, month, 12))];
    out += u' ';
    appendNumber(out, year, 4);
    return out;
}

} // namespace datetime
