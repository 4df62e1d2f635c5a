// The tools window in the real program: `vorn --tools` opens it once in the running copy,
// it fits the smallest screen, and ending the program while it is open loses nothing.

#include "desktop_session.h"

using namespace e2e;

TEST_F(EndToEnd, ToolsCommandOpensTheToolsWindowOnceAndItFitsTheScreen) {
    ASSERT_NO_FATAL_FAILURE(startDisplay());
    writeSettings({"Version=1.17", "Show_Splash=0", "Number_Of_Pings=1", "Ping1/Host=192.0.2.1",
                   "Ping1/Description=Router", "Ping1/DefaultItem=1"});
    QProcess& vorn = spawn(QStringLiteral(VORN_PROGRAM), {"--dialup=simulated"});
    ASSERT_TRUE(waitFor([&] { return windowTitles().contains("VORN v1.17"); }, 20000))
        << vorn.readAllStandardError().toStdString();

    EXPECT_EQ(runVorn({"--tools"}).first, 0);
    ASSERT_TRUE(waitFor([&] { return windowTitles().contains("Tools"); }, 10000))
        << windowTitles().join(", ").toStdString();
    EXPECT_EQ(runVorn({"--tools"}).first, 0);
    QTest::qWait(500);
    EXPECT_EQ(windowTitles().count("Tools"), 1);

    const QImage screen = grabScreen("e2e-tools-window.png");
    ASSERT_EQ(screen.size(), QSize(800, 600));
    // At least its minimum size, and wholly on the screen.
    const QRect window = litArea(screen);
    EXPECT_GE(window.width(), 630);
    EXPECT_GE(window.height(), 450);
    EXPECT_TRUE(QRect(0, 0, 800, 600).contains(window));

    EXPECT_EQ(runVorn({"--exit"}).first, 0);
    ASSERT_TRUE(vorn.waitForFinished(10000));
    EXPECT_EQ(vorn.exitCode(), 0);
    EXPECT_EQ(stored("Ping1/Host"), "192.0.2.1");
}
