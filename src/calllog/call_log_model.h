#pragma once

#include "call_log_sort.h"
#include "call_log_table.h"
#include "call_log_texts.h"

#include <QAbstractTableModel>

#include <memory>
#include <optional>
#include <vector>

// The detail list's rows: the log read at the last refresh, the rows its filter lists in the
// list's order, and every column of them, hidden ones included. Texts are made only for the
// cells a view asks for, so a long log costs no more to show than its first page.
class CallLogModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CallLogModel(QObject* parent = nullptr);
    ~CallLogModel() override;

    // A refresh: the rows (indexes into the table) in the order to list them.
    void reset(CallLogTable table, std::vector<quint32> rows, std::shared_ptr<CallLogTexts> texts);
    // Puts the rows in the sort's order; selections follow their rows.
    void sortRows(const LogSortState& sort);

    const CallLogTable& table() const { return table_; }
    const CallLogTexts& texts() const { return *texts_; }
    // The listed rows, as indexes into table().rows(), in the list's order.
    const std::vector<quint32>& order() const { return order_; }
    const CallLogRow& rowAt(int row) const {
        return table_.rows()[order_[static_cast<size_t>(row)]];
    }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    CallLogTable table_;
    std::vector<quint32> order_;
    std::shared_ptr<CallLogTexts> texts_;
};
