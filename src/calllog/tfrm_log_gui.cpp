#include "calllog/tfrm_log_gui.h"

#include "ui_tfrm_log_gui.h"

#include "calllog/call_log_file.h"
#include "calllog/call_log_model.h"
#include "calllog/call_log_table.h"
#include "calllog/call_log_texts.h"
#include "calllog/connectoid_list.h"
#include "core/clock.h"
#include "core/program_paths.h"
#include "core/prompts.h"
#include "core/settings_store.h"
#include "platform/dial_up_service.h"
#include "platform/help.h"
#include "widgets/window_frame.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QTreeWidget>

namespace {
const QSize LogWindowSize(600, 450);
const QString WidthSetting = QStringLiteral("Log_Window_Width");
const QString HeightSetting = QStringLiteral("Log_Window_Height");
const QString HelpPage = QStringLiteral("log");
const QString CallCaption = QStringLiteral("Call - ");
const QString CallStatisticsCaption = QStringLiteral("Call Statistics - ");
const QString DetailGroupCaption =
    QStringLiteral("Detail (right click for further details and log administration funtions)");
const QString ResetQuestion = QStringLiteral("Are you sure you want to reset the call log?");
const QString TimeCaption = QStringLiteral("Time (dd:hh:mm:ss)");

// Columns as wide as their captions and texts, the separator row of asterisks left out.
void sizeColumns(QTreeView* list, const QList<QStringList>& rows) {
    const QFontMetrics metrics(list->font());
    const QFontMetrics headerMetrics(list->header()->font());
    const QAbstractItemModel* model = list->model();
    for (int c = 0; c < list->header()->count(); ++c) {
        if (list->isColumnHidden(c))
            continue;
        // Room for the sort arrow beside the caption.
        int width = headerMetrics.horizontalAdvance(
                        model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString()) +
                    metrics.height();
        for (const QStringList& row : rows) {
            if (!row.value(0).startsWith(u'*'))
                width = qMax(width, metrics.horizontalAdvance(row.value(c)));
        }
        list->setColumnWidth(c, width + 2 * metrics.averageCharWidth());
    }
}

void fillList(QTreeWidget* list, const QList<QStringList>& rows) {
    list->setUpdatesEnabled(false);
    list->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(rows.size());
    for (const QStringList& row : rows)
        items << new QTreeWidgetItem(row);
    list->addTopLevelItems(items);
    sizeColumns(list, rows);
    list->setUpdatesEnabled(true);
}

void prepareList(QTreeWidget* list, const QStringList& captions) {
    list->setColumnCount(static_cast<int>(captions.size()));
    list->setHeaderLabels(captions);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setAllColumnsShowFocus(true);
    list->setTextElideMode(Qt::ElideNone);
    list->header()->setSectionsMovable(false);
    sizeColumns(list, {});
}

} // namespace

TfrmLogGUI::TfrmLogGUI(const WindowServices& services)
    : QDialog(nullptr), s_(services), ui(std::make_unique<Ui::TfrmLogGUI>()) {
    ui->setupUi(this);
    FormCreate();
}

TfrmLogGUI::~TfrmLogGUI() = default;

