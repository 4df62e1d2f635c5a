#pragma once

#include "datetime.h"

#include <QList>
#include <QLocale>
#include <QString>

#include <array>

struct RegionalSettings;

namespace datetime {

// A day count split into its wall-clock parts. The day count already is local time, so no
// time zone is consulted: this is plain arithmetic, cheap enough for a whole call log.
struct WallClock {
    int year = 0;
    int month = 0;
    int day = 0;
    int dayOfWeek = 0; // 1 Monday … 7 Sunday, as QDate counts
    int millisecondOfDay = 0;
};

// Rounds to the millisecond first (23:59:59.9996 is the next midnight). False for a value
// that is no number or lies outside years 1 to 9999: such a value has no date to show.
bool split(TDateTime value, WallClock* out);
inline bool hasDate(TDateTime value) {
    return split(value, nullptr);
}

// Date and time texts by the regional patterns (QDate/QTime::toString patterns), which
// are read once here instead of on every text. Month and day names in the patterns ("MMM",
// "dddd") and in monthYear() come from `names`, the AM/PM texts from the regional
// settings. A value without a date gives empty texts.
// The zone pattern "t" writes nothing: wall-clock day counts carry no zone.
class DateTexts {
public:
    explicit DateTexts(const RegionalSettings& regional, const QLocale& names = QLocale::c());

    QString shortDate(TDateTime value) const;
    QString longTime(TDateTime value) const;
    // Short date, a blank and the long time; the time is left out at exactly midnight.
    QString dateTime(TDateTime value) const;
    // The full month name, a blank and the four-digit year ("March 2024").
    QString monthYear(int year, int month) const;

    void appendShortDate(QString& out, const WallClock& at) const { append(out, date_, at); }
    void appendLongTime(QString& out, const WallClock& at) const { append(out, time_, at); }

private:
    enum class Kind : quint8 {
        Literal,
        Day,
        Day2,
        DayShortName,
        DayLongName,
        Month,
        Month2,
        MonthShortName,
        MonthLongName,
        Year2,
        Year4,
        Hour,
        Hour2,
        Hour12,
        Hour12_2,
        Minute,
        Minute2,
        Second,
        Second2,
        FractionShort,
        Fraction3,
        AmPmLower,
        AmPmUpper,
        AmPmAsGiven,
    };
    struct Token {
        Kind kind;
        QString literal;
    };
    using Pattern = QList<Token>;

    static Pattern compile(const QString& pattern, bool dateParts, bool timeParts);
    void append(QString& out, const Pattern& pattern, const WallClock& at) const;

    Pattern date_;
    Pattern time_;
    std::array<QString, 13> monthShort_, monthLong_, monthStandalone_;
    std::array<QString, 8> dayShort_, dayLong_;
    QString am_, pm_;
};

} // namespace datetime
