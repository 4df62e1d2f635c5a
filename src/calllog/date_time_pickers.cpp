#include "calllog/date_time_pickers.h"

#include "core/date_texts.h"
#include "core/regional.h"

#include <QDateEdit>
#include <QTimeEdit>

namespace pickers {

namespace {
const QDate Epoch(1899, 12, 30);
constexpr qint64 MsPerDay = 86400000;
} // namespace

void set(QDateEdit* date, QTimeEdit* time, TDateTime value, const RegionalSettings& regional,
         TDateTime fallback) {
    date->setDisplayFormat(regional.shortDateFormat);
    date->setCalendarPopup(true);
    date->setMinimumDate(QDate(100, 1, 1));
    time->setDisplayFormat(regional.longTimeFormat);
    datetime::WallClock at;
    if (!datetime::split(value, &at))
        datetime::split(fallback, &at);
    date->setDate(QDate(at.year, at.month, at.day));
    time->setTime(QTime::fromMSecsSinceStartOfDay(at.millisecondOfDay));
}

TDateTime value(const QDateEdit* date, const QTimeEdit* time) {
    return datetime::fromDateAndTime(date->date(), time->time());
}

qint64 milliseconds(const QDateEdit* date, const QTimeEdit* time) {
    return Epoch.daysTo(date->date()) * MsPerDay + time->time().msecsSinceStartOfDay();
}

} // namespace pickers
