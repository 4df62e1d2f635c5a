// The log window over the hand-built log: what it lists and in which order, its filters and
// statistics, its exports and printed reports through the seams, Reset, its size and help.

#include "log_window_fixture.h"

#include "app/qt_report_printer.h"
#include "calllog/call_log_export.h"
#include "calllog/call_log_print.h"
#include "calllog/connectoid_list.h"
#include "calllog/in_out_error.h"
#include "platform/dialogs.h"

#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTabWidget>

namespace {
QStringList visibleTabs(const QTabWidget* pages) {
    QStringList out;
    for (int i = 0; i < pages->count(); ++i)
        if (pages->isTabVisible(i))
            out << pages->tabText(i);
    return out;
}
} // namespace

TEST_F(LogWindow, ListsNewestFirstShowsTheFiguresOfTheFilterAndSortsOnHeaderClicks) {
    open();
    EXPECT_EQ(window->windowTitle(), "Logs");
    auto* pages = child<QTabWidget>("pageLog");
    EXPECT_EQ(visibleTabs(pages),
              QStringList({"Call - All", "Call Statistics - All", "Other Statistics"}));
    EXPECT_EQ(pages->currentWidget()->objectName(), "tabCall");
    EXPECT_EQ(child<QGroupBox>("groupLog")->title(),
              "Detail (right click for further details and log administration funtions)");
    ASSERT_EQ(model().columnCount(), LogColumnCount);
    for (int c = 0; c < LogColumnCount; ++c)
        EXPECT_EQ(detail()->isColumnHidden(c), c >= VisibleLogColumnCount) << c;
    EXPECT_EQ(column(LogColumn::Start).first(), "10/03/2024 20:00:00");

    const CallLogTable table =
        CallLogTable::load(logPath, ConnectoidGrouping(handbuilt::phonebook()));
    const CallLogTexts texts(regional, settings);
    const auto other = texts.otherStatisticsRows(
        selectCalls(table, ConnectoidFilter::all(), handbuilt::now()).figures);
    // Either list chooses for both; the entry really named "All" is item 2. The other
    // statistics stay those of the whole log.
    const QStringList items = connectoidFilterItems(handbuilt::phonebook());
    for (const auto& [combo, item, records] :
         {std::tuple{"cboConnectoidMain", 4, QStringList{"3"}},
          {"cboConnectoid", 2, {"5"}},
          {"cboConnectoidMain", 0, {"7", "6", "5", "4", "3", "1", "8"}}}) {
        chooseFilter(combo, item);
        EXPECT_EQ(child<QComboBox>("cboConnectoid")->currentIndex(), item);
        EXPECT_EQ(child<QComboBox>("cboConnectoidMain")->currentIndex(), item);
        EXPECT_EQ(visibleTabs(pages)[1], "Call Statistics - " + items[item]);
        EXPECT_EQ(column(LogColumn::RecordNumber), records); // the undated call last
        const CallLogFigures shown =
            selectCalls(table, ConnectoidFilter::fromItem(items, item), handbuilt::now()).figures;
        EXPECT_EQ(rows(child<QTreeWidget>("lstvStatistics")), texts.statisticsRows(shown));
        EXPECT_EQ(rows(child<QTreeWidget>("lstvHeadings")), texts.headingRows(shown));
        EXPECT_EQ(rows(child<QTreeWidget>("lstvOtherStatistics")), other);
    }

    // A header click sorts; a second flips, the selection follows its row; a refresh keeps it.
    QHeaderView* header = detail()->header();
    Q_EMIT header->sectionClicked(static_cast<int>(LogColumn::Length));
    EXPECT_EQ(column(LogColumn::RecordNumber), QStringList({"6", "8", "5", "1", "7", "3", "4"}));
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);
    selectRows({6}); // record 4
    Q_EMIT header->sectionClicked(static_cast<int>(LogColumn::Length));
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
    const QModelIndexList selected = detail()->selectionModel()->selectedRows();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected[0].row(), 0);
    child<QPushButton>("btnLogMainRefresh")->click();
    EXPECT_EQ(column(LogColumn::RecordNumber), QStringList({"4", "3", "7", "1", "5", "8", "6"}));
}

