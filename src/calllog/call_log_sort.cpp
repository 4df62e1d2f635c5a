#include "call_log_sort.h"

#include "call_log_record.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Byte-wise order of the mode words: Adjust, Auto, Discon, ERROR, Edit, Insert, Rcvrd.
double modeRank(qint32 mode) {
    switch (mode) {
    case ModeAdjust:
        return 0;
    case ModeAuto:
        return 1;
    case ModeDisconnected:
        return 2;
    case ModeEdit:
        return 4;
    case ModeInsert:
        return 5;
    case ModeRecovered:
        return 6;
    default:
        return 3; // "ERROR"
    }
}

double dateKey(TDateTime value) {
    return std::isnan(value) ? -std::numeric_limits<double>::infinity() : value;
}

} // namespace

void LogSortState::columnClicked(LogColumn clicked) {
    if (clicked == column) {
        order = order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    } else {
        column = clicked;
        order = Qt::AscendingOrder;
    }
}

bool isSortColumn(LogColumn column) {
    return static_cast<int>(column) < VisibleLogColumnCount;
}

double logSortKey(const CallLogRow& row, LogColumn column) {
    switch (column) {
    case LogColumn::Start:
        return dateKey(row.Start);
    case LogColumn::Finish:
        return dateKey(row.Finish);
    case LogColumn::Length:
        // As shown: two 30-minute calls are equally long whatever their day counts' last bits.
        return std::round(row.Length * datetime::MillisecondsPerDay);
    case LogColumn::CostExc:
        return row.Cost_Exc;
    case LogColumn::CostInc:
        return row.Cost_Inc;
    case LogColumn::Data:
        return row.Data;
    case LogColumn::Mode:
        return modeRank(row.Mode);
    default:
        return 0;
    }
}

void sortLogRows(const CallLogTable& table, std::vector<quint32>& rows, const LogSortState& sort) {
    if (!isSortColumn(sort.column))
        return;
    const std::vector<CallLogRow>& all = table.rows();
    struct Keyed {
        double key;
        quint32 row; // row indexes grow with record numbers
    };
    std::vector<Keyed> keyed;
    keyed.reserve(rows.size());
    for (const quint32 r : rows)
        keyed.push_back({logSortKey(all[r], sort.column), r});
    if (sort.order == Qt::AscendingOrder)
        std::sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
            return a.key < b.key || (a.key == b.key && a.row < b.row);
        });
    else
        std::sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
            return a.key > b.key || (a.key == b.key && a.row > b.row);
        });
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = keyed[i].row;
}