void TfrmLogGUI::FormCreate() {
    prepareProgramWindow(this);
    EnumConnectoids(s_.dialUp, s_.connectoidNames);
    setMinimumSize(LogWindowSize);
    const QSize stored(s_.store.readInteger(QString(), WidthSetting, LogWindowSize.width()),
                       s_.store.readInteger(QString(), HeightSetting, LogWindowSize.height()));
    resize(initialWindowSize(stored, LogWindowSize, LogWindowSize, availableScreenSize()));
    installStatusLink(ui->statusBar, s_.shell, s_.prompts);
    installHelpKey(this, s_.help, HelpPage);

    const struct {
        QWidget* page;
        const char* topic;
    } pages[] = {{ui->tabCall, "calls"},
                 {ui->tabCallStatistics, "statistics"},
                 {ui->tabStatistics, "other-statistics"}};
    for (const auto& p : pages)
        p.page->setProperty("helpTopic", HelpPage + u'#' + QLatin1String(p.topic));
    ui->pageLog->setTabText(ui->pageLog->indexOf(ui->tabStatistics),
                            QStringLiteral("Other Statistics"));
    sections_ = new SectionPages(ui->listvSections, ui->pageLog);
    sections_->addSection(QStringLiteral("Call"),
                          {ui->tabCall, ui->tabCallStatistics, ui->tabStatistics});
    Q_INIT_RESOURCE(calllog);
    showSectionIcons(ui->listvSections, {QIcon(QStringLiteral(":/calllog/icons/call.svg"))});

    buildDetailList();
    prepareList(ui->lstvStatistics, {QStringLiteral("Usage"), TimeCaption, QStringLiteral("Cost"),
                                     QStringLiteral("Data")});
    prepareList(ui->lstvHeadings,
                {QStringLiteral("Heading"), TimeCaption, QStringLiteral("Cost (exc.)"),
                 QStringLiteral("Cost (inc.)"), QStringLiteral("Data")});
    prepareList(ui->lstvOtherStatistics, {QStringLiteral("Entry"), QStringLiteral("Value")});
    buildPopup();

    connect(ui->btnLogMainRefresh, &QPushButton::clicked, this, &TfrmLogGUI::btnLogRefreshClick);
    connect(ui->btnLogRefresh, &QPushButton::clicked, this, &TfrmLogGUI::btnLogRefreshClick);
    connect(ui->btnOtherStatisticsRefresh, &QPushButton::clicked, this,
            &TfrmLogGUI::btnOtherStatisticsRefreshClick);
    connect(ui->btnLogReset, &QPushButton::clicked, this, &TfrmLogGUI::btnLogResetClick);
    connect(ui->cmdOK, &QPushButton::clicked, this, &TfrmLogGUI::cmdOKClick);
    connect(ui->cmdHelp, &QPushButton::clicked, this, &TfrmLogGUI::cmdHelpClick);
    for (QComboBox* filter : {ui->cboConnectoid, ui->cboConnectoidMain}) {
        connect(filter, &QComboBox::activated, this, &TfrmLogGUI::cboConnectoidClick);
        connect(filter, &QComboBox::currentIndexChanged, this,
                &TfrmLogGUI::cboConnectoidMainChange);
    }
}

void TfrmLogGUI::buildDetailList() {
    model_ = new CallLogModel(this);
    QTreeView* list = ui->lstvLog;
    list->setModel(model_);
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    // One row height for all: the view never measures the rows it does not paint.
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int c = VisibleLogColumnCount; c < LogColumnCount; ++c)
        list->setColumnHidden(c, true);
    QHeaderView* header = list->header();
    header->setSectionsMovable(false);
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setStretchLastSection(false);
    connect(header, &QHeaderView::sectionClicked, this, &TfrmLogGUI::lstvLogColumnClick);
    connect(list, &QTreeView::doubleClicked, this, &TfrmLogGUI::mnuDetailClick);
    list->installEventFilter(this);
}

