// The log window in the real program: `vorn --log` opens it once over the call log, newest
// call first, and it fits the smallest screen; its detail report, printed from the keyboard
// into a PDF, lists the calls in that order.

#include "desktop_session.h"

#include "calllog/call_log_record.h"

#include <QStandardPaths>

using namespace e2e;

TEST_F(EndToEnd, LogCommandOpensTheLogWindowOnTheNewestCall) {
    if (QStandardPaths::findExecutable("xdotool").isEmpty() ||
        QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "xdotool or pdftotext is not installed (scripts/deps.sh installs them)";
    ASSERT_NO_FATAL_FAILURE(startDisplay());
    writeSettings({"Version=1.17", "Show_Splash=0"});
    // In file order: a midday call, the newest call, the oldest call.
    QByteArray log;
    for (const auto& [day, hour, minute, second] :
         {std::tuple{45350, 12, 30, 0}, {45360, 20, 45, 10}, {45340, 8, 15, 0}}) {
        typCallLogInformation r;
        r.Start = day + (hour * 3600 + minute * 60 + second) / 86400.0;
        r.Finish = r.Start + 0.01;
        r.Cost_Inc = r.Cost_Exc = 0.25;
        r.Connectoid_Name = "Demo";
        log += calllog::encodeRecord(r);
    }
    QDir().mkpath(QFileInfo(logPath()).path());
    QFile file(logPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(log);
    file.close();

    QProcess& vorn = spawn(QStringLiteral(VORN_PROGRAM), {"--dialup=simulated"});
    ASSERT_TRUE(waitFor([&] { return windowTitles().contains("VORN v1.17"); }, 20000))
        << vorn.readAllStandardError().toStdString();
    EXPECT_EQ(runVorn({"--log"}).first, 0);
    ASSERT_TRUE(waitFor([&] { return windowTitles().contains("Logs"); }, 10000))
        << windowTitles().join(", ").toStdString();
    EXPECT_EQ(runVorn({"--log"}).first, 0);
    QTest::qWait(500);
    EXPECT_EQ(windowTitles().count("Logs"), 1);

    const QImage screen = grabScreen("e2e-log-window.png");
    ASSERT_EQ(screen.size(), QSize(800, 600));
    const QRect window = litArea(screen);
    EXPECT_GE(window.width(), 600);
    EXPECT_GE(window.height(), 450);
    EXPECT_TRUE(QRect(0, 0, 800, 600).contains(window));

    // The list has the keyboard: its menu, Print, Detail, Yes, and a PDF file to print into.
    const auto keys = [&](const QStringList& names) {
        return xdotool(QStringList{"key", "--delay", "150"} + names);
    };
    ASSERT_TRUE(keys({"Menu"}));
    QTest::qWait(500);
    ASSERT_TRUE(keys({"p", "d"}));
    ASSERT_TRUE(waitFor([&] { return windowTitles().contains("VORN"); }, 10000))
        << windowTitles().join(", ").toStdString();
    ASSERT_TRUE(keys({"y"}));
    ASSERT_TRUE(waitFor([&] { return windowTitles().join(u'|').contains("PDF"); }, 10000))
        << windowTitles().join(", ").toStdString();
    const QString pdf = QDir(dir.path()).filePath("detail.pdf");
    QTest::qWait(500);
    ASSERT_TRUE(xdotool({"type", "--delay", "20", pdf}));
    ASSERT_TRUE(keys({"Return"}));
    ASSERT_TRUE(waitFor([&] { return QFileInfo(pdf).size() > 0; }, 20000))
        << windowTitles().join(", ").toStdString();

    QProcess text;
    text.start("pdftotext", {"-layout", pdf, "-"});
    ASSERT_TRUE(text.waitForFinished(20000));
    QStringList rows;
    for (const QString& line : QString::fromUtf8(text.readAllStandardOutput()).split(u'\n'))
        if (line.startsWith("Unknown/Other")) // "Demo" is no dial-up entry here
            rows << line;
    ASSERT_EQ(rows.size(), 3);
    EXPECT_TRUE(rows[0].contains("20:45:10")) << rows[0].toStdString();
    EXPECT_TRUE(rows[1].contains("12:30:00")) << rows[1].toStdString();
    EXPECT_TRUE(rows[2].contains("08:15:00")) << rows[2].toStdString();

    EXPECT_EQ(runVorn({"--exit"}).first, 0);
    ASSERT_TRUE(vorn.waitForFinished(10000));
    EXPECT_EQ(vorn.exitCode(), 0);
}
