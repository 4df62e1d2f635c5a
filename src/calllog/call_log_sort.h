#pragma once

#include "call_log_table.h"
#include "call_log_texts.h"

#include <Qt>

#include <vector>

// The detail list's sort: a click on the sort column flips the order, a click on another
// column sorts by it ascending. The window opens on "Start", newest first.
struct LogSortState {
    LogColumn column = LogColumn::Start;
    Qt::SortOrder order = Qt::DescendingOrder;

    void columnClicked(LogColumn clicked);
};

// Whether rows compare by this column at all; on any other column all rows are equal and
// a sort leaves the order as it was.
bool isSortColumn(LogColumn column);

// The value a row sorts by in a sort column: the start and finish day counts, the length
// in whole milliseconds (the number, not its text, so 100 days and more and negative
// lengths sort right),
// the costs, the data, and the mode by its shown word. A row without a date sorts before
// every dated one. Every key is a plain number, so the order is a strict weak one.
double logSortKey(const CallLogRow& row, LogColumn column);

// Sorts `rows` (indexes into table.rows()) in place. Rows equal in the column keep their
// record numbers' order (reversed when descending), so flipping the order reverses the list.
void sortLogRows(const CallLogTable& table, std::vector<quint32>& rows, const LogSortState& sort);
