#include "calllog/call_log_export.h"
#include "calllog/call_log_file.h"
#include "calllog/connectoid_list.h"
#include "hand_built_call_log.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray lines(const QStringList& lines) {
    return (lines.join("\r\n") + "\r\n").toUtf8();
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

const QString DetailHeader = R"x("Connectoid Name","Start Date","Start Time","Finish Date",)x"
                             R"x("Finish Time","Length","Cost (exc.)","Cost (inc.)",)x"
                             R"x("Data Transferred","Connect Speed","Mode")x";
const QString ProjectionsHeader = R"x("Projection","Time","Cost (exc)","Cost (inc)",)x"
                                  R"x("Data Transferred")x";
const QString UsageHeader = R"x("Usage","Time","Cost","Data Transferred")x";

class Exports : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString logs = dir.filePath("Logs");
    ConnectoidGrouping grouping{handbuilt::phonebook()};
    CallLogTable table = CallLogTable::load(handbuilt::writeLog(logs), grouping);

    struct Files {
        QByteArray detail, projections, usage;
    };
    Files exports(const RegionalSettings& regional, const ConnectoidFilter& filter) const {
        const CallLogTexts texts(regional, 0, 0, QLocale::c());
        const CallLogFigures figures = selectCalls(table, filter, handbuilt::now()).figures;
        return {logexport::detailBytes(table, filter, texts),
                logexport::projectionsBytes(texts.headingRows(figures)),
                logexport::usageBytes(texts.statisticsRows(figures))};
    }
};

