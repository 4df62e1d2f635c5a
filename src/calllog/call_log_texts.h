#pragma once

#include "call_log_statistics.h"
#include "call_log_table.h"
#include "core/date_texts.h"
#include "core/regional.h"

#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

struct typSettings;

// The columns of the log window's detail list. The first seven are shown; the others are
// the hidden columns that the other parts read back (a view hides them).
enum class LogColumn : int {
    Start,
    Finish,
    Length,
    CostExc,
    CostInc,
    Data,
    Mode,
    RecordNumber,
    CostExcNumber,
    CostIncNumber,
    DataNumber,
    FinishDate,
    ConnectSpeed,
    ConnectoidName,
    UserName,
    StartDate,
    FinishDateValue,
};
constexpr int LogColumnCount = 17;
constexpr int VisibleLogColumnCount = 7;
QString logColumnCaption(LogColumn column);

// A length in days as "dd:hh:mm:ss" with the time separator: the days with two digits at
// least, the rest the time of day. Rounded to the millisecond first, so a 30-minute call
// reads 00:00:30:00; a negative length is signed; NaN and infinities read as 0.
QString FormatDuration(double days, const RegionalSettings& regional);

// Every text the log window, its exports, prints and vorn-log show, formatted on demand
// from the rows and figures, so a view formats only the rows it paints. Build one per
// refresh from the settings and regional settings in force.
//
// Rows of the three statistics lists are lists of texts, caption first:
//   statisticsRows()      lstvStatistics: caption, time, cost, data
//   headingRows()         lstvHeadings: caption, time, cost (exc.), cost (inc.), data
//   otherStatisticsRows() lstvOtherStatistics: entry, value
// All three are empty when no call matched. Other Statistics belong to the filter "All":
// the window refreshes them only then and keeps the last ones while another filter shows.
class CallLogTexts {
public:
    // Decimal-places settings as in the settings record (0 = the system's currency places).
    CallLogTexts(const RegionalSettings& regional, int decimalPlacesLogDetail,
                 int decimalPlacesLogStatistics, const QLocale& names = QLocale::system());
    CallLogTexts(const RegionalSettings& regional, const typSettings& settings,
                 const QLocale& names = QLocale::system());

    const RegionalSettings& regional() const { return regional_; }
    const datetime::DateTexts& dates() const { return dates_; }

    QString duration(double days) const { return FormatDuration(days, regional_); }
    // The date-time text with " 00:00:00" added when it is exactly 8 characters long (a
    // midnight under a short date pattern of 8 characters).
    QString DateTimeToFullStr(TDateTime value) const;
    // Money with the currency symbol, by the detail or the statistics setting.
    QString detailMoney(double amount) const;
    QString statisticsMoney(double amount) const;
    // A data size with its unit, by the statistics setting.
    QString dataSize(quint64 bytes) const;

    // The text of one cell of the detail list.
    QString cell(const CallLogTable& table, const CallLogRow& row, LogColumn column) const;

    QList<QStringList> statisticsRows(const CallLogFigures& figures) const;
    QList<QStringList> headingRows(const CallLogFigures& figures) const;
    QList<QStringList> otherStatisticsRows(const CallLogFigures& figures) const;

private:
    RegionalSettings regional_;
    int detailPlaces_;
    int statisticsPlaces_;
    datetime::DateTexts dates_;
};

// Texts the statistics rows use, for callers that look rows up by caption.
namespace logtexts {
extern const QString SeparatorRow; // the row of asterisks between the totals
extern const QString NotApplicable;
extern const QString NotKnownData; // "n/a": Data 0 in the detail list
} // namespace logtexts
