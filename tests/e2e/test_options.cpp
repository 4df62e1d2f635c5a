// The options dialog of the real program: `vorn --options` opens it in the running copy,
// once however often it is asked for, sized to fit an 800x600 screen whatever size was
// stored; Exit meanwhile writes none of it.

#include "desktop_session.h"

using namespace e2e;

TEST_F(EndToEnd, OptionsOpenOnceInTheRunningCopyAndFitTheScreen) {
    writeSettings(
        {"Options_Window_Width=2000", "Options_Window_Height=1500", "Show_Digital_Display=2"});
    QProcess& vorn = spawn(VORN_PROGRAM, {"--dialup=simulated"});
    // Its LED window never shows; its command socket says it is up.
    ASSERT_TRUE(waitFor([&] { return QFile::exists(runtimePath("vorn.socket")); }, 20000))
        << vorn.readAllStandardError().toStdString();
    ASSERT_NO_FATAL_FAILURE(opensOnce("--options", "Options"));
    // Wider and higher than its minimum, and clear of every edge.
    const QRect dialog = openWindow("e2e-options-window.png", {590, 450});
    EXPECT_TRUE(QRect(1, 1, 798, 598).contains(dialog)) << dialog.x() << "," << dialog.y();
    exitVorn(vorn);
    EXPECT_EQ(stored("Options_Window_Width"), "2000");
    EXPECT_EQ(stored("Show_Time"), "");
}
