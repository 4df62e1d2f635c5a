#include "tools/web_notify_models.h"

#include "tools/web_notify_run.h"

#include <QColor>
#include <QIcon>
#include <QPainter>
#include <QPixmap>

#include <array>

namespace {

const QString Dash = QStringLiteral("-");

// A coloured dot per state; built once, when a list first shows one.
QIcon dot(const QColor& colour) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(colour.darker(150));
    painter.setBrush(colour);
    painter.drawEllipse(QRectF(3.5, 3.5, 9, 9));
    return QIcon(pixmap);
}

const QIcon& statusIcon(int status) {
    static const std::array<QIcon, 7> icons = {
        dot(QColor(0xB0, 0xB0, 0xB0)), dot(QColor(0xF0, 0xC0, 0x30)), dot(QColor(0x40, 0x90, 0xE0)),
        dot(QColor(0x70, 0xB0, 0xF0)), dot(QColor(0x90, 0x90, 0x90)), dot(QColor(0xD0, 0x30, 0x30)),
        dot(QColor(0x30, 0xB0, 0x40))};
    return icons[static_cast<size_t>(std::clamp(status, 0, 6))];
}

const QIcon& favouriteIcon(bool excluded) {
    static const QIcon included = dot(QColor(0x30, 0xB0, 0x40));
    static const QIcon left = dot(QColor(0xD0, 0x30, 0x30));
    return excluded ? left : included;
}

QVariant caption(int section, const QStringList& captions) {
    return captions.value(section);
}

} // namespace

void FavouritesModel::setFavourites(std::vector<Favourite> favourites) {
    beginResetModel();
    favourites_ = std::move(favourites);
    endResetModel();
}

void FavouritesModel::setExcluded(int row, bool excluded) {
    favourites_[static_cast<size_t>(row)].excluded = excluded;
    Q_EMIT dataChanged(index(row, Status), index(row, Status));
}

int FavouritesModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(favourites_.size());
}

int FavouritesModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant FavouritesModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const Favourite& f = favourites_[static_cast<size_t>(index.row())];
    if (role == Qt::DecorationRole && index.column() == Status)
        return favouriteIcon(f.excluded);
    if (role != Qt::DisplayRole && role != SortRole)
        return {};
    switch (index.column()) {
    case Status:
        return f.excluded ? QStringLiteral("1") : QStringLiteral("0");
    case Category:
        return f.category;
    case Title:
        return f.title;
    case URL:
        return f.url;
    case Filename:
        return f.filename;
    }
    return {};
}

QVariant FavouritesModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return caption(section, {Dash, QStringLiteral("Category"), QStringLiteral("Title"),
                             QStringLiteral("URL"), QStringLiteral("Filename")});
}

ResultsModel::ResultsModel(const WebNotifyRun& run, QObject* parent)
    : QAbstractTableModel(parent), run_(run), rows_(static_cast<int>(run.rows().size())) {
    connect(&run, &WebNotifyRun::rowsReset, this, [this] {
        beginResetModel();
        rows_ = static_cast<int>(run_.rows().size());
        endResetModel();
    });
    connect(&run, &WebNotifyRun::rowAdded, this, [this](int row) {
        beginInsertRows({}, row, row);
        rows_ = row + 1;
        endInsertRows();
    });
    connect(&run, &WebNotifyRun::rowChanged, this,
            [this](int row) { Q_EMIT dataChanged(index(row, 0), index(row, ColumnCount - 1)); });
}

int ResultsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int ResultsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ResultsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_)
        return {};
    const WebNotifyResult& r = run_.rows()[static_cast<size_t>(index.row())];
    if (role == Qt::DecorationRole)
        return index.column() == Status ? QVariant(statusIcon(r.status)) : QVariant();
    const bool sorting = role == SortRole;
    if (role != Qt::DisplayRole && !sorting)
        return {};
    switch (index.column()) {
    case Status:
        return sorting ? QVariant(r.caption) : QVariant(QString::number(r.caption));
    case Title:
        return r.title;
    case Size:
        if (sorting)
            return r.size;
        return r.size < 0 ? Dash : QString::number(r.size);
    case Retries:
        return sorting ? QVariant(r.retries) : QVariant(QString::number(r.retries));
    case LastUpdated:
        if (sorting)
            return r.lastUpdated.value_or(-1e9);
        return r.lastUpdated ? run_.dateTexts().dateTime(*r.lastUpdated) : Dash;
    case Frames:
        return r.frames;
    case ProgressStamp:
        return QString::number(r.progressStamp);
    case URL:
        return r.url;
    case Filename:
        return r.filename;
    case Parent:
        if (sorting)
            return r.parentRow;
        return r.parentRow < 0 ? Dash : QString::number(r.parentRow);
    case ParentURL:
        return r.parentUrl;
    }
    return {};
}

QVariant ResultsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return caption(section,
                   {Dash, QStringLiteral("Title"), QStringLiteral("Size"),
                    QStringLiteral("Retries"), QStringLiteral("Last Updated"),
                    QStringLiteral("Frames"), QStringLiteral("Progress"), QStringLiteral("URL"),
                    QStringLiteral("Filename"), QStringLiteral("*"), QStringLiteral("Parent URL")});
}

WebNotifySort::WebNotifySort(QAbstractItemModel* source, int tieColumn, bool digitsReversed,
                             QObject* parent)
    : QSortFilterProxyModel(parent), tieColumn_(tieColumn), digitsReversed_(digitsReversed) {
    setSourceModel(source);
    setSortRole(SortRole);
    setSortCaseSensitivity(Qt::CaseInsensitive);
}

void WebNotifySort::sortByClick(int column) {
    const bool again = column == sortColumn();
    sort(column,
         again && sortOrder() == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder);
}

bool WebNotifySort::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    if (left.column() != 0)
        return QSortFilterProxyModel::lessThan(left, right);
    const QVariant a = left.data(SortRole);
    const QVariant b = right.data(SortRole);
    if (a != b) {
        const bool less = QVariant::compare(a, b) == QPartialOrdering::Less;
        return digitsReversed_ ? !less : less;
    }
    // Ties in ascending order whichever way the digits go: the view reverses what this
    // answers when the order is descending.
    const QString x = left.sibling(left.row(), tieColumn_).data(SortRole).toString();
    const QString y = right.sibling(right.row(), tieColumn_).data(SortRole).toString();
    const int order = x.compare(y, Qt::CaseInsensitive);
    return sortOrder() == Qt::AscendingOrder ? order < 0 : order > 0;
}
