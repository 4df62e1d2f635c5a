#include "tools/web_notify_favourites_page.h"

#include "ui_web_notify_favourites_page.h"

#include "core/prompts.h"
#include "tools/web_notify_models.h"
#include "tools/web_notify_run.h"
#include "widgets/window_frame.h"

#include <QHeaderView>

WebNotifyFavouritesPage::WebNotifyFavouritesPage(const typSettings& settings, typLists& lists,
                                                 WebNotifyRun& run,
                                                 const WebNotifyCommands& commands, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::WebNotifyFavouritesPage>()), settings_(settings),
      lists_(lists), run_(run), prompts_(commands.prompts), model_(new FavouritesModel(this)),
      sort_(new WebNotifySort(model_, FavouritesModel::Category, true, this)) {
    ui->setupUi(this);
    QTreeView* list = ui->lstvWebNotify;
    list->setModel(sort_);
    list->setColumnHidden(FavouritesModel::Filename, true);
    list->header()->setSectionsClickable(true);
    list->header()->setSortIndicatorShown(true);
    connect(list->header(), &QHeaderView::sectionClicked, this, [this](int column) {
        sort_->sortByClick(column);
        ui->lstvWebNotify->header()->setSortIndicator(sort_->sortColumn(), sort_->sortOrder());
    });
    connect(list, &QTreeView::doubleClicked, this, &WebNotifyFavouritesPage::toggle);
    addWebNotifyMenu(list, commands, [this]() -> std::optional<QString> {
        const QList<int> rows = selectedRows();
        if (rows.isEmpty())
            return std::nullopt;
        return model_->favourites()[static_cast<size_t>(rows.first())].url;
    });

    connect(ui->btnWebNotifyRefresh, &QPushButton::clicked, this,
            &WebNotifyFavouritesPage::refresh);
    connect(ui->btnWebNotifyInclude, &QPushButton::clicked, this,
            &WebNotifyFavouritesPage::btnWebNotifyIncludeClick);
    connect(ui->btnWebNotifyExclude, &QPushButton::clicked, this,
            &WebNotifyFavouritesPage::btnWebNotifyExcludeClick);
    connect(ui->btnWebNotifyGo, &QPushButton::clicked, this,
            &WebNotifyFavouritesPage::btnWebNotifyGoClick);
    connect(&run_, &WebNotifyRun::buttonsChanged, this,
            [this] { ui->btnWebNotifyGo->setEnabled(run_.goEnabled()); });
}

WebNotifyFavouritesPage::~WebNotifyFavouritesPage() = default;

void WebNotifyFavouritesPage::refresh() {
    Hourglass wait;
    std::vector<Favourite> favourites = scanFavourites(settings_.URL_Folder_Location);
    Exclusions(lists_.Excludes, lists_.AutoExcludes).mark(favourites);
    model_->setFavourites(std::move(favourites));
    for (int c = 0; c < FavouritesModel::Filename; ++c)
        ui->lstvWebNotify->resizeColumnToContents(c);
}

void WebNotifyFavouritesPage::sortBy(int column, Qt::SortOrder order) {
    sort_->sort(column, order);
    ui->lstvWebNotify->header()->setSortIndicator(column, order);
}

QList<int> WebNotifyFavouritesPage::selectedRows() const {
    QList<int> rows;
    const QModelIndexList selected = ui->lstvWebNotify->selectionModel()->selectedRows();
    QList<int> shown;
    for (const QModelIndex& index : selected)
        shown.append(index.row());
    std::sort(shown.begin(), shown.end());
    for (const int row : shown)
        rows.append(sort_->mapToSource(sort_->index(row, 0)).row());
    return rows;
}

bool WebNotifyFavouritesPage::setExcluded(int row, bool excluded) {
    const Favourite& f = model_->favourites()[static_cast<size_t>(row)];
    if (excluded && !f.autoExcluded && !f.url.isEmpty() && !addExclude(lists_.Excludes, f.url))
        return false;
    if (!excluded)
        removeExclude(lists_.Excludes, f.url);
    model_->setExcluded(row, excluded);
    return true;
}

void WebNotifyFavouritesPage::btnWebNotifyIncludeClick() {
    const QList<int> rows = selectedRows();
    if (rows.isEmpty()) {
        prompts_.warning(QStringLiteral("You must select a Web Notification Entry from the list "
                                        "above before you can include a site."));
        return;
    }
    for (const int row : rows)
        setExcluded(row, false);
}

void WebNotifyFavouritesPage::btnWebNotifyExcludeClick() {
    const QList<int> rows = selectedRows();
    if (rows.isEmpty()) {
        prompts_.warning(QStringLiteral("You must select a Web Notification Entry from the list "
                                        "above before you can exclude a site."));
        return;
    }
    for (const int row : rows) {
        if (!setExcluded(row, true)) {
            warnExcludesFull();
            return;
        }
    }
}

void WebNotifyFavouritesPage::warnExcludesFull() {
    prompts_.warning(QStringLiteral("The Web Notification section has a maximum capacity of ") +
                     QString::number(ExcludeTable::Capacity) +
                     QStringLiteral(" exclude entries.\n\r\n\rTo add another exclude entry you "
                                    "will need to remove an existing entry first."));
}

void WebNotifyFavouritesPage::toggle(const QModelIndex& index) {
    if (!index.isValid())
        return;
    const int row = sort_->mapToSource(index).row();
    const bool excluded = model_->favourites()[static_cast<size_t>(row)].excluded;
    if (!setExcluded(row, !excluded))
        warnExcludesFull();
}

void WebNotifyFavouritesPage::btnWebNotifyGoClick() {
    if (!run_.goEnabled())
        return;
    QList<WebNotifyPage> pages;
    for (int shown = 0; shown < sort_->rowCount(); ++shown) {
        const Favourite& f = model_->favourites()[static_cast<size_t>(
            sort_->mapToSource(sort_->index(shown, 0)).row())];
        if (!f.excluded)
            pages.append({f.title, f.url, f.filename});
    }
    Q_EMIT checkStarted();
    run_.go(pages, settings_);
}

void WebNotifyFavouritesPage::storeExcludes() {
    rebuildExcludes(lists_.Excludes, model_->favourites());
}
