#include "tools/web_notify_results_page.h"

#include "ui_web_notify_results_page.h"

#include "tools/web_notify_models.h"
#include "tools/web_notify_run.h"

#include <QHeaderView>

WebNotifyResultsPage::WebNotifyResultsPage(const typSettings& settings, WebNotifyRun& run,
                                           const WebNotifyCommands& commands, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::WebNotifyResultsPage>()), settings_(settings),
      run_(run), commands_(commands), model_(new ResultsModel(run, this)),
      sort_(new WebNotifySort(model_, ResultsModel::Title, false, this)) {
    ui->setupUi(this);
    QTreeView* list = ui->lstvWebNotifyResults;
    list->setModel(sort_);
    for (const int hidden : {ResultsModel::ProgressStamp, ResultsModel::URL, ResultsModel::Filename,
                             ResultsModel::ParentURL})
        list->setColumnHidden(hidden, true);
    list->header()->setSectionsClickable(true);
    list->header()->setSortIndicatorShown(true);
    connect(list->header(), &QHeaderView::sectionClicked, this, [this](int column) {
        if (run_.running()) { // the rows stay in the order they are checked meanwhile
            ui->lstvWebNotifyResults->header()->setSortIndicator(-1, Qt::AscendingOrder);
            return;
        }
        sort_->sortByClick(column);
        ui->lstvWebNotifyResults->header()->setSortIndicator(sort_->sortColumn(),
                                                             sort_->sortOrder());
    });
    addWebNotifyMenu(list, commands, [this]() -> std::optional<QString> {
        const QModelIndex current = ui->lstvWebNotifyResults->currentIndex();
        if (!current.isValid() || !ui->lstvWebNotifyResults->selectionModel()->isSelected(current))
            return std::nullopt;
        return sort_->mapToSource(current)
            .siblingAtColumn(ResultsModel::ParentURL)
            .data()
            .toString();
    });

    connect(ui->btnWebNotifyShowResults, &QPushButton::clicked, this,
            &WebNotifyResultsPage::btnWebNotifyShowResultsClick);
    connect(ui->btnWebNotifyContinue, &QPushButton::clicked, this,
            &WebNotifyResultsPage::btnWebNotifyContinueClick);
    connect(ui->btnWebNotifyStop, &QPushButton::clicked, this,
            &WebNotifyResultsPage::btnWebNotifyStopClick);
    connect(&run_, &WebNotifyRun::buttonsChanged, this, &WebNotifyResultsPage::updateButtons);
    // The counts outgrow a group box's title at the window's smallest size: a label wraps.
    connect(&run_, &WebNotifyRun::captionChanged, ui->lblWebNotifyResults, &QLabel::setText);
    connect(&run_, &WebNotifyRun::rowsReset, this, &WebNotifyResultsPage::checkStarted);
    connect(&run_, &WebNotifyRun::finished, this, &WebNotifyResultsPage::checkFinished);
    updateButtons();
}

WebNotifyResultsPage::~WebNotifyResultsPage() = default;

void WebNotifyResultsPage::sortByStatus() {
    sort_->sort(ResultsModel::Status, Qt::DescendingOrder);
    ui->lstvWebNotifyResults->header()->setSortIndicator(ResultsModel::Status, Qt::DescendingOrder);
}

void WebNotifyResultsPage::updateButtons() {
    ui->btnWebNotifyShowResults->setEnabled(run_.showResultsEnabled());
    ui->btnWebNotifyContinue->setEnabled(run_.continueEnabled());
    ui->btnWebNotifyStop->setEnabled(run_.stopEnabled());
    if (run_.running()) {
        // In the order they are checked while the check runs.
        sort_->sort(-1);
        ui->lstvWebNotifyResults->header()->setSortIndicator(-1, Qt::AscendingOrder);
    }
}

void WebNotifyResultsPage::checkStarted() {
    for (int c = 0; c <= ResultsModel::Frames; ++c)
        ui->lstvWebNotifyResults->resizeColumnToContents(c);
}

void WebNotifyResultsPage::checkFinished() {
    sortByStatus();
    for (int c = 0; c <= ResultsModel::Parent; ++c)
        if (!ui->lstvWebNotifyResults->isColumnHidden(c))
            ui->lstvWebNotifyResults->resizeColumnToContents(c);
}

void WebNotifyResultsPage::btnWebNotifyShowResultsClick() {
    openLastResults(commands_);
}

void WebNotifyResultsPage::btnWebNotifyContinueClick() {
    run_.continueRun(settings_);
}

void WebNotifyResultsPage::btnWebNotifyStopClick() {
    run_.stop();
}
