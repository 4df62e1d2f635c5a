// The log window in the real program: `vorn --log` opens it once over the call log, newest
// call first, and it fits the smallest screen; another window asked for meanwhile waits; its
// detail report, printed from the keyboard into a PDF, lists the calls in that order.

#include "desktop_session.h"

#include "calllog/call_log_file.h"

using namespace e2e;

TEST_F(EndToEnd, LogCommandOpensTheLogWindowOnTheNewestCall) {
    writeSettings({});
    // In file order: a midday call, the newest call, the oldest call.
    QDir().mkpath(QFileInfo(logPath()).path());
    for (const auto& [day, seconds] : {std::pair{45350, 45000}, {45360, 74710}, {45340, 29700}}) {
        const double start = day + seconds / 86400.0;
        AppendLogEntry(logPath(), {start, start + 0.01, 0.25, 0.25, ModeAuto, 0, 0, "Demo", {}, 0});
    }

    QProcess& vorn = startVorn();
    ASSERT_NO_FATAL_FAILURE(opensOnce("--log", "Logs"));
    EXPECT_EQ(vornCommand("--options"), 0);
    QTest::qWait(500);
    EXPECT_FALSE(windowTitles().contains("Options")) << "one program window at a time";
    openWindow("e2e-log-window.png", {600, 450});

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

    QStringList rows;
    for (const QString& line : run("pdftotext", {"-layout", pdf, "-"}).second.split(u'\n'))
        if (line.startsWith("Unknown/Other")) // "Demo" is no dial-up entry here
            rows << line;
    ASSERT_EQ(rows.size(), 3);
    EXPECT_TRUE(rows[0].contains("20:45:10")) << rows[0].toStdString();
    EXPECT_TRUE(rows[1].contains("12:30:00")) << rows[1].toStdString();
    EXPECT_TRUE(rows[2].contains("08:15:00")) << rows[2].toStdString();
    exitVorn(vorn);
}
