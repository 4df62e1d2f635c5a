#pragma once

#include "tools/favourites.h"

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>

#include <vector>

class WebNotifyRun;

// The favourites list: one row per shortcut, "0" included or "1" excluded.
class FavouritesModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Status, Category, Title, URL, Filename, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    const std::vector<Favourite>& favourites() const { return favourites_; }
    void setFavourites(std::vector<Favourite> favourites);
    void setExcluded(int row, bool excluded);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<Favourite> favourites_;
};

// The results list over a check's rows, following the check as it goes.
class ResultsModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        Status,
        Title,
        Size,
        Retries,
        LastUpdated,
        Frames,
        ProgressStamp,
        URL,
        Filename,
        Parent,
        ParentURL,
        ColumnCount
    };

    explicit ResultsModel(const WebNotifyRun& run, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const WebNotifyRun& run_;
    int rows_ = 0;
};

// The sort orders of the two lists, with the column texts as the lists' header captions.
// A digit column sorts its rows with the other direction's meaning kept for ties: ties are
// always in ascending order of the tie column.
class WebNotifySort final : public QSortFilterProxyModel {
    Q_OBJECT
public:
    WebNotifySort(QAbstractItemModel* source, int tieColumn, bool digitsReversed,
                  QObject* parent = nullptr);

    // Clicking a column sorts by it ascending; clicking it again turns the order round.
    void sortByClick(int column);

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    int tieColumn_;
    bool digitsReversed_;
};

// The value a list sorts a cell by (UserRole): numbers as numbers, "-" below them all.
constexpr int SortRole = Qt::UserRole;
