// The printed reports' lines, the import of older logs and the check of a row against the
// file before the log window writes.

#include "calllog/call_log_file.h"
#include "calllog/call_log_import.h"
#include "calllog/call_log_print.h"
#include "calllog/call_log_statistics.h"
#include "calllog/connectoid_list.h"
#include "hand_built_call_log.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

using logprint::PadText;

TEST(PrintedReports, ColumnsArePaddedOrCutToTheirWidths) {
    EXPECT_EQ(PadText("abc", 5), "abc  ");
    EXPECT_EQ(PadText("abc", 5, false), "  abc");
    EXPECT_EQ(PadText("abcdef", 4), "abcd");
    EXPECT_EQ(PadText("", 2), "  ");

    const QString stars = "**************************";
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
    const logprint::Report statistics =
        logprint::statisticsReport({{"May 2024", "t1", "x2", "i3", "d4"}});
    EXPECT_EQ(statistics.pointSize, 10);
    EXPECT_EQ(statistics.lines.size(), 2);
    EXPECT_EQ(statistics.lines[0].size(), 24 + 16 + 14 + 17 + 17);
    EXPECT_EQ(statistics.lines[1].indexOf("t1"), 24);
    EXPECT_EQ(statistics.lines[1].indexOf("d4"), 24 + 16 + 14 + 17);
}

TEST(PrintedReports, TheDetailReportTakesTheRowsOwnValuesInTheOrderGiven) {
    QTemporaryDir dir;
    QList<typCallLogInformation> log = handbuilt::records();
    log[2].Connectoid_Name = "Twenty Characters Ok"; // 20: a full name leaves 5 blanks
    ConnectoidNameTable names = handbuilt::phonebook();
    names[6] = "Twenty Characters Ok";
    const CallLogTable table =
        CallLogTable::load(handbuilt::writeLog(dir.path(), log), ConnectoidGrouping(names));
    const CallLogTexts texts(RegionalSettings::english(), 0, 0, QLocale::c());
    // Rows 1 (record 3) and 0 (record 1), in that order.
    const logprint::Report report = logprint::detailReport(table, {1, 0}, texts);
    EXPECT_EQ(report.pointSize, 6);
    ASSERT_EQ(report.lines.size(), 3);
    EXPECT_EQ(report.lines[0],
              "Connectoid Name          Start Date   Start Time   Finish Time  Length         "
              "Cost (exc.)    Cost (inc.)    Data Transferred    Connect Speed  Mode    ");
    EXPECT_EQ(report.lines[1],
              "Twenty Characters Ok     10/02/2024   10:00:00     10:45:30     00:00:45:30    "
              "£1.20          £1.20          n/a                 115200         Discon  ");
    EXPECT_EQ(report.lines[2],
              "Home ISP                 31/01/2024   23:50:00     00:20:00     00:00:30:00    "
              "£0.50          £0.45          1.46MB              Unknown/Other  Auto    ");
}