void TfrmLogGUI::buildPopup() {
    popupDetail = new QMenu(this);
    popupDetail->setObjectName(QStringLiteral("popupDetail"));
    const auto item = [this](QMenu* menu, const char* name, const QString& caption,
                             void (TfrmLogGUI::*handler)()) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    popupDetail->setDefaultAction(
        item(popupDetail, "mnuDetail", QStringLiteral("&Detail"), &TfrmLogGUI::mnuDetailClick));
    item(popupDetail, "mnuInsert", QStringLiteral("&Insert"), &TfrmLogGUI::mnuInsertClick);
    item(popupDetail, "mnuProperties", QStringLiteral("Proper&ties"),
         &TfrmLogGUI::mnuPropertiesClick);
    item(popupDetail, "mnuRemove", QStringLiteral("&Remove"), &TfrmLogGUI::mnuRemoveClick);
    item(popupDetail, "mnuAdjuster", QStringLiteral("&Adjuster"), &TfrmLogGUI::mnuAdjusterClick);
    item(popupDetail, "mnuCalculate", QStringLiteral("&Calculate"), &TfrmLogGUI::mnuCalculateClick);
    QMenu* print = popupDetail->addMenu(QStringLiteral("&Print"));
    print->menuAction()->setObjectName(QStringLiteral("mnuPrint"));
    item(print, "mnuPrintUsage", QStringLiteral("&Usage"), &TfrmLogGUI::mnuPrintUsageClick);
    item(print, "mnuPrintStatistics", QStringLiteral("&Statistics"),
         &TfrmLogGUI::mnuPrintStatisticsClick);
    item(print, "mnuPrintDetail", QStringLiteral("&Detail"), &TfrmLogGUI::mnuPrintDetailClick);
    QMenu* exports = popupDetail->addMenu(QStringLiteral("&Export"));
    exports->menuAction()->setObjectName(QStringLiteral("mnuExport"));
    item(exports, "mnuExportUsage", QStringLiteral("&Usage"), &TfrmLogGUI::mnuExportUsageClick);
    item(exports, "mnuExportProjections", QStringLiteral("&Projections"),
         &TfrmLogGUI::mnuExportStatisticsClick);
    item(exports, "mnuExportDetail", QStringLiteral("&Detail"), &TfrmLogGUI::mnuExportDetailClick);
    item(popupDetail, "mnuImport", QStringLiteral("&Import"), &TfrmLogGUI::mnuImportClick);

    ui->lstvLog->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->lstvLog, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        popupDetail->popup(ui->lstvLog->viewport()->mapToGlobal(at));
    });
}

void TfrmLogGUI::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TfrmLogGUI::FormShow() {
    fillFilters();
    sections_->selectSection(0);
    listvSectionsSelectItem();
    if (s_.callInProgress() && s_.settings.Show_Digital_Display != 2)
        s_.showDigitalDisplay();
    // The keyboard starts in the calls: arrows, Insert, Delete and the menu key work at once.
    ui->lstvLog->setFocus();
    raise();
    activateWindow();
}

void TfrmLogGUI::fillFilters() {
    filterItems_ = connectoidFilterItems(s_.connectoidNames);
    for (QComboBox* filter : {ui->cboConnectoid, ui->cboConnectoidMain}) {
        const QSignalBlocker quiet(filter);
        filter->clear();
        filter->addItems(filterItems_);
        filter->setCurrentIndex(0);
    }
}

ConnectoidFilter TfrmLogGUI::currentFilter() const {
    return ConnectoidFilter::fromItem(filterItems_, ui->cboConnectoid->currentIndex());
}

void TfrmLogGUI::listvSectionsSelectItem() {
    ui->pageLog->setCurrentWidget(ui->tabCall);
    sort_ = LogSortState{};
    ui->groupLog->setTitle(DetailGroupCaption);
    refresh();
}

void TfrmLogGUI::setPageCaptions(const QString& filter) {
    ui->pageLog->setTabText(ui->pageLog->indexOf(ui->tabCall), CallCaption + filter);
    ui->pageLog->setTabText(ui->pageLog->indexOf(ui->tabCallStatistics),
                            CallStatisticsCaption + filter);
}

void TfrmLogGUI::btnLogRefreshClick() {
    refresh();
}

void TfrmLogGUI::btnOtherStatisticsRefreshClick() {
    refresh();
}

void TfrmLogGUI::cboConnectoidClick(int index) {
    for (QComboBox* filter : {ui->cboConnectoid, ui->cboConnectoidMain})
        filter->setCurrentIndex(index);
    refresh();
}

void TfrmLogGUI::cboConnectoidMainChange() {
    setPageCaptions(currentFilter().caption());
}

