#pragma once

#include "core/datetime.h"

class QDateEdit;
class QTimeEdit;
struct RegionalSettings;

// A date picker and a time picker that hold one date-time between them: the whole day of
// the one and the time of day of the other, joined and split by plain arithmetic, so a
// wall-clock time in a daylight-saving gap stays what the user typed.
namespace pickers {

// Shows the value in the regional formats; a value without a date shows `fallback`.
void set(QDateEdit* date, QTimeEdit* time, TDateTime value, const RegionalSettings& regional,
         TDateTime fallback);
TDateTime value(const QDateEdit* date, const QTimeEdit* time);
// The same in whole milliseconds, for exact comparisons.
qint64 milliseconds(const QDateEdit* date, const QTimeEdit* time);

} // namespace pickers
