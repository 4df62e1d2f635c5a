// The hand-built log's figures, cell texts, sort orders, exports and printed reports, the
// import of older logs and the check of a row against the file before the log window writes.

#include "calllog/call_log_export.h"
#include "calllog/call_log_file.h"
#include "calllog/call_log_import.h"
#include "calllog/call_log_print.h"
#include "calllog/call_log_sort.h"
#include "calllog/call_log_statistics.h"
#include "calllog/call_log_table.h"
#include "calllog/call_log_texts.h"
#include "calllog/connectoid_list.h"
#include "hand_built_call_log.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <limits>
#include <sys/resource.h>

namespace {

using Rows = QList<QStringList>;

QByteArray lines(const QStringList& lines) {
    return (lines.join("\r\n") + "\r\n").toUtf8();
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Rows as "cell=cell;cell=cell", for long tables of short texts.
QString flat(const Rows& rows) {
    QStringList out;
    for (const QStringList& row : rows)
        out << row.join(u'=');
    return out.join(u';');
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

const QString DetailHeader = R"x("Connectoid Name","Start Date","Start Time","Finish Date",)x"
                             R"x("Finish Time","Length","Cost (exc.)","Cost (inc.)",)x"
                             R"x("Data Transferred","Connect Speed","Mode")x";
const QString ProjectionsHeader = R"x("Projection","Time","Cost (exc)","Cost (inc)",)x"
                                  R"x("Data Transferred")x";
const QString UsageHeader = R"x("Usage","Time","Cost","Data Transferred")x";

class HandBuiltLog : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString logs = dir.filePath("Logs");
    QString log = handbuilt::writeLog(logs);
    ConnectoidGrouping grouping{handbuilt::phonebook()};
    CallLogTable table = CallLogTable::load(log, grouping);
    CallLogTexts texts{RegionalSettings::english(), 0, 0, QLocale::c()};

    CallLogSelection select(const ConnectoidFilter& filter = ConnectoidFilter::all(),
                            const CallLogTable* from = nullptr) const {
        return selectCalls(from ? *from : table, filter, handbuilt::now());
    }
    QList<quint32> recordNumbers(const std::vector<quint32>& rows) const {
        QList<quint32> numbers;
        for (const quint32 r : rows)
            numbers << table.rows()[r].Record_Number;
        return numbers;
    }
    const CallLogRow& record(quint32 number) const {
        for (const CallLogRow& row : table.rows())
            if (row.Record_Number == number)
                return row;
        throw std::out_of_range("no such record");
    }
};

TEST_F(HandBuiltLog, FiguresOfEveryCall) {
    const CallLogSelection all = select();
    EXPECT_EQ(recordNumbers(all.rows), QList<quint32>({1, 3, 4, 5, 6, 7, 8}));
    // Garbage counts as 0, the data sum does not wrap at 4 GB, the call across midnight
    // counts in January and the undated record makes no month.
    const QString stars = logtexts::SeparatorRow;
    EXPECT_EQ(texts.statisticsRows(all.figures),
              Rows({{"Total (excluding discount)", "00:02:55:30", "£2.45", "4.00GB"},
                    {"Discount", "not applicable", "£0.25", "not applicable"},
                    {stars, stars, stars, stars},
                    {"Total (including discount)", "00:02:55:30", "£2.20", "4.00GB"}}));
    EXPECT_EQ(texts.headingRows(all.figures),
              Rows({{"Weekly Projection", "00:00:20:28", "£0.29", "£0.26", "478.45MB"},
                    {"Monthly Projection", "00:01:27:45", "£1.23", "£1.10", "2.00GB"},
                    {"Quarterly Projection", "00:04:23:15", "£3.68", "£3.30", "6.01GB"},
                    {"Yearly Projection", "00:17:47:37", "£14.90", "£13.38", "24.36GB"},
                    {"January 2024", "00:00:30:00", "£0.50", "£0.45", "1.46MB"},
                    {"February 2024", "00:01:45:30", "£1.80", "£1.60", "3.00MB"},
                    {"March 2024", "00:00:40:00", "£0.15", "£0.15", "522.00KB"}}));
    // Caption and value of each row of the other statistics, rows apart by ";".
    EXPECT_EQ(
        flat(texts.otherStatisticsRows(all.figures)),
        "Call Span=31/01/2024 23:50:00 -> 10/03/2024 20:30:00;Number Of Full Days=61;"
        "Number Of Calls=7;Average Length Per Call=00:00:25:04;"
        "Total Number Of Seconds=10,530;Total Number Of Minutes=176;"
        "Total Number Of Hours=2.9;Projected Number Of Calls Per Week=0;"
        "Projected Number Of Calls Per Month=3;Projected Number Of Calls Per Quarter=10;"
        "Projected Number Of Calls Per Year=42;Average Cost (without discount) Per Call=£0.35;"
        "Average Cost (with discount) Per Call=£0.31;"
        "Average Data Transferred Per Call=585.85MB;Number Of Automatic Log Entries=1;"
        "Number Of Log Entries Inserted=1;Number Of Log Entries Edited=1;"
        "Number Of Adjustments=1;Number Of Recovered Log Entries=1;"
        "Number Of Auto Disconnected Log Entries=1;Number Of Deleted Log Entries=2;"
        "Total Number Of Log Entries=9;Wasted Space=22%");
}

TEST_F(HandBuiltLog, FiltersCompareShownNames) {
    const QStringList items = connectoidFilterItems(handbuilt::phonebook());
    // Entry names are held as the call log holds them: "Интернет" outside the code page.
    EXPECT_EQ(items, QStringList({"All", "????????", "All", "Home ISP", "Mobile", "Unknown/Other",
                                  "Work \"VPN\""}));
    const struct {
        ConnectoidFilter filter;
        QList<quint32> records;
    } cases[] = {
        {ConnectoidFilter::fromItem(items, 0), {1, 3, 4, 5, 6, 7, 8}},
        {ConnectoidFilter::fromItem(items, 2), {5}}, // the dial-up entry named "All"
        {ConnectoidFilter::fromItem(items, 1), {6}},
        {ConnectoidFilter::named("Home ISP"), {1, 8}},
        {ConnectoidFilter::named("Unknown/Other"), {4}}, // "Old ISP" is gone
        {ConnectoidFilter::named("Интернет"), {6}},      // stored as "????????"
        {ConnectoidFilter::named("Old ISP"), {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(recordNumbers(select(c.filter).rows), c.records)
            << c.filter.caption().toStdString();

    // One call: the projections divide by the days up to now, the call counts in no mode.
    const CallLogSelection one = select(ConnectoidFilter::named("All"));
    EXPECT_EQ(one.figures.days(), 31);
    EXPECT_EQ(one.figures.modeCounts, (std::array<qint64, 6>{}));
    EXPECT_EQ(texts.headingRows(one.figures).last(),
              QStringList({"March 2024", "00:00:10:00", "£0.10", "£0.10", "10.00KB"}));
}

TEST_F(HandBuiltLog, LogsWithoutListedCallsGiveNoFiguresAndExportHeadersOnly) {
    QList<typCallLogInformation> removed = handbuilt::records();
    for (typCallLogInformation& r : removed)
        r.Deleted = 1;
    const CallLogTable onlyRemoved =
        CallLogTable::load(handbuilt::writeLog(dir.filePath("removed"), removed), grouping);
    const CallLogTable empty =
        CallLogTable::load(handbuilt::writeLog(dir.filePath("empty"), {}), grouping);
    const CallLogTable missing = CallLogTable::load(dir.filePath("none/log070.bin"), grouping);
    EXPECT_TRUE(onlyRemoved.exists());
    EXPECT_FALSE(missing.exists());
    EXPECT_EQ(onlyRemoved.removedCount(), 9);
    for (const CallLogTable* t : {&onlyRemoved, &empty, &missing}) {
        const CallLogSelection s = select(ConnectoidFilter::all(), t);
        EXPECT_TRUE(s.rows.empty());
        EXPECT_TRUE(texts.otherStatisticsRows(s.figures).isEmpty());
        EXPECT_EQ(logexport::detailBytes(*t, ConnectoidFilter::all(), texts),
                  lines({DetailHeader}));
        EXPECT_EQ(logexport::projectionsBytes(texts.headingRows(s.figures)),
                  lines({ProjectionsHeader}));
        EXPECT_EQ(logexport::usageBytes(texts.statisticsRows(s.figures)), lines({UsageHeader}));
    }
}

TEST_F(HandBuiltLog, CellTexts) {
    const struct {
        quint32 record;
        QStringList cells;
    } cases[] = {
        {1,
         {"31/01/2024 23:50:00", "00:20:00", "00:00:30:00", "£0.50", "£0.45", "1.46MB", "Auto", "1",
          "0.5", "0.45", "1536000", "01/02/2024 00:20:00", "Unknown/Other", "Home ISP", "anna",
          "45322.9930555556", "45323.0138888889"}},
        // Midnight: the time is left out of a date text of 10 characters.
        {5,
         {"01/03/2024", "00:10:00", "00:00:10:00", "£0.10", "£0.10", "10.00KB", "ERROR", "5", "0.1",
          "0.1", "10240", "01/03/2024 00:10:00", "56000", "All", "bob", "45352",
          "45352.0069444444"}},
        {8,
         {"", "", "00:00:00:00", "£0.00", "£0.00", "4.00GB", "Rcvrd", "8", "0", "0", "4294967295",
          "", "Unknown/Other", "Home ISP", "anna", "", ""}},
    };
    for (const auto& c : cases) {
        QStringList cells;
        for (int column = 0; column < LogColumnCount; ++column)
            cells << texts.cell(table, record(c.record), static_cast<LogColumn>(column));
        EXPECT_EQ(cells, c.cells) << c.record;
    }

    // Midnight under an eight-character date keeps its time.
    RegionalSettings shortYear = RegionalSettings::english();
    shortYear.shortDateFormat = "dd/MM/yy";
    const CallLogTexts yy(shortYear, 0, 0, QLocale::c());
    EXPECT_EQ(yy.DateTimeToFullStr(datetime::encode(2024, 3, 1)), "01/03/24 00:00:00");
    EXPECT_EQ(yy.DateTimeToFullStr(datetime::encode(2024, 3, 1, 0, 0, 1)), "01/03/24 00:00:01");
    EXPECT_EQ(yy.dates().dateTime(datetime::encode(2024, 3, 1)), "01/03/24");
}

TEST_F(HandBuiltLog, SortsByEachColumn) {
    const struct {
        LogColumn column;
        QList<quint32> ascending;
    } cases[] = {
        {LogColumn::Start, {8, 1, 3, 4, 5, 6, 7}}, // undated first
        {LogColumn::Finish, {8, 1, 3, 4, 5, 6, 7}},
        {LogColumn::Length, {6, 8, 5, 1, 7, 3, 4}},
        {LogColumn::CostExc, {6, 8, 5, 7, 1, 4, 3}},
        {LogColumn::CostInc, {6, 8, 5, 7, 4, 1, 3}},
        {LogColumn::Data, {3, 6, 5, 7, 1, 4, 8}},
        {LogColumn::Mode, {6, 1, 3, 5, 7, 4, 8}}, // Adjust Auto Discon ERROR Edit Insert Rcvrd
    };
    for (const auto& c : cases) {
        LogSortState sort; // "Start", newest first: a click on it flips, on another starts up
        sort.columnClicked(c.column);
        EXPECT_EQ(sort.order, Qt::AscendingOrder);
        std::vector<quint32> rows = select().rows;
        sortLogRows(table, rows, sort);
        EXPECT_EQ(recordNumbers(rows), c.ascending) << logColumnCaption(c.column).toStdString();
        sort.columnClicked(c.column);
        EXPECT_EQ(sort.order, Qt::DescendingOrder);
        sortLogRows(table, rows, sort);
        QList<quint32> descending = c.ascending;
        std::reverse(descending.begin(), descending.end());
        EXPECT_EQ(recordNumbers(rows), descending) << logColumnCaption(c.column).toStdString();
    }

    // A hidden column compares nothing: the list keeps its order.
    std::vector<quint32> rows = select().rows;
    sortLogRows(table, rows, {LogColumn::Start, Qt::DescendingOrder});
    const std::vector<quint32> newestFirst = rows;
    sortLogRows(table, rows, {LogColumn::UserName, Qt::AscendingOrder});
    EXPECT_EQ(rows, newestFirst);
}

TEST(FormatDuration, RoundsToTheMillisecondFirst) {
    const double second = 1.0 / 86400;
    const struct {
        double days;
        QString text;
    } cases[] = {
        {datetime::encode(2024, 2, 1, 0, 20) - datetime::encode(2024, 1, 31, 23, 50),
         "00:00:30:00"},
        {1 + (2 * 3600 + 3 * 60 + 4) * second, "01:02:03:04"},
        {123.5, "123:12:00:00"},
        {29.9996 * second, "00:00:00:30"},
        {-3600 * second, "-00:01:00:00"},
        {-1e-12, "00:00:00:00"},
        {std::nan(""), "00:00:00:00"},
        {-std::numeric_limits<double>::infinity(), "00:00:00:00"},
        {3652058.75, "3652058:18:00:00"}, // from year 1 to 9999
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatDuration(c.days, RegionalSettings::english()), c.text) << c.days;
    EXPECT_EQ(FormatDuration(0.5, RegionalSettings::italian()), "00.12.00.00");
}

TEST_F(HandBuiltLog, ExportsQuoteEveryFieldWithTheRegionalDecimals) {
    EXPECT_EQ(
        logexport::detailBytes(table, ConnectoidFilter::all(), texts),
        lines(
            {DetailHeader,
             R"x("Home ISP","31/01/2024","23:50:00","01/02/2024","00:20:00","00:00:30:00","0.5","0.45","1536000","Unknown","Auto")x",
             R"x("Mobile","10/02/2024","10:00:00","10/02/2024","10:45:30","00:00:45:30","1.2","1.2","0","115200","Discon")x",
             R"x("Unknown/Other","20/02/2024","08:00:00","20/02/2024","09:00:00","00:01:00:00","0.6","0.4","3145728","33600","Insert")x",
             R"x("All","01/03/2024","00:00:00","01/03/2024","00:10:00","00:00:10:00","0.1","0.1","10240","56000","Error")x",
             R"x("????????","05/03/2024","12:00:00","05/03/2024","12:00:00","00:00:00:00","-0.25","-0.25","0","Unknown","Adjust")x",
             R"x("Work ""VPN""","10/03/2024","20:00:00","10/03/2024","20:30:00","00:00:30:00","0.3","0.3","524288","28800","Edit")x",
             R"x("Home ISP","","","","","00:00:00:00","0","0","4294967295","Unknown","Rcvrd")x"}));

    const CallLogTexts italian(RegionalSettings::italian(), 0, 0, QLocale::c());
    const ConnectoidFilter homeIsp = ConnectoidFilter::named("Home ISP");
    const CallLogFigures figures = select(homeIsp).figures;
    EXPECT_EQ(
        logexport::detailBytes(table, homeIsp, italian),
        lines(
            {DetailHeader,
             R"x("Home ISP","31/01/2024","23.50.00","01/02/2024","00.20.00","00.00.30.00","0,5","0,45","1536000","Unknown","Auto")x",
             R"x("Home ISP","","","","","00.00.00.00","0","0","4294967295","Unknown","Rcvrd")x"}));
    EXPECT_EQ(
        logexport::usageBytes(italian.statisticsRows(figures)),
        lines({UsageHeader, R"x("Total (excluding discount)","00.00.30.00","€ 0,50","4,00GB")x",
               R"x("Discount","not applicable","€ 0,05","not applicable")x",
               R"x("Total (including discount)","00.00.30.00","€ 0,45","4,00GB")x"}));
}

TEST_F(HandBuiltLog, ExportsWriteThroughASaveFileAndRefuseTheLogsOwnFiles) {
    const QString target = dir.filePath("vorn export detail.txt");
    const ExportResult written =
        exportDetail(logs, target, ConnectoidFilter::named("Mobile"), grouping, texts);
    EXPECT_TRUE(written.ok()) << written.message.toStdString();
    EXPECT_EQ(fileBytes(target),
              logexport::detailBytes(table, ConnectoidFilter::named("Mobile"), texts));

    const QByteArray before = fileBytes(log);
    ASSERT_TRUE(QFile::link(log, dir.filePath("log link.txt")));
    ASSERT_TRUE(QFile::link(QDir(logs).filePath("call.new"), dir.filePath("dangling.txt")));
    ASSERT_EQ(::link(QFile::encodeName(log).constData(),
                     QFile::encodeName(dir.filePath("hard.txt")).constData()),
              0);
    QDir(logs).mkdir("sub");
    for (const QString& refused :
         {log, QDir(logs).filePath("call.bak"), QDir(logs).filePath("sub/../password.bin"),
          dir.filePath("log link.txt"), dir.filePath("dangling.txt"), dir.filePath("hard.txt")}) {
        const ExportResult r =
            exportDetail(logs, refused, ConnectoidFilter::all(), grouping, texts);
        EXPECT_EQ(r.status, ExportResult::Refused) << refused.toStdString();
        EXPECT_TRUE(r.message.contains(QDir::toNativeSeparators(refused)));
        EXPECT_EQ(writeExportFile(refused, "x", logs).status, ExportResult::Refused);
    }
    EXPECT_EQ(fileBytes(log), before);
    EXPECT_FALSE(QFile::exists(QDir(logs).filePath("call.new")));
    EXPECT_TRUE(writeExportFile(QDir(logs).filePath("report.txt"), "x", logs).ok());

    // A target that cannot be written is reported, and an existing one is left as it was.
    QDir(dir.path()).mkdir("folder");
    EXPECT_EQ(writeExportFile(dir.filePath("folder"), "x", logs).status, ExportResult::Failed);
    EXPECT_TRUE(QFileInfo(dir.filePath("folder")).isDir());
    const ExportResult underFile = writeExportFile(target + "/x.txt", "x", logs);
    EXPECT_EQ(underFile.status, ExportResult::Failed);
    EXPECT_TRUE(underFile.message.contains(target + "/x.txt")) << underFile.message.toStdString();
    EXPECT_EQ(fileBytes(target).left(20), lines({DetailHeader}).left(20));

    // Without a call log the detail export writes nothing.
    ASSERT_TRUE(calllog::resetLog(log));
    const ExportResult none =
        exportDetail(logs, dir.filePath("new.txt"), ConnectoidFilter::all(), grouping, texts);
    EXPECT_EQ(none.status, ExportResult::NoCallLog);
    EXPECT_FALSE(QFile::exists(dir.filePath("new.txt")));
}

TEST_F(HandBuiltLog, PrintedReportsPadOrCutTheirColumnsAndTakeTheRowsOwnValues) {
    using logprint::PadText;
    EXPECT_EQ(PadText("abc", 5) + PadText("abc", 5, false) + PadText("abcdef", 4) + PadText("", 2),
              "abc    abcabcd  ");
    const QString stars = logtexts::SeparatorRow;
    const logprint::Report usage =
        logprint::usageReport({{"Total (excluding discount)", "00:01:00:00", "£1.00", "1.00MB"},
                               {stars, stars, stars, stars},
                               {"A caption longer than thirty characters", "t", "c", "d"}});
    EXPECT_EQ(usage.pointSize, 10);
    EXPECT_EQ(usage.lines,
              QStringList({"Usage                         Time              Cost          "
                           "Data Transferred  ",
                           "Total (excluding discount)    00:01:00:00       £1.00         "
                           "1.00MB            ",
                           "A caption longer than thirty ct                 c             "
                           "d                 "}));
    const QStringList statistics =
        logprint::statisticsReport({{"May 2024", "t1", "x2", "i3", "d4"}}).lines;
    EXPECT_EQ(QList<qsizetype>({statistics.value(0).size(), statistics.value(1).indexOf("t1"),
                                statistics.value(1).indexOf("d4")}),
              QList<qsizetype>({24 + 16 + 14 + 17 + 17, 24, 24 + 16 + 14 + 17}));

    QList<typCallLogInformation> records = handbuilt::records();
    records[2].Connectoid_Name = "Twenty Characters Ok"; // 20: a full name leaves 5 blanks
    ConnectoidNameTable names = handbuilt::phonebook();
    names[6] = "Twenty Characters Ok";
    const CallLogTable renamed = CallLogTable::load(
        handbuilt::writeLog(dir.filePath("renamed"), records), ConnectoidGrouping(names));
    // Rows 1 (record 3) and 0 (record 1), in that order.
    const logprint::Report report = logprint::detailReport(renamed, {1, 0}, texts);
    EXPECT_EQ(report.pointSize, 6);
    EXPECT_EQ(report.lines,
              QStringList(
                  {"Connectoid Name          Start Date   Start Time   Finish Time  Length         "
                   "Cost (exc.)    Cost (inc.)    Data Transferred    Connect Speed  Mode    ",
                   "Twenty Characters Ok     10/02/2024   10:00:00     10:45:30     00:00:45:30    "
                   "£1.20          £1.20          n/a                 115200         Discon  ",
                   "Home ISP                 31/01/2024   23:50:00     00:20:00     00:00:30:00    "
                   "£0.50          £0.45          1.46MB              Unknown/Other  Auto    "}));
}

TEST_F(HandBuiltLog, ImportAppendsOlderRecordsWithTheirNumbersAllOrNothing) {
    // Ten older records: numbers that a decode and encode could disturb, some removed.
    QByteArray old;
    for (int i = 0; i < 10; ++i) {
        QByteArray r(88, '\0'); // bytes 65–85 are not used
        for (int b = 0; b < 44; ++b)
            r[b] = static_cast<char>(i * 31 + b * 7);
        r.replace(44, 5, QByteArray("\x04Isp") + char('0' + i));
        r[86] = static_cast<char>(i % 3 == 0);
        old += r;
    }
    const QString oldLog = logs + "/call_log.bin";
    EXPECT_TRUE(calllog::importableLogs(logs).isEmpty());
    writeFile(oldLog, old + QByteArray(40, 'x')); // a fragment is no record
    writeFile(logs + "/log.bin", {});
    EXPECT_EQ(calllog::importableLogs(logs), QStringList({"call_log.bin", "log.bin"}));
    const auto older = calllog::readOldLog(oldLog);
    ASSERT_EQ(older.size(), 10);
    EXPECT_EQ(std::tuple(older[0].isDeleted(), older[1].isDeleted(), older[1].Connectoid_Name),
              std::tuple(true, false, QString("Isp1")));

    // The disk takes only part of the import: the log is left as it was.
    const QByteArray before = fileBytes(log);
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = static_cast<rlim_t>(before.size() + 3 * 92 + 10);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const calllog::ImportResult failed = calllog::importOldLog(oldLog, log, "carol");
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_FALSE(failed.ok);
    EXPECT_TRUE(failed.error.contains("log070.bin")) << failed.error.toStdString();
    EXPECT_EQ(fileBytes(log), before);
    const calllog::ImportResult missing = calllog::importOldLog(logs + "/none.bin", log, "carol");
    EXPECT_FALSE(missing.ok);
    EXPECT_TRUE(missing.error.contains("none.bin"));
    EXPECT_EQ(fileBytes(log), before);

    const calllog::ImportResult result = calllog::importOldLog(oldLog, log, "carol");
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(result.records, 10);
    const QByteArray after = fileBytes(log);
    ASSERT_EQ(after.size(), before.size() + 10 * 92);
    EXPECT_EQ(after.left(before.size()), before);
    for (int i = 0; i < 10; ++i) {
        const QByteArray r = after.mid(before.size() + i * 92, 92);
        EXPECT_EQ(r.left(44), old.mid(i * 88, 44)) << i;
        const typCallLogInformation record = calllog::decodeRecord(r.constData());
        EXPECT_EQ(std::tuple(record.Connectoid_Name, record.User_Name, record.Deleted),
                  std::tuple(QString("Isp%1").arg(i), QString("carol"), quint8(i % 3 == 0)))
            << i;
    }
}

TEST_F(HandBuiltLog, ARowIsItsRecordUntilTheFileChanges) {
    QList<qint64> numbers;
    for (const CallLogRow& row : table.rows())
        numbers << row.Record_Number - 1;
    numbers << 9 << -1;
    const auto records = calllog::readRecords(log, numbers);
    ASSERT_EQ(records.size(), 9);
    // The garbage record (row 6) is still itself: its values are tamed the same way.
    for (const size_t row : {0, 6})
        EXPECT_TRUE(records[qsizetype(row)] &&
                    table.isRowOf(table.rows()[row], *records[qsizetype(row)]));
    EXPECT_FALSE(records[7] || records[8]);
    // Record 1 as another program might leave it.
    const std::function<void(typCallLogInformation&)> changes[] = {
        [](typCallLogInformation& r) { r.Start += 1.0 / 86400; },
        [](typCallLogInformation& r) { r.Cost_Inc = 0.46; },
        [](typCallLogInformation& r) { r.Deleted = 1; },
        [](typCallLogInformation& r) { r.User_Name = "bob"; },
        [](typCallLogInformation& r) { r.Connectoid_Name = "Mobile"; }};
    for (const auto& change : changes) {
        typCallLogInformation r = *records[0];
        change(r);
        EXPECT_FALSE(table.isRowOf(table.rows()[0], r));
    }
}

} // namespace