TEST_F(LogWindow, ExportsWriteWhatTheWindowShowsAndRefuseTheLogsOwnFiles) {
    open();
    chooseFilter("cboConnectoidMain", "Mobile");
    for (const auto& [action, fileName, content] :
         {std::tuple{"mnuExportDetail", "vorn export detail",
                     logexport::detailBytes(model().table(), ConnectoidFilter::named("Mobile"),
                                            model().texts())},
          {"mnuExportProjections", "vorn export projections",
           logexport::projectionsBytes(rows(child<QTreeWidget>("lstvHeadings")))},
          {"mnuExportUsage", "vorn export usage",
           logexport::usageBytes(rows(child<QTreeWidget>("lstvStatistics")))}}) {
        const QString target = dir.filePath(fileName + QString(".txt"));
        dialogs.cancelNext(); // nothing written
        dialogs.answerNext(target);
        trigger(action);
        trigger(action);
        EXPECT_EQ(bytes(target), content) << action;
        const Dialogs::FileChoice& asked = dialogs.asked.last().file;
        EXPECT_EQ(QStringList({asked.filter, asked.defaultSuffix, asked.folder, asked.fileName}),
                  QStringList({"Text Files (*.txt)", "txt", Dialogs::desktopFolder(), fileName}));
    }
    EXPECT_TRUE(
        bytes(dir.filePath("vorn export detail.txt")).contains("\"Mobile\",\"10/02/2024\""));
    EXPECT_EQ(dialogs.asked.size(), 6);
    EXPECT_TRUE(prompts.shown.isEmpty());

    // The log itself (also through a link) and an unwritable file: an error box naming it.
    const QByteArray log = bytes(logPath);
    QFile::link(logPath, dir.filePath("link.txt"));
    for (const auto& [action, target] :
         {std::pair{"mnuExportDetail", logPath},
          {"mnuExportUsage", dir.filePath("link.txt")},
          {"mnuExportProjections", dir.filePath("no/such/folder/x.txt")}}) {
        dialogs.answerNext(target);
        trigger(action);
        EXPECT_EQ(prompts.shown.last().kind, Prompts::Kind::Error);
        EXPECT_TRUE(prompts.texts().last().contains(QFileInfo(target).fileName()))
            << prompts.texts().last().toStdString();
    }
    EXPECT_EQ(bytes(logPath), log);
    // Without a call log the detail export writes nothing and says nothing.
    QFile::remove(logPath);
    dialogs.answerNext(dir.filePath("detail.txt"));
    trigger("mnuExportDetail");
    EXPECT_FALSE(QFile::exists(dir.filePath("detail.txt")));
    EXPECT_EQ(prompts.shown.size(), 3);
}

TEST_F(LogWindow, PrintsAskFirstAndSendTheShownRowsInTheListsOrder) {
    open();
    const char* const actions[] = {"mnuPrintUsage", "mnuPrintStatistics", "mnuPrintDetail"};
    for (const char* action : actions) {
        prompts.answerNext(Prompts::Answer::No);
        trigger(action);
    }
    EXPECT_TRUE(printer.reports.isEmpty());
    EXPECT_EQ(prompts.texts(), QStringList({"Are you sure you want to print the usage report?",
                                            "Are you sure you want to print the statistics report?",
                                            "Are you sure you want to print the detail report?"}));
    chooseFilter("cboConnectoid", "Home ISP");
    Q_EMIT detail()->header()->sectionClicked(static_cast<int>(LogColumn::Mode));
    for (const char* action : actions) {
        prompts.answerNext(Prompts::Answer::Yes);
        trigger(action);
    }
    ASSERT_EQ(printer.reports.size(), 3);
    EXPECT_EQ(printer.reports[0].lines,
              logprint::usageReport(rows(child<QTreeWidget>("lstvStatistics"))).lines);
    EXPECT_EQ(printer.reports[1].lines,
              logprint::statisticsReport(rows(child<QTreeWidget>("lstvHeadings"))).lines);
    // Home ISP's calls by mode: the "Auto" call, then the recovered one without a date.
    const QStringList& detailLines = printer.reports[2].lines;
    ASSERT_EQ(detailLines.size(), 3);
    EXPECT_EQ(detailLines[1].mid(25, 13), "31/01/2024   ");
    EXPECT_EQ(detailLines[2].mid(25, 13), "             ");
    for (const PrintReport& report : printer.reports) {
        EXPECT_FALSE(report.refuseFile(logPath).isEmpty());
        EXPECT_TRUE(report.refuseFile(dir.filePath("report.pdf")).isEmpty());
    }

    // A failed print says why; without a call log the detail report prints nothing.
    printer.answer = {ReportPrinter::Outcome::Failed, "The printer is out of paper."};
    prompts.answerNext(Prompts::Answer::Yes);
    trigger("mnuPrintUsage");
    EXPECT_EQ(prompts.texts().last(), "The printer is out of paper.");
    QFile::remove(logPath);
    prompts.answerNext(Prompts::Answer::Yes);
    trigger("mnuPrintDetail");
    EXPECT_EQ(printer.reports.size(), 4);
}

