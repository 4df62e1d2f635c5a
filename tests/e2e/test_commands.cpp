// Commands to the running copy: `vorn --log` and the like reach the program that runs
// and open its window there; `vorn --exit` ends it.

#include "desktop_session.h"

#include <QFile>

using namespace e2e;

TEST_F(EndToEnd, CommandsReachTheRunningCopyWhichOpensOneWindowAndEnds) {
    ASSERT_NO_FATAL_FAILURE(startDisplay());
    writeSettings({"Version=1.17", "Show_Splash=0"});
    EXPECT_EQ(runVorn({"--exit"}), std::make_pair(1, QStringLiteral("VORN is not running.\n")));

    // What a crashed copy leaves behind does not stop the start.
    QFile stale(runtimePath("vorn.socket"));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();
    QProcess& vorn = spawn(QStringLiteral(VORN_PROGRAM), {"--dialup=simulated"});
    ASSERT_TRUE(waitFor([&] { return windowTitles().contains("VORN v1.17"); }, 20000))
        << vorn.readAllStandardError().toStdString();

    // The window opens in the running copy, once, however often it is asked for.
    const QString logWindow = QStringLiteral("Logs");
    EXPECT_EQ(runVorn({"--log"}).first, 0);
    ASSERT_TRUE(waitFor([&] { return windowTitles().contains(logWindow); }, 10000))
        << windowTitles().join(", ").toStdString();
    EXPECT_EQ(runVorn({"--log"}).first, 0);
    EXPECT_EQ(runVorn({"--options"}).first, 0);
    QTest::qWait(500);
    EXPECT_EQ(windowTitles().count(logWindow), 1) << windowTitles().join(", ").toStdString();

    // A plain second start keeps its box and leaves the first alone.
    QProcess& second = spawn(QStringLiteral(VORN_PROGRAM), {"--dialup=simulated"});
    ASSERT_TRUE(waitFor([&] { return windowTitles().contains("VORN"); }, 10000));
    EXPECT_EQ(windowTitles().count(logWindow), 1);
    second.kill();
    second.waitForFinished(5000);

    EXPECT_EQ(runVorn({"--exit"}).first, 0);
    ASSERT_TRUE(vorn.waitForFinished(10000));
    EXPECT_EQ(vorn.exitCode(), 0);
}
