#pragma once

#include "call_log_table.h"

#include <QList>
#include <QString>

#include <array>
#include <vector>

struct ConnectoidNameTable;

// Which calls the log window, its exports and vorn-log look at. The filter lists offer
// "All" (every call) followed by the machine's dial-up entries and "Unknown/Other"; a
// dial-up entry that is itself named "All" is a name like any other.
struct ConnectoidFilter {
    bool everyCall = true;
    QString name; // when !everyCall: a name as the filter list shows it

    static ConnectoidFilter all() { return {}; }
    static ConnectoidFilter named(const QString& name) { return {false, name}; }
    // Item `index` of connectoidFilterItems(): 0 (or an index off the list) is every call.
    static ConnectoidFilter fromItem(const QStringList& items, qsizetype index);

    // "All" or the name, cut to the width of a stored name: what the page captions show.
    QString caption() const;
};

// The filter lists' first item.
extern const QString AllConnectoidsItem;

// "All", then every dial-up entry of the table with "Unknown/Other", in the table's order.
QStringList connectoidFilterItems(const ConnectoidNameTable& connectoidNames);

// The sums of one month of calls, by the month in which each call started.
struct MonthFigures {
    int year = 0;
    int month = 0;     // 1..12
    double length = 0; // days
    double costExc = 0;
    double costInc = 0;
    quint64 data = 0;
};

// Every figure of the log window for one filter, from one pass over the rows.
struct CallLogFigures {
    static constexpr std::array<int, 4> ProjectionDays = {7, 30, 90, 365};
    static constexpr int ModeCount = 6; // Auto … Discon; other modes count in none

    qint64 calls = 0;
    std::array<qint64, ModeCount> modeCounts{};
    double totalLength = 0; // days
    double totalCostExc = 0;
    double totalCostInc = 0;
    quint64 totalData = 0;
    // NaN when no listed call has a start (or finish) with a date.
    TDateTime earliestStart = 0;
    TDateTime lastFinish = 0;
    // The later of the last finish and now: projections run up to today.
    TDateTime latestFinish = 0;
    QList<MonthFigures> months; // in the order the months first occur in the file
    // Of the whole file, whatever the filter.
    qint64 recordCount = 0;
    qint64 removedCount = 0;

    bool empty() const { return calls == 0; }
    double discount() const { return totalCostExc - totalCostInc; }

    // Days the projections divide by: whole days from the earliest start to the latest
    // finish, plus one; never below 1.
    double days() const;
    // "Number Of Full Days": calendar days touched from the earliest start to the latest
    // finish; never below 1.
    double fullDays() const;

    struct Projection {
        double length = 0; // days
        double costExc = 0;
        double costInc = 0;
        quint64 data = 0;
    };
    Projection projection(int days) const;
    // Calls per `days`, projected over the whole days between the earliest start and the
    // latest finish (at least 1).
    qint64 projectedCalls(int days) const;

    double averageLength() const { return calls ? totalLength / calls : 0; }
    double averageCostExc() const { return calls ? totalCostExc / calls : 0; }
    double averageCostInc() const { return calls ? totalCostInc / calls : 0; }
    quint64 averageData() const { return calls ? totalData / static_cast<quint64>(calls) : 0; }
    // Records in the file (1 for an empty file) and the share of them removed, in whole %.
    qint64 totalRecords() const { return qMax<qint64>(recordCount, 1); }
    qint64 wastedSpacePercent() const;
};

// The rows a filter lists and their figures.
struct CallLogSelection {
    std::vector<quint32> rows; // indexes into CallLogTable::rows(), in file order
    CallLogFigures figures;
};

// One pass over the table. `now` is the clock's day count: the projections run up to it.
// Names outside the code page find their own calls: the filter name is compared in the
// form the log stores it.
CallLogSelection selectCalls(const CallLogTable& table, const ConnectoidFilter& filter,
                             TDateTime now);
