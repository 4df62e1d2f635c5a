#pragma once

#include "core/datetime.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <cmath>
#include <vector>

class ConnectoidGrouping;
struct typCallLogInformation;

// The call log read once into memory, compact enough for a table model over a
// long-time user's 100 000 calls: one 64-byte row per live record, in file order, with
// the names held once each.
//
// How the log window (and vorn-log) use this piece:
//  - Refresh, also after every edit, Reset or filter change:
//      table = CallLogTable::load(calllog::logFilePath(logs), ConnectoidGrouping(names));
//      selection = selectCalls(table, filter, clock.now());   // call_log_statistics.h
//    selection.rows are the listed rows in file order, selection.figures every figure.
//    The filter lists are connectoidFilterItems(names); the chosen item is
//    ConnectoidFilter::fromItem(items, index), its page caption filter.caption().
//  - Order: sortLogRows(table, selection.rows, sort) with a LogSortState; on a header
//    click sort.columnClicked(column), then sort again (call_log_sort.h).
//  - Cells: texts.cell(table, table.rows()[row], column) with a CallLogTexts built from
//    the settings and regional settings (call_log_texts.h); a row's Record_Number is what
//    the editing functions address. The three statistics lists are texts.statisticsRows(),
//    headingRows() and otherStatisticsRows() of selection.figures.
//  - Exports (call_log_export.h): exportDetail(), or writeExportFile() with
//    logexport::projectionsBytes() / usageBytes() of the rows shown; an ExportResult that
//    is not ok() carries the error box's text, except NoCallLog, which shows nothing.
//  - Reset: calllog::resetLog(path, &error); false means an error box with `error`.
//
// Values that cannot be real (NaN, infinities, 1e300 from a damaged or wrongly imported
// file) are tamed as the rows are made, so that every reader can sum, show and sort them
// without a second thought: such an amount counts as 0, and a date outside years 1 to
// 9999 has no date (NaN here, an empty text, no month). The row stays listed, so that
// the user can still remove it.

namespace calllog {

// Amounts beyond the range of the currency type (±922 337 203 685 477.5807) are damage.
constexpr double AmountLimit = 922337203685477.0;

inline double usableAmount(double value) {
    return std::fabs(value) <= AmountLimit ? value : 0.0; // false for NaN too
}

} // namespace calllog

struct CallLogRow {
    TDateTime Start;  // NaN when the record holds no date
    TDateTime Finish; // NaN when the record holds no date
    double Length;    // Finish - Start in days; 0 when either has no date
    double Cost_Inc;  // with discount; 0 for garbage
    double Cost_Exc;  // without discount; 0 for garbage
    qint32 Mode;      // as stored; unknown values stay as they are
    quint32 Data;     // bytes; 0 = not known
    quint32 Connect_Speed;
    quint32 Record_Number; // 1-based position in the file, removed records counted
    quint32 Connectoid;    // CallLogTable::text() of the stored connectoid name
    quint32 User_Name;     // CallLogTable::text() of the stored user name ("" when none)
};

class CallLogTable {
public:
    // A log without records, as when the file does not exist.
    CallLogTable() = default;

    // Reads the whole file once. Connectoid names are shown as the grouping says
    // ("Unknown/Other" for an entry no longer on the machine). A missing file gives an
    // empty table; a file that cannot be read throws InOutError.
    static CallLogTable load(const QString& fileName, const ConnectoidGrouping& grouping);

    bool exists() const { return exists_; }
    // The live records in file order.
    const std::vector<CallLogRow>& rows() const { return rows_; }
    const QString& text(quint32 index) const { return texts_[index]; }
    // The index of a name as text() holds it, or -1 when no row has it.
    qint64 textIndex(const QString& text) const { return textIndex_.value(text, -1); }
    // The text() index of the connectoid as the log shows it: "Unknown/Other" for an
    // entry that is empty or no longer on the machine, else the stored name.
    quint32 shownConnectoid(const CallLogRow& row) const { return shown_[row.Connectoid]; }
    const QString& shownConnectoidName(const CallLogRow& row) const {
        return texts_[shownConnectoid(row)];
    }

    // Whether a record read again at the row's number is still the live record the row was
    // made from; false once another program has changed or removed it.
    bool isRowOf(const CallLogRow& row, const typCallLogInformation& record) const;

    // Whole records in the file, removed ones included.
    qint64 recordCount() const { return recordCount_; }
    qint64 removedCount() const { return removedCount_; }

    // What the rows and names hold in memory, in bytes.
    qint64 memoryUsage() const;

private:
    quint32 intern(const QString& text);

    std::vector<CallLogRow> rows_;
    QStringList texts_;
    std::vector<quint32> shown_; // by text index of a stored connectoid name
    QHash<QString, qint64> textIndex_;
    qint64 recordCount_ = 0;
    qint64 removedCount_ = 0;
    bool exists_ = false;
};
