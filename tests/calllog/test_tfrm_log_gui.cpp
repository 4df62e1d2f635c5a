// The log window over the hand-built log: what it lists and in which order, its filters,
// the statistics it shows, its exports and printed reports through the seams, Reset, its
// size and help.

#include "log_window_fixture.h"

#include "app/qt_report_printer.h"
#include "calllog/call_log_export.h"
#include "calllog/call_log_print.h"
#include "calllog/connectoid_list.h"
#include "calllog/in_out_error.h"
#include "core/settings_store.h"
#include "platform/dialogs.h"

#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QListWidget>
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

class LogWindowFigures : public LogWindow {
protected:
    // What the window should show for a filter: the pieces' own rows.
    CallLogSelection expected(const ConnectoidFilter& filter) const {
        return selectCalls(table(), filter, handbuilt::now());
    }
    CallLogTable table() const {
        return CallLogTable::load(logPath, ConnectoidGrouping(handbuilt::phonebook()));
    }
    CallLogTexts texts{RegionalSettings::english(), settings};
};

TEST_F(LogWindowFigures, OpensOnTheNewestCallWithEveryFigureOfTheLog) {
    open();
    EXPECT_EQ(window->windowTitle(), "Logs");
    EXPECT_EQ(child<QListWidget>("listvSections")->item(0)->text(), "Call");
    auto* pages = child<QTabWidget>("pageLog");
    EXPECT_EQ(visibleTabs(pages),
              QStringList({"Call - All", "Call Statistics - All", "Other Statistics"}));
    EXPECT_EQ(pages->currentWidget()->objectName(), "tabCall");
    EXPECT_EQ(child<QGroupBox>("groupLog")->title(),
              "Detail (right click for further details and log administration funtions)");
    EXPECT_EQ(child<QComboBox>("cboConnectoid")->count(), 7);

    // Seventeen columns, the last ten hidden; newest first, the undated call last.
    ASSERT_EQ(model().columnCount(), LogColumnCount);
    for (int c = 0; c < LogColumnCount; ++c) {
        EXPECT_EQ(detail()->isColumnHidden(c), c >= VisibleLogColumnCount) << c;
        EXPECT_EQ(model().headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(),
                  logColumnCaption(static_cast<LogColumn>(c)));
    }
    EXPECT_EQ(column(LogColumn::RecordNumber), QStringList({"7", "6", "5", "4", "3", "1", "8"}));
    EXPECT_EQ(column(LogColumn::Start).first(), "10/03/2024 20:00:00");
    EXPECT_EQ(detail()->header()->sortIndicatorSection(), 0);
    EXPECT_EQ(detail()->header()->sortIndicatorOrder(), Qt::DescendingOrder);

    const CallLogFigures all = expected(ConnectoidFilter::all()).figures;
    EXPECT_EQ(rows(child<QTreeWidget>("lstvStatistics")), texts.statisticsRows(all));
    EXPECT_EQ(rows(child<QTreeWidget>("lstvHeadings")), texts.headingRows(all));
    EXPECT_EQ(rows(child<QTreeWidget>("lstvOtherStatistics")), texts.otherStatisticsRows(all));
    EXPECT_EQ(child<QTreeWidget>("lstvHeadings")->headerItem()->text(2), "Cost (exc.)");
}

TEST_F(LogWindowFigures, AFilterChosenInEitherListShowsItsCallsAndKeepsTheWholeLogsStatistics) {
    open();
    const auto other = rows(child<QTreeWidget>("lstvOtherStatistics"));
    const QStringList items = connectoidFilterItems(handbuilt::phonebook());
    const struct {
        const char* combo;
        int item;
        QStringList records;
    } cases[] = {
        {"cboConnectoidMain", 4, {"3"}},  // Mobile
        {"cboConnectoid", 5, {"4"}},      // Unknown/Other: "Old ISP" is gone
        {"cboConnectoidMain", 2, {"5"}},  // the dial-up entry named "All"
        {"cboConnectoid", 3, {"1", "8"}}, // Home ISP
        {"cboConnectoidMain", 0, {"7", "6", "5", "4", "3", "1", "8"}},
    };
    for (const auto& c : cases) {
        auto* filter = child<QComboBox>(c.combo);
        filter->setCurrentIndex(c.item);
        Q_EMIT filter->activated(c.item);
        const QString caption = items[c.item];
        EXPECT_EQ(child<QComboBox>("cboConnectoid")->currentIndex(), c.item);
        EXPECT_EQ(child<QComboBox>("cboConnectoidMain")->currentIndex(), c.item);
        EXPECT_EQ(visibleTabs(child<QTabWidget>("pageLog")).mid(0, 2),
                  QStringList({"Call - " + caption, "Call Statistics - " + caption}));
        EXPECT_EQ(column(LogColumn::RecordNumber), c.records) << caption.toStdString();
        const CallLogFigures figures = expected(ConnectoidFilter::fromItem(items, c.item)).figures;
        EXPECT_EQ(rows(child<QTreeWidget>("lstvHeadings")), texts.headingRows(figures));
        EXPECT_EQ(rows(child<QTreeWidget>("lstvOtherStatistics")), other);
    }
}