TEST_F(LogWindow, TheDetailReportReadsBackFromAPdfWithEachCellInItsColumn) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "pdftotext is not installed (scripts/deps.sh installs poppler-utils)";
    QtReportPrinter pdf(dialogs);
    pdf.hasPrinters = [] { return false; };
    open(services(pdf));
    prompts.answerNext(Prompts::Answer::Yes);
    dialogs.answerNext(dir.filePath("detail.pdf"));
    trigger("mnuPrintDetail");
    QProcess p;
    p.start("pdftotext", {"-bbox", dir.filePath("detail.pdf"), "-"});
    ASSERT_TRUE(p.waitForFinished(30000));
    // The words of each line (by their top): left edge, right edge, text.
    QMap<QString, QList<std::tuple<double, double, QString>>> lines;
    static const QRegularExpression word(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="[\d.]+">([^<]*)<)re");
    for (const auto& m : word.globalMatch(QString::fromUtf8(p.readAllStandardOutput())))
        lines[m.captured(2)] << std::tuple(m.captured(1).toDouble(), m.captured(3).toDouble(),
                                           m.captured(4));
    // Where the cells of a line start, in characters: a cell's next word stands one blank on.
    const auto columnsOf = [&](const QString& first) {
        QList<int> columns;
        for (auto line : lines) {
            std::sort(line.begin(), line.end());
            const auto [left, right, text] = line.front();
            const double charWidth = (right - left) / first.size();
            double end = -1e9;
            for (const auto& [x, xEnd, w] : line) {
                if (text == first && x - end > 1.5 * charWidth)
                    columns << qRound((x - left) / charWidth);
                end = xEnd;
            }
        }
        return columns;
    };
    const QList<int> columns = {0, 25, 38, 51, 64, 79, 94, 109, 129, 144};
    EXPECT_EQ(columnsOf("Connectoid"), columns);
    EXPECT_EQ(columnsOf("Mobile"), columns);
}

TEST_F(LogWindow, ResetAsksFirstAndSaysWhenTheLogCannotBeDeleted) {
    open();
    prompts.answerNext(Prompts::Answer::No);
    child<QPushButton>("btnLogReset")->click();
    EXPECT_EQ(prompts.texts(), QStringList({"Are you sure you want to reset the call log?"}));
    EXPECT_TRUE(QFile::exists(logPath));

    // Something that cannot be deleted stands where the log was.
    QFile::remove(logPath);
    QDir().mkpath(logPath + "/kept");
    prompts.answerNext(Prompts::Answer::Yes);
    child<QPushButton>("btnLogReset")->click();
    ASSERT_EQ(prompts.shown.size(), 3);
    EXPECT_EQ(prompts.shown[2].kind, Prompts::Kind::Error);
    EXPECT_TRUE(prompts.texts()[2].contains("log070.bin")) << prompts.texts()[2].toStdString();
    // Reading it is an error of the log itself: the fatal route.
    EXPECT_THROW(window->btnLogRefreshClick(), InOutError);

    QDir(logPath).removeRecursively();
    handbuilt::writeLog(logsFolderOf(dir.path()));
    prompts.answerNext(Prompts::Answer::Yes);
    child<QPushButton>("btnLogReset")->click();
    EXPECT_FALSE(QFile::exists(logPath));
    EXPECT_EQ(model().rowCount(), 0);
    for (const char* list : {"lstvStatistics", "lstvHeadings", "lstvOtherStatistics"})
        EXPECT_EQ(child<QTreeWidget>(list)->topLevelItemCount(), 0) << list;
}

TEST_F(LogWindow, SizeRulesHelpTopicsAndTheLedWindow) {
    store.writeInteger(QString(), "Log_Window_Width", 700);
    store.writeInteger(QString(), "Log_Window_Height", 5000);
    int ledShown = 0;
    WindowServices withCall = services(printer);
    withCall.callInProgress = [] { return true; };
    withCall.showDigitalDisplay = [&ledShown] { ++ledShown; };
    open(withCall);
    EXPECT_EQ(window->size(), QSize(700, 450));
    EXPECT_EQ(window->minimumSize(), QSize(600, 450));
    EXPECT_EQ(ledShown, 1);

    // Each page opens its own part of the help page, which has it.
    const QByteArray page = bytes(qEnvironmentVariable("VORN_SOURCE_DIR") + "/help/log.html");
    for (const auto& [tab, topic] : {std::pair{"tabCall", "calls"},
                                     {"tabCallStatistics", "statistics"},
                                     {"tabStatistics", "other-statistics"}}) {
        child<QTabWidget>("pageLog")->setCurrentWidget(child<QWidget>(tab));
        child<QPushButton>("cmdHelp")->click();
        EXPECT_EQ(help.topics.last(), QString("log#") + topic);
        EXPECT_TRUE(page.contains(QByteArray("id=\"") + topic + '"')) << topic;
    }
    EXPECT_TRUE(page.contains("id=\"import\""));

    window->resize(640, 480);
    child<QPushButton>("cmdOK")->click();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(store.readInteger(QString(), "Log_Window_Width", 0), 640);
    EXPECT_EQ(store.readInteger(QString(), "Log_Window_Height", 0), 480);
}
