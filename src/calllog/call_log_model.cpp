#include "call_log_model.h"

CallLogModel::CallLogModel(QObject* parent) : QAbstractTableModel(parent) {}

CallLogModel::~CallLogModel() = default;

void CallLogModel::reset(CallLogTable table, std::vector<quint32> rows,
                         std::shared_ptr<CallLogTexts> texts) {
    beginResetModel();
    table_ = std::move(table);
    order_ = std::move(rows);
    texts_ = std::move(texts);
    endResetModel();
}

void CallLogModel::sortRows(const LogSortState& sort) {
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<quint32> tableRows;
    tableRows.reserve(static_cast<size_t>(before.size()));
    for (const QModelIndex& index : before)
        tableRows.push_back(order_[static_cast<size_t>(index.row())]);

    sortLogRows(table_, order_, sort);

    QModelIndexList after;
    after.reserve(before.size());
    if (!before.isEmpty()) {
        std::vector<int> position(table_.rows().size(), -1);
        for (size_t i = 0; i < order_.size(); ++i)
            position[order_[i]] = static_cast<int>(i);
        for (qsizetype i = 0; i < before.size(); ++i)
            after << index(position[tableRows[static_cast<size_t>(i)]], before[i].column());
    }
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int CallLogModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(order_.size());
}

int CallLogModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : LogColumnCount;
}

QVariant CallLogModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !texts_)
        return {};
    const auto column = static_cast<LogColumn>(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return texts_->cell(table_, rowAt(index.row()), column);
    case Qt::TextAlignmentRole:
        // Amounts and lengths line up on their last digit.
        switch (column) {
        case LogColumn::Length:
        case LogColumn::CostExc:
        case LogColumn::CostInc:
        case LogColumn::Data:
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        default:
            return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
        }
    default:
        return {};
    }
}

QVariant CallLogModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return logColumnCaption(static_cast<LogColumn>(section));
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags CallLogModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled : Qt::NoItemFlags;
}
