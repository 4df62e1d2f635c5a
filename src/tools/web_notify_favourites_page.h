#pragma once

#include "core/lists.h"
#include "core/settings.h"
#include "tools/web_notify_menu.h"

#include <QWidget>

#include <memory>

namespace Ui {
class WebNotifyFavouritesPage;
}
class FavouritesModel;
class WebNotifyRun;
class WebNotifySort;

// The "Web Notification" page: the favourites found in the URL folder, each included in
// the check ("0") or excluded ("1"), and Go. Exclude and Include change the manual
// excludes at once.
class WebNotifyFavouritesPage final : public QWidget {
    Q_OBJECT
public:
    WebNotifyFavouritesPage(const typSettings& settings, typLists& lists, WebNotifyRun& run,
                            const WebNotifyCommands& commands, QWidget* parent = nullptr);
    ~WebNotifyFavouritesPage() override;

    // Scans the folder again (Refresh; choosing the section; a changed auto-exclude).
    void refresh();
    void sortBy(int column, Qt::SortOrder order);

    void btnWebNotifyIncludeClick();
    void btnWebNotifyExcludeClick();
    void btnWebNotifyGoClick();

    // OK: the manual excludes as the list shows them (those of pages it does not show kept).
    void storeExcludes();

Q_SIGNALS:
    // Go has started a check: the results page takes over.
    void checkStarted();

private:
    // Selected rows of the model, in list order.
    QList<int> selectedRows() const;
    // Excludes (or includes) one row; false when the excludes are full.
    bool setExcluded(int row, bool excluded);
    void toggle(const QModelIndex& index);
    void warnExcludesFull();

    std::unique_ptr<Ui::WebNotifyFavouritesPage> ui;
    const typSettings& settings_;
    typLists& lists_;
    WebNotifyRun& run_;
    Prompts& prompts_;
    FavouritesModel* model_;
    WebNotifySort* sort_;
};