TEST_F(Exports, EnglishRegionalSettings) {
    const Files files = exports(RegionalSettings::english(), ConnectoidFilter::all());
    EXPECT_EQ(
        files.detail,
        lines(
            {DetailHeader,
             R"x("Home ISP","31/01/2024","23:50:00","01/02/2024","00:20:00","00:00:30:00","0.5","0.45","1536000","Unknown","Auto")x",
             R"x("Mobile","10/02/2024","10:00:00","10/02/2024","10:45:30","00:00:45:30","1.2","1.2","0","115200","Discon")x",
             R"x("Unknown/Other","20/02/2024","08:00:00","20/02/2024","09:00:00","00:01:00:00","0.6","0.4","3145728","33600","Insert")x",
             R"x("All","01/03/2024","00:00:00","01/03/2024","00:10:00","00:00:10:00","0.1","0.1","10240","56000","Error")x",
             R"x("????????","05/03/2024","12:00:00","05/03/2024","12:00:00","00:00:00:00","-0.25","-0.25","0","Unknown","Adjust")x",
             R"x("Work ""VPN""","10/03/2024","20:00:00","10/03/2024","20:30:00","00:00:30:00","0.3","0.3","524288","28800","Edit")x",
             R"x("Home ISP","","","","","00:00:00:00","0","0","4294967295","Unknown","Rcvrd")x"}));
    EXPECT_EQ(files.projections,
              lines({ProjectionsHeader,
                     R"x("Weekly Projection","00:00:20:28","£0.29","£0.26","478.45MB")x",
                     R"x("Monthly Projection","00:01:27:45","£1.23","£1.10","2.00GB")x",
                     R"x("Quarterly Projection","00:04:23:15","£3.68","£3.30","6.01GB")x",
                     R"x("Yearly Projection","00:17:47:37","£14.90","£13.38","24.36GB")x",
                     R"x("January 2024","00:00:30:00","£0.50","£0.45","1.46MB")x",
                     R"x("February 2024","00:01:45:30","£1.80","£1.60","3.00MB")x",
                     R"x("March 2024","00:00:40:00","£0.15","£0.15","522.00KB")x"}));
    EXPECT_EQ(
        files.usage,
        lines({UsageHeader, R"x("Total (excluding discount)","00:02:55:30","£2.45","4.00GB")x",
               R"x("Discount","not applicable","£0.25","not applicable")x",
               R"x("Total (including discount)","00:02:55:30","£2.20","4.00GB")x"}));
}

TEST_F(Exports, CommaDecimalsStayInsideTheQuotes) {
    const Files files = exports(RegionalSettings::italian(), ConnectoidFilter::named("Home ISP"));
    EXPECT_EQ(
        files.detail,
        lines(
            {DetailHeader,
             R"x("Home ISP","31/01/2024","23.50.00","01/02/2024","00.20.00","00.00.30.00","0,5","0,45","1536000","Unknown","Auto")x",
             R"x("Home ISP","","","","","00.00.00.00","0","0","4294967295","Unknown","Rcvrd")x"}));
    EXPECT_EQ(files.projections,
              lines({ProjectionsHeader,
                     R"x("Weekly Projection","00.00.03.30","€ 0,06","€ 0,05","478,04MB")x",
                     R"x("Monthly Projection","00.00.15.00","€ 0,25","€ 0,23","2,00GB")x",
                     R"x("Quarterly Projection","00.00.45.00","€ 0,75","€ 0,68","6,00GB")x",
                     R"x("Yearly Projection","00.03.02.30","€ 3,04","€ 2,74","24,34GB")x",
                     R"x("January 2024","00.00.30.00","€ 0,50","€ 0,45","1,46MB")x"}));
    EXPECT_EQ(
        files.usage,
        lines({UsageHeader, R"x("Total (excluding discount)","00.00.30.00","€ 0,50","4,00GB")x",
               R"x("Discount","not applicable","€ 0,05","not applicable")x",
               R"x("Total (including discount)","00.00.30.00","€ 0,45","4,00GB")x"}));
}

TEST_F(Exports, EmptyLogGivesHeadersOnly) {
    const CallLogTable empty =
        CallLogTable::load(handbuilt::writeLog(dir.filePath("empty"), {}), grouping);
    const CallLogTexts texts(RegionalSettings::english(), 0, 0, QLocale::c());
    const CallLogFigures figures =
        selectCalls(empty, ConnectoidFilter::all(), handbuilt::now()).figures;
    EXPECT_EQ(logexport::detailBytes(empty, ConnectoidFilter::all(), texts), lines({DetailHeader}));
    EXPECT_EQ(logexport::projectionsBytes(texts.headingRows(figures)), lines({ProjectionsHeader}));
    EXPECT_EQ(logexport::usageBytes(texts.statisticsRows(figures)), lines({UsageHeader}));
}

TEST_F(Exports, WritesThroughASaveFileAndRefusesTheLogsOwnFiles) {
    const CallLogTexts texts(RegionalSettings::english(), 0, 0, QLocale::c());
    const QString target = dir.filePath("vorn export detail.txt");
    const ExportResult written =
        exportDetail(logs, target, ConnectoidFilter::named("Mobile"), grouping, texts);
    EXPECT_TRUE(written.ok()) << written.message.toStdString();
    EXPECT_EQ(fileBytes(target),
              logexport::detailBytes(table, ConnectoidFilter::named("Mobile"), texts));

    const QByteArray log = fileBytes(calllog::logFilePath(logs));
    ASSERT_TRUE(QFile::link(calllog::logFilePath(logs), dir.filePath("log link.txt")));
    ASSERT_TRUE(QFile::link(QDir(logs).filePath("call.new"), dir.filePath("dangling.txt")));
    ASSERT_EQ(::link(QFile::encodeName(calllog::logFilePath(logs)).constData(),
                     QFile::encodeName(dir.filePath("hard.txt")).constData()),
              0);
    QDir(logs).mkdir("sub");
    for (const QString& refused :
         {calllog::logFilePath(logs), QDir(logs).filePath("call.bak"),
          QDir(logs).filePath("sub/../password.bin"), dir.filePath("log link.txt"),
          dir.filePath("dangling.txt"), dir.filePath("hard.txt")}) {
        const ExportResult r =
            exportDetail(logs, refused, ConnectoidFilter::all(), grouping, texts);
        EXPECT_EQ(r.status, ExportResult::Refused) << refused.toStdString();
        EXPECT_TRUE(r.message.contains(QDir::toNativeSeparators(refused)));
        EXPECT_EQ(writeExportFile(refused, "x", logs).status, ExportResult::Refused);
    }
    EXPECT_EQ(fileBytes(calllog::logFilePath(logs)), log);
    EXPECT_FALSE(QFile::exists(QDir(logs).filePath("call.new")));
    EXPECT_TRUE(writeExportFile(QDir(logs).filePath("report.txt"), "x", logs).ok());

    // A target that cannot be written is reported, and an existing one is left as it was.
    QFile::remove(dir.filePath("folder"));
    QDir(dir.path()).mkdir("folder");
    const ExportResult onFolder = writeExportFile(dir.filePath("folder"), "x", logs);
    EXPECT_EQ(onFolder.status, ExportResult::Failed);
    EXPECT_TRUE(QFileInfo(dir.filePath("folder")).isDir());
    const ExportResult underFile = writeExportFile(target + "/x.txt", "x", logs);
    EXPECT_EQ(underFile.status, ExportResult::Failed);
    EXPECT_TRUE(underFile.message.contains(target + "/x.txt")) << underFile.message.toStdString();
    EXPECT_EQ(fileBytes(target).left(20), lines({DetailHeader}).left(20));

    // Without a call log the detail export writes nothing.
    ASSERT_TRUE(calllog::resetLog(calllog::logFilePath(logs)));
    const ExportResult none =
        exportDetail(logs, dir.filePath("new.txt"), ConnectoidFilter::all(), grouping, texts);
    EXPECT_EQ(none.status, ExportResult::NoCallLog);
    EXPECT_FALSE(QFile::exists(dir.filePath("new.txt")));
}

TEST(ResetLog, ReportsAFailedDeletion) {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("log070.bin/inside"); // a folder that will not go
    QString error;
    EXPECT_FALSE(calllog::resetLog(dir.filePath("log070.bin"), &error));
    EXPECT_TRUE(error.contains(dir.filePath("log070.bin"))) << error.toStdString();
    EXPECT_TRUE(calllog::resetLog(dir.filePath("missing.bin"), &error));
}

} // namespace