class OldLogImport : public ::testing::Test {
protected:
    // Ten older records: numbers that a decode and encode could disturb, some removed.
    static QByteArray oldRecords() {
        QByteArray bytes;
        for (int i = 0; i < 10; ++i) {
            QByteArray r(88, '\0');
            for (int b = 0; b < 44; ++b)
                r[b] = static_cast<char>(i * 31 + b * 7);
            r[44] = 4;
            r.replace(45, 4, QByteArray("Isp") + char('0' + i));
            r[65] = 3; // bytes 65–85 are not used
            r[86] = static_cast<char>(i % 3 == 0 ? 1 : 0);
            bytes += r;
        }
        return bytes + QByteArray(40, 'x'); // a fragment is no record
    }
    static void write(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    static QByteArray read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    QString logs = dir.filePath("Logs");
    QString log = calllog::logFilePath(logs);
    QString oldLog = logs + "/call_log.bin";
    void SetUp() override { handbuilt::writeLog(logs); }
};

TEST_F(OldLogImport, AppendsEveryOlderRecordWithItsNumbersAsTheyWere) {
    EXPECT_TRUE(calllog::importableLogs(logs).isEmpty());
    const QByteArray old = oldRecords();
    write(oldLog, old);
    write(logs + "/log.bin", {});
    EXPECT_EQ(calllog::importableLogs(logs), QStringList({"call_log.bin", "log.bin"}));

    const QByteArray before = read(log);
    const calllog::ImportResult result = calllog::importOldLog(oldLog, log, "carol");
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(result.records, 10);
    const QByteArray after = read(log);
    ASSERT_EQ(after.size(), before.size() + 10 * 92);
    EXPECT_EQ(after.left(before.size()), before);
    for (int i = 0; i < 10; ++i) {
        const QByteArray r = after.mid(before.size() + i * 92, 92);
        EXPECT_EQ(r.left(44), old.mid(i * 88, 44)) << i;
        const typCallLogInformation record = calllog::decodeRecord(r.constData());
        EXPECT_EQ(record.Connectoid_Name, QString("Isp%1").arg(i));
        EXPECT_EQ(record.User_Name, "carol");
        EXPECT_EQ(record.Deleted, i % 3 == 0 ? 1 : 0);
    }
}

TEST_F(OldLogImport, AFailedWriteLeavesTheLogAsItWas) {
    write(oldLog, oldRecords());
    const QByteArray before = read(log);
    // The disk takes only part of the import.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = static_cast<rlim_t>(before.size() + 3 * 92 + 10);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const calllog::ImportResult result = calllog::importOldLog(oldLog, log, "carol");
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(read(log).size(), before.size());
    EXPECT_TRUE(result.error.contains("log070.bin")) << result.error.toStdString();
    EXPECT_EQ(read(log), before);

    const calllog::ImportResult missing = calllog::importOldLog(logs + "/log.bin", log, "carol");
    EXPECT_FALSE(missing.ok);
    EXPECT_TRUE(missing.error.contains("log.bin"));
    EXPECT_EQ(read(log), before);
}

TEST(RowCheck, ARowIsItsRecordUntilTheFileChanges) {
    QTemporaryDir dir;
    const QString path = handbuilt::writeLog(dir.path());
    const CallLogTable table = CallLogTable::load(path, ConnectoidGrouping(handbuilt::phonebook()));
    QList<qint64> numbers;
    for (const CallLogRow& row : table.rows())
        numbers << row.Record_Number - 1;
    numbers << 9 << -1;
    const auto records = calllog::readRecords(path, numbers);
    ASSERT_EQ(records.size(), 9);
    for (size_t i = 0; i < table.rows().size(); ++i) {
        ASSERT_TRUE(records[static_cast<qsizetype>(i)]);
        EXPECT_TRUE(table.isRowOf(table.rows()[i], *records[static_cast<qsizetype>(i)])) << i;
    }
    EXPECT_FALSE(records[7]);
    EXPECT_FALSE(records[8]);

    // Record 1 as another program might leave it.
    const typCallLogInformation original = *records[0];
    const auto changed = [&](auto change) {
        typCallLogInformation r = original;
        change(r);
        return table.isRowOf(table.rows()[0], r);
    };
    EXPECT_FALSE(changed([](typCallLogInformation& r) { r.Start += 1.0 / 86400; }));
    EXPECT_FALSE(changed([](typCallLogInformation& r) { r.Cost_Inc = 0.46; }));
    EXPECT_FALSE(changed([](typCallLogInformation& r) { r.Deleted = 1; }));
    EXPECT_FALSE(changed([](typCallLogInformation& r) { r.User_Name = "bob"; }));
    EXPECT_FALSE(changed([](typCallLogInformation& r) { r.Connectoid_Name = "Mobile"; }));
    EXPECT_TRUE(changed([](typCallLogInformation&) {}));
    // The garbage record is still itself: its values are tamed the same way.
    EXPECT_TRUE(table.isRowOf(table.rows()[6], *records[6]));
}
