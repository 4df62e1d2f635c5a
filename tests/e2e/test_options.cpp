// The options dialog of the real program: `vorn --options` opens it in the running copy,
// once however often it is asked for, sized to fit an 800x600 screen whatever size was
// stored; Exit meanwhile writes none of it.

#include "desktop_session.h"

using namespace e2e;

TEST_F(EndToEnd, OptionsOpenOnceInTheRunningCopyAndFitTheScreen) {
    ASSERT_NO_FATAL_FAILURE(startDisplay());
    writeSettings({"Version=1.17", "Show_Splash=0", "Options_Window_Width=2000",
                   "Options_Window_Height=1500", "Show_Digital_Display=2"});
    QProcess& vorn = spawn(QStringLiteral(VORN_PROGRAM), {"--dialup=simulated"});
    // Its LED window never shows; its command socket says it is up.
    ASSERT_TRUE(waitFor([&] { return QFile::exists(runtimePath("vorn.socket")); }, 20000))
        << vorn.readAllStandardError().toStdString();

    EXPECT_EQ(runVorn({"--options"}).first, 0);
    ASSERT_TRUE(waitFor([&] { return windowTitles().contains("Options"); }, 10000))
        << windowTitles().join(", ").toStdString();
    EXPECT_EQ(runVorn({"--options"}).first, 0);
    QTest::qWait(500);
    EXPECT_EQ(windowTitles().count("Options"), 1);

    const QImage screen = grabScreen("e2e-options-window.png");
    ASSERT_EQ(screen.size(), QSize(800, 600));
    // The dialog is all that is lit on the black screen: wider and higher than its
    // minimum, and clear of every edge.
    QRect lit;
    for (int y = 0; y < screen.height(); ++y)
        for (int x = 0; x < screen.width(); ++x)
            if (qGray(screen.pixel(x, y)) > 40)
                lit |= QRect(x, y, 1, 1);
    EXPECT_GE(lit.width(), 590);
    EXPECT_GE(lit.height(), 450);
    EXPECT_GT(lit.left(), 0);
    EXPECT_GT(lit.top(), 0);
    EXPECT_LT(lit.right(), 799);
    EXPECT_LT(lit.bottom(), 599);
    // The dialog alone, as the help page shows it.
    screen.copy(lit).save(artifactPath("e2e-options-dialog.png"));

    EXPECT_EQ(runVorn({"--exit"}).first, 0);
    ASSERT_TRUE(vorn.waitForFinished(10000));
    EXPECT_EQ(vorn.exitCode(), 0);
    EXPECT_EQ(stored("Options_Window_Width"), "2000");
    EXPECT_EQ(stored("Show_Time"), "");
}
