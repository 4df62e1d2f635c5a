#pragma once

#include <QDateTime>
#include <QString>

struct RegionalSettings;

// Date-times are days since 30 December 1899 in local time, the fraction being the
// time of day; this is the form the settings, the call log and the tariff engine use.
using TDateTime = double;

namespace datetime {

constexpr double MillisecondsPerDay = 86400000.0;

TDateTime fromQDateTime(const QDateTime& dt);
QDateTime toQDateTime(TDateTime value);
// A wall-clock date and time as a day count by plain arithmetic: no time zone is consulted,
// so a time in a daylight-saving gap stays what it was.
TDateTime fromDateAndTime(const QDate& date, const QTime& time);
TDateTime encode(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                 int millisecond = 0);

// 1 = Sunday … 7 = Saturday.
int dayOfWeek(TDateTime value);

// The general float-to-text conversion: up to 15 significant digits, the locale's
// decimal separator, no grouping, an exponent only for very large or small values.
QString floatToText(double value, const RegionalSettings& regional);
// The locale's text-to-float conversion: blanks around, the locale's decimal separator,
// optional exponent. Returns false for anything else.
bool textToFloat(const QString& text, const RegionalSettings& regional, double* out);

QString shortDateText(TDateTime value, const RegionalSettings& regional);
QString longTimeText(TDateTime value, const RegionalSettings& regional);
// Short date, a blank and the long time.
QString dateTimeText(TDateTime value, const RegionalSettings& regional);

} // namespace datetime