TEST_F(LogWindow, HeaderClicksSortTheListAndTheSelectionFollowsItsRows) {
    open();
    QHeaderView* header = detail()->header();
    Q_EMIT header->sectionClicked(static_cast<int>(LogColumn::Length));
    EXPECT_EQ(column(LogColumn::RecordNumber), QStringList({"6", "8", "5", "1", "7", "3", "4"}));
    EXPECT_EQ(header->sortIndicatorSection(), 2);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);

    selectRows({6}); // record 4
    Q_EMIT header->sectionClicked(static_cast<int>(LogColumn::Length));
    EXPECT_EQ(column(LogColumn::RecordNumber), QStringList({"4", "3", "7", "1", "5", "8", "6"}));
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
    const QModelIndexList selected = detail()->selectionModel()->selectedRows();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected[0].row(), 0);

    // A refresh keeps the order; choosing the section starts again on the newest call.
    child<QPushButton>("btnLogMainRefresh")->click();
    EXPECT_EQ(column(LogColumn::RecordNumber).first(), "4");
}

TEST_F(LogWindow, ExportsOfferTheDesktopAndWriteWhatTheWindowShows) {
    open();
    chooseFilter("cboConnectoidMain", "Mobile");
    const struct {
        const char* action;
        QString fileName;
        QByteArray bytes;
    } cases[] = {
        {"mnuExportDetail", "vorn export detail",
         logexport::detailBytes(
             CallLogTable::load(logPath, ConnectoidGrouping(handbuilt::phonebook())),
             ConnectoidFilter::named("Mobile"), model().texts())},
        {"mnuExportProjections", "vorn export projections",
         logexport::projectionsBytes(rows(child<QTreeWidget>("lstvHeadings")))},
        {"mnuExportUsage", "vorn export usage",
         logexport::usageBytes(rows(child<QTreeWidget>("lstvStatistics")))},
    };
    for (const auto& c : cases) {
        const QString target = dir.filePath(c.fileName + ".txt");
        dialogs.cancelNext();
        trigger(c.action);
        EXPECT_FALSE(QFile::exists(target));
        dialogs.answerNext(target);
        trigger(c.action);
        EXPECT_EQ(bytes(target), c.bytes) << c.action;
        const ScriptedDialogs::Asked& asked = dialogs.asked.last();
        EXPECT_EQ(asked.file.filter, "Text Files (*.txt)");
        EXPECT_EQ(asked.file.defaultSuffix, "txt");
        EXPECT_EQ(asked.file.folder, Dialogs::desktopFolder());
        EXPECT_EQ(asked.file.fileName, c.fileName);
    }
    EXPECT_TRUE(
        bytes(dir.filePath("vorn export detail.txt")).contains("\"Mobile\",\"10/02/2024\""));
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(LogWindow, AnExportOntoTheLogOrAnUnwritableFileIsAnErrorBoxAndTheProgramGoesOn) {
    open();
    const QByteArray log = bytes(logPath);
    QFile::link(logPath, dir.filePath("link.txt"));
    const struct {
        const char* action;
        QString target;
        QString named;
    } cases[] = {
        {"mnuExportDetail", logPath, "log070.bin"},
        {"mnuExportUsage", dir.filePath("link.txt"), "link.txt"},
        {"mnuExportProjections", logsFolderOf(dir.path()) + "/call.bak", "call.bak"},
        {"mnuExportProjections", dir.filePath("no/such/folder/x.txt"), "x.txt"},
        {"mnuExportDetail", dir.filePath("no/such/folder/y.txt"), "y.txt"},
    };
    for (const auto& c : cases) {
        prompts.shown.clear();
        dialogs.answerNext(c.target);
        trigger(c.action);
        ASSERT_EQ(prompts.shown.size(), 1) << c.action;
        EXPECT_EQ(prompts.shown[0].kind, Prompts::Kind::Error);
        EXPECT_TRUE(prompts.shown[0].text.contains(c.named)) << prompts.shown[0].text.toStdString();
    }
    EXPECT_EQ(bytes(logPath), log);
    EXPECT_FALSE(QFile::exists(logsFolderOf(dir.path()) + "/call.bak"));

    // Without a call log the detail export writes nothing and says nothing.
    QFile::remove(logPath);
    prompts.shown.clear();
    dialogs.answerNext(dir.filePath("detail.txt"));
    trigger("mnuExportDetail");
    EXPECT_FALSE(QFile::exists(dir.filePath("detail.txt")));
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(LogWindow, PrintsAskFirstAndSendTheShownRowsInTheListsOrder) {
    open();
    const struct {
        const char* action;
        QString question;
        int pointSize;
    } cases[] = {
        {"mnuPrintUsage", "Are you sure you want to print the usage report?", 10},
        {"mnuPrintStatistics", "Are you sure you want to print the statistics report?", 10},
        {"mnuPrintDetail", "Are you sure you want to print the detail report?", 6},
    };
    for (const auto& c : cases) {
        prompts.answerNext(Prompts::Answer::No);
        trigger(c.action);
        EXPECT_TRUE(printer.reports.isEmpty());
        EXPECT_EQ(prompts.texts().last(), c.question);
    }
    chooseFilter("cboConnectoid", "Home ISP");
    Q_EMIT detail()->header()->sectionClicked(static_cast<int>(LogColumn::Mode));
    for (const auto& c : cases) {
        prompts.answerNext(Prompts::Answer::Yes);
        trigger(c.action);
    }
    ASSERT_EQ(printer.reports.size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(printer.reports[i].fontFamily, "Courier New");
        EXPECT_EQ(printer.reports[i].pointSize, cases[i].pointSize);
        EXPECT_FALSE(printer.reports[i].refuseFile(logPath).isEmpty());
        EXPECT_TRUE(printer.reports[i].refuseFile(dir.filePath("report.pdf")).isEmpty());
    }
    EXPECT_EQ(printer.reports[0].lines,
              logprint::usageReport(rows(child<QTreeWidget>("lstvStatistics"))).lines);
    EXPECT_EQ(printer.reports[1].lines,
              logprint::statisticsReport(rows(child<QTreeWidget>("lstvHeadings"))).lines);
    // Home ISP's calls only, sorted by mode: the "Auto" call, then the recovered one.
    const QStringList& detailLines = printer.reports[2].lines;
    ASSERT_EQ(detailLines.size(), 3);
    const auto cells = [](const QStringList& texts, const QList<int>& widths) {
        QString line;
        for (qsizetype i = 0; i < texts.size(); ++i)
            line += texts[i].leftJustified(widths[i]);
        return line;
    };
    EXPECT_EQ(
        detailLines[0].left(64),
        cells({"Connectoid Name", "Start Date", "Start Time", "Finish Time"}, {25, 13, 13, 13}));
    EXPECT_TRUE(detailLines[1].startsWith(cells(
        {"Home ISP", "31/01/2024", "23:50:00", "00:20:00", "00:00:30:00"}, {25, 13, 13, 13, 15})))
        << detailLines[1].toStdString();
    EXPECT_TRUE(detailLines[2].startsWith(
        cells({"Home ISP", "", "", "", "00:00:00:00"}, {25, 13, 13, 13, 15})))
        << detailLines[2].toStdString();

    // A failed print says why; without a call log the detail report prints nothing.
    printer.answer = {ReportPrinter::Outcome::Failed, "The printer is out of paper."};
    prompts.answerNext(Prompts::Answer::Yes);
    trigger("mnuPrintUsage");
    EXPECT_EQ(prompts.shown.last().kind, Prompts::Kind::Error);
    EXPECT_EQ(prompts.texts().last(), "The printer is out of paper.");
    QFile::remove(logPath);
    prompts.answerNext(Prompts::Answer::Yes);
    trigger("mnuPrintDetail");
    EXPECT_EQ(printer.reports.size(), 4);
}

TEST_F(LogWindow, PrintedReportsReadBackFromAPdfWithEachCellInItsColumn) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "pdftotext is not installed (scripts/deps.sh installs poppler-utils)";
    QtReportPrinter pdf(dialogs);
    pdf.hasPrinters = [] { return false; };
    window = std::make_unique<TfrmLogGUI>(WindowServices{store,
                                                         prompts,
                                                         dialogs,
                                                         pdf,
                                                         help,
                                                         shell,
                                                         clock,
                                                         regional,
                                                         debugLog,
                                                         settings,
                                                         lists,
                                                         names,
                                                         dialUp,
                                                         dir.path(),
                                                         {true, true}});
    window->show();

    struct Word {
        double x, y, width;
        QString text;
    };
    const auto print = [&](const char* action, const QString& file) {
        prompts.answerNext(Prompts::Answer::Yes);
        dialogs.answerNext(dir.filePath(file));
        trigger(action);
        QProcess p;
        p.start("pdftotext", {"-bbox", dir.filePath(file), "-"});
        p.waitForFinished(30000);
        QList<Word> words;
        static const QRegularExpression word(
            R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="[\d.]+">([^<]*)</word>)re");
        for (const auto& m : word.globalMatch(QString::fromUtf8(p.readAllStandardOutput())))
            words.append({m.captured(1).toDouble(), m.captured(2).toDouble(),
                          m.captured(3).toDouble() - m.captured(1).toDouble(), m.captured(4)});
        return words;
    };
    // The column of a word, in characters from the left margin.
    const auto columnsOf = [](const QList<Word>& words, const QString& lineStart) {
        const Word* first = nullptr;
        for (const Word& w : words)
            if (w.text == lineStart && (!first || w.y < first->y))
                first = &w;
        QList<int> columns;
        if (!first)
            return columns;
        const double charWidth = first->width / first->text.size();
        const Word* previous = nullptr;
        for (const Word& w : words) {
            if (std::abs(w.y - first->y) > 0.5)
                continue;
            // Words of one cell ("Data Transferred") stand one blank apart.
            if (previous && w.x - (previous->x + previous->width) < charWidth * 1.5) {
                previous = &w;
                continue;
            }
            columns << qRound((w.x - first->x) / charWidth);
            previous = &w;
        }
        return columns;
    };

    const QList<Word> usage = print("mnuPrintUsage", "usage.pdf");
    EXPECT_EQ(columnsOf(usage, "Usage"), QList<int>({0, 30, 48, 62}));
    EXPECT_EQ(columnsOf(usage, "Discount"), QList<int>({0, 30, 48, 62}));
    const QList<Word> detail = print("mnuPrintDetail", "detail.pdf");
    EXPECT_EQ(columnsOf(detail, "Connectoid"),
              QList<int>({0, 25, 38, 51, 64, 79, 94, 109, 129, 144}));
    EXPECT_EQ(columnsOf(detail, "Mobile"), QList<int>({0, 25, 38, 51, 64, 79, 94, 109, 129, 144}));
    // The detail report is set smaller: 6 points against 10.
    const auto widthOf = [](const QList<Word>& words, const QString& text) {
        for (const Word& w : words)
            if (w.text == text)
                return w.width / text.size();
        return 0.0;
    };
    EXPECT_NEAR(widthOf(detail, "Mobile") / widthOf(usage, "Usage"), 0.6, 0.02);
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
    EXPECT_TRUE(prompts.shown[2].text.contains("log070.bin"))
        << prompts.shown[2].text.toStdString();
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
    window = std::make_unique<TfrmLogGUI>(WindowServices{store,
                                                         prompts,
                                                         dialogs,
                                                         printer,
                                                         help,
                                                         shell,
                                                         clock,
                                                         regional,
                                                         debugLog,
                                                         settings,
                                                         lists,
                                                         names,
                                                         dialUp,
                                                         dir.path(),
                                                         {true, true},
                                                         [] { return true; },
                                                         [&ledShown] { ++ledShown; }});
    EXPECT_EQ(window->size(), QSize(700, 450));
    EXPECT_EQ(window->minimumSize(), QSize(600, 450));
    window->show();
    EXPECT_EQ(ledShown, 1);

    auto* pages = child<QTabWidget>("pageLog");
    for (const auto& [page, topic] : {std::pair{"tabCall", "log#calls"},
                                      {"tabCallStatistics", "log#statistics"},
                                      {"tabStatistics", "log#other-statistics"}}) {
        pages->setCurrentWidget(child<QWidget>(page));
        child<QPushButton>("cmdHelp")->click();
        EXPECT_EQ(help.topics.last(), topic);
    }

    window->resize(640, 480);
    child<QPushButton>("cmdOK")->click();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(store.readInteger(QString(), "Log_Window_Width", 0), 640);
    EXPECT_EQ(store.readInteger(QString(), "Log_Window_Height", 0), 480);
    EXPECT_GT(store.syncCount, 0);
}