void TfrmLogGUI::refresh() {
    const ConnectoidFilter filter = currentFilter();
    setPageCaptions(filter.caption());
    Hourglass wait;
    LoadCallLog(filter);
}

void TfrmLogGUI::LoadCallLog(const ConnectoidFilter& filter) {
    CallLogTable table = CallLogTable::load(logPath(), ConnectoidGrouping(s_.connectoidNames));
    CallLogSelection selection = selectCalls(table, filter, s_.clock.now());
    sortLogRows(table, selection.rows, sort_);
    auto texts = std::make_shared<CallLogTexts>(s_.regional, s_.settings);
    model_->reset(std::move(table), std::move(selection.rows), texts);
    sizeDetailColumns();
    showSort();

    const CallLogFigures& figures = selection.figures;
    statisticsRows_ = texts->statisticsRows(figures);
    headingRows_ = texts->headingRows(figures);
    fillList(ui->lstvStatistics, statisticsRows_);
    fillList(ui->lstvHeadings, headingRows_);
    // The other statistics are the whole log's: another filter keeps the last ones.
    if (filter.everyCall)
        fillList(ui->lstvOtherStatistics, texts->otherStatisticsRows(figures));
}

void TfrmLogGUI::sizeDetailColumns() {
    // Sized once, from the captions and the first page of rows; the user's widths stay.
    if (columnsSized_ || model_->rowCount() == 0)
        return;
    columnsSized_ = true;
    QList<QStringList> page;
    for (int r = 0; r < qMin(model_->rowCount(), 50); ++r) {
        QStringList cells;
        for (int c = 0; c < VisibleLogColumnCount; ++c)
            cells << model_->index(r, c).data().toString();
        page << cells;
    }
    sizeColumns(ui->lstvLog, page);
}

void TfrmLogGUI::lstvLogColumnClick(int column) {
    sort_.columnClicked(static_cast<LogColumn>(column));
    Hourglass wait;
    model_->sortRows(sort_);
    showSort();
}

void TfrmLogGUI::showSort() {
    ui->lstvLog->header()->setSortIndicator(static_cast<int>(sort_.column), sort_.order);
}

void TfrmLogGUI::btnLogResetClick() {
    if (!s_.prompts.askYesNo(ResetQuestion))
        return;
    QString error;
    if (!calllog::resetLog(logPath(), &error)) {
        s_.prompts.error(error);
        return;
    }
    refresh();
}

void TfrmLogGUI::cmdOKClick() {
    accept();
}

void TfrmLogGUI::cmdHelpClick() {
    const QWidget* page = ui->pageLog->currentWidget();
    const QString topic = page ? page->property("helpTopic").toString() : QString();
    s_.help.open(topic.isEmpty() ? HelpPage : topic);
}

void TfrmLogGUI::done(int result) {
    s_.store.writeInteger(QString(), HeightSetting, height());
    s_.store.writeInteger(QString(), WidthSetting, width());
    s_.store.sync();
    QDialog::done(result);
}

bool TfrmLogGUI::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->lstvLog && event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!key->isAutoRepeat() && key->modifiers() == Qt::NoModifier) {
            switch (key->key()) {
            case Qt::Key_Delete:
            case Qt::Key_Backspace:
                mnuRemoveClick();
                return true;
            case Qt::Key_Insert:
                mnuInsertClick();
                return true;
            default:
                break;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

QString TfrmLogGUI::logsFolder() const {
    return logsFolderOf(s_.programFolder);
}

QString TfrmLogGUI::logPath() const {
    return calllog::logFilePath(logsFolder());
}

std::vector<CallLogRow> TfrmLogGUI::selectedRows(const QString& warningWhenNone) {
    QList<int> rows;
    for (const QModelIndex& index : ui->lstvLog->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    std::vector<CallLogRow> out;
    out.reserve(static_cast<size_t>(rows.size()));
    for (const int r : rows)
        out.push_back(model_->rowAt(r));
    if (out.empty())
        s_.prompts.warning(warningWhenNone);
    return out;
}
