#include "monitor_harness.h"

#include "app/vorn_application.h"
#include "calllog/call_log_file.h"
#include "calllog/call_recorder.h"
#include "monitor/vorn_timer.h"
#include "widgets/lcd_label.h"

#include <QAction>
#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <gtest/gtest.h>

namespace {
void touch(const QString& path, const QByteArray& content = "x") {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void sendMouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButton button,
               Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(at), target->mapToGlobal(QPointF(at)), button, held,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}
} // namespace

TEST(MainWindow, StartUpPreparesTheLogsFolderAndAppliesTheSettings) {
    MonitorHarness h;
    const QDir home(h.home.path());
    ASSERT_TRUE(home.mkpath("Logs"));
    // The live log in Logs, and a stray copy left in the program folder (twice, as if it
    // was put back after an earlier start of the same day).
    typCallLogInformation call;
    call.Connectoid_Name = "Live";
    AppendLogEntry(h.logPath(), call);
    touch(home.filePath("Logs/log070.bin.old-2023-03-15"), "kept before");
    touch(home.filePath("log070.bin"), "stray copy");
    for (const char* name :
         {"old.bin", "log.txt", "notify.dat", "keep.txt", "Logs/notify_main.htm"})
        touch(home.filePath(name));
    h.set("Interval_Call_Checker", "1000").set("Applications_Delay", "0").set("Default_Menu", "2");
    h.set("Debug_Logging", "1");
    h.debugLog.setEnabled(true);

    TfrmDigital& w = h.start(); // on 15 March 2023
    ASSERT_EQ(h.log().size(), 1);
    EXPECT_EQ(h.log().first().Connectoid_Name, "Live");
    EXPECT_EQ(contents(home.filePath("Logs/log070.bin.old-2023-03-15")), "kept before");
    EXPECT_EQ(contents(home.filePath("Logs/log070.bin.old-2023-03-15-2")), "stray copy");
    EXPECT_TRUE(std::any_of(h.debugLog.lines().begin(), h.debugLog.lines().end(),
                            [](const QString& line) { return line.contains("log070.bin"); }));
    for (const char* moved : {"log070.bin", "old.bin", "log.txt", "notify.dat"}) {
        EXPECT_FALSE(home.exists(moved)) << moved;
        EXPECT_TRUE(home.exists(QStringLiteral("Logs/") + QLatin1String(moved))) << moved;
    }
    EXPECT_TRUE(home.exists("keep.txt"));
    EXPECT_FALSE(home.exists("Logs/notify_main.htm"));

    EXPECT_EQ(w.windowTitle(), "VORN v1.17");
    EXPECT_TRUE(w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(w.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(w.windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_EQ(w.timerChecker->interval(), 1000);
    EXPECT_TRUE(w.timerChecker->isRunning());
    EXPECT_FALSE(w.timerExecuteDelay->isRunning()) << "a delay of 0 never fires";
    EXPECT_EQ(w.popupTray->defaultAction(), w.mnuLog);
    EXPECT_EQ(w.lcdDigital->caption().trimmed(), "NO CALL");
    // The frame adds 3 pixels on each side of the LED text.
    EXPECT_EQ(w.height(), TfrmDigital::DigitalTextHeight(1, 0) + 6);
    EXPECT_TRUE(w.isVisible()) << "shown at start with \"Always\"";
}

TEST(MainWindow, ExitDuringACallAsksAndTheNextStartRecoversTheCall) {
    MonitorHarness h;
    TfrmDigital& w = h.start();
    QSignalSpy quit(&w, &TfrmDigital::quitRequested);
    w.mnuExitClick();
    EXPECT_EQ(quit.size(), 1) << "no question without a call";
    EXPECT_TRUE(h.prompts.shown.isEmpty());

    h.dialUp.dial("Demo");
    h.check();
    h.clock.advance(20000);
    h.check();
    h.prompts.answerNext(Prompts::Answer::No);
    w.mnuExitClick();
    ASSERT_EQ(h.prompts.shown.size(), 1);
    EXPECT_EQ(h.prompts.shown[0].text, "Are you sure you want to exit VORN during a call?");
    EXPECT_EQ(h.prompts.shown[0].buttons, Prompts::Buttons::YesNo);
    EXPECT_EQ(quit.size(), 1) << "No keeps the program running";

    h.prompts.answerNext(Prompts::Answer::Yes);
    w.mnuExitClick();
    EXPECT_EQ(quit.size(), 2);
    EXPECT_TRUE(h.log().isEmpty()) << "nothing is recorded on exit";
    h.window.reset();

    h.clock.advance(3600000);
    h.start();
    const auto log = h.log();
    ASSERT_EQ(log.size(), 1);
    EXPECT_EQ(log.first().Mode, ModeRecovered);
    EXPECT_EQ(log.first().Connectoid_Name, "Demo");
    EXPECT_NEAR((log.first().Finish - log.first().Start) * 86400, 20, 0.5);
    EXPECT_FALSE(h.store.hasValue({}, lastcall::Start));
}

TEST(MainWindow, AnUnhandledWriteErrorShowsTheFatalBoxAndWritesTheDebugFile) {
    MonitorHarness h;
    h.set("Debug_Logging", "1");
    TfrmDigital& w = h.start();
    h.dialUp.dial("Demo");
    h.check();
    h.check();
    // The call log cannot be written: a folder stands in its place.
    ASSERT_TRUE(QDir().mkpath(h.logPath()));
    h.dialUp.active->clear();
    const bool delivered = deliverGuarded(
        [&] {
            h.check();
            return true;
        },
        [&](const QString& message) { w.HandleException(message); });

    EXPECT_FALSE(delivered);
    EXPECT_EQ(h.terminatedWith, 1);
    ASSERT_FALSE(h.prompts.shown.isEmpty());
    const auto& box = h.prompts.shown.last();
    EXPECT_EQ(box.kind, Prompts::Kind::Error);
    EXPECT_EQ(box.buttons, Prompts::Buttons::Ok);
    const QStringList around = TfrmDigital::FatalErrorText("\t").split(u'\t');
    EXPECT_TRUE(box.text.startsWith(around[0]) && box.text.endsWith(around[1]));
    EXPECT_TRUE(box.text.contains("log070.bin"));
    EXPECT_FALSE(w.timerChecker->isRunning()) << "nothing runs on behind the box";

    const QString debugFile = QDir(h.home.path()).filePath("vorn_debug.txt");
    const QString text = QString::fromUtf8(contents(debugFile));
    EXPECT_TRUE(text.startsWith("VORN v1.17 Debug File -> ")) << text.left(80).toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("timerChecker - Start previously connected but now "
                                             "not connected")));
    EXPECT_TRUE(text.contains("Digital-HandleException-Start"));
    // The values stay, so the next start tries to record the call again.
    EXPECT_TRUE(h.store.hasValue({}, lastcall::Start));
}

TEST(MainWindow, AWindowPositionOffTheScreenIsPutBackAtTheCorner) {
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    // Default layout: 9 characters of 12 pixels, 16 pixels high, plus the frame.
    const int width = TfrmDigital::DigitalTextWidth(1, 9, 0);
    ASSERT_EQ(width, 108);
    struct Case {
        int left, top;
        bool moved;
    };
    for (const Case c :
         {Case{10, 20, false}, Case{screen.width() - width - 6, 0, true},
          Case{screen.width() - width - 7, 0, false}, Case{0, screen.height() - 16 - 6, true}}) {
        MonitorHarness h;
        h.set("Window_Left", QString::number(c.left)).set("Window_Top", QString::number(c.top));
        h.set("Intelligent_Display", "3").set("Adjust_Intelligence_After_Resolution_Change", "1");
        TfrmDigital& w = h.start();
        const QPoint expected = c.moved ? QPoint(0, 0) : QPoint(c.left, c.top);
        EXPECT_EQ(w.pos(), expected) << c.left << "," << c.top;
        EXPECT_EQ(h.stored("Window_Left"), QString::number(expected.x()));
        EXPECT_EQ(h.stored("Intelligent_Display"), c.moved ? "0" : "3");
    }
}

TEST(MainWindow, AResolutionChangeMovesTheWindowAtTheNextCheckWhenAsked) {
    for (const bool adjust : {false, true}) {
        MonitorHarness h;
        h.set("Window_Left", "40").set("Window_Top", "30");
        h.set("Adjust_Display_After_Resolution_Change", adjust ? "1" : "0");
        TfrmDigital& w = h.start();
        w.WMDisplayChange();
        EXPECT_EQ(w.pos(), QPoint(40, 30)) << "nothing moves before the check";
        h.check();
        EXPECT_EQ(w.pos(), adjust ? QPoint(0, 0) : QPoint(40, 30));
        EXPECT_FALSE(w.state().readjustPending);
    }
}

TEST(MainWindow, DraggingEitherLabelWithTheLeftButtonMovesAndSavesThePosition) {
    MonitorHarness h;
    h.set("Window_Left", "100").set("Window_Top", "50");
    TfrmDigital& w = h.start();
    ASSERT_EQ(w.pos(), QPoint(100, 50));

    sendMouse(w.lcdDigital, QEvent::MouseButtonPress, {5, 5}, Qt::RightButton, Qt::RightButton);
    sendMouse(w.lcdDigital, QEvent::MouseMove, {25, 15}, Qt::NoButton, Qt::RightButton);
    EXPECT_EQ(w.pos(), QPoint(100, 50)) << "the right button does not drag";
    sendMouse(w.lcdDigital, QEvent::MouseButtonRelease, {25, 15}, Qt::RightButton, Qt::NoButton);
    EXPECT_EQ(h.stored("Window_Left"), "100");
    // Without a tray the right button is the way to the menu.
    EXPECT_EQ(w.popupTray->isVisible(), !QSystemTrayIcon::isSystemTrayAvailable());
    w.popupTray->hide();

    sendMouse(w.lcdLights, QEvent::MouseButtonPress, {2, 2}, Qt::LeftButton, Qt::LeftButton);
    sendMouse(w.lcdLights, QEvent::MouseMove, {22, 12}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(w.pos(), QPoint(120, 60));
    sendMouse(w.lcdLights, QEvent::MouseButtonRelease, {22, 12}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(h.stored("Window_Left"), "120");
    EXPECT_EQ(h.stored("Window_Top"), "60");
    EXPECT_EQ(h.settings.Window_Left, 120);
    EXPECT_EQ(h.settings.Window_Top, 60);
}

TEST(MainWindow, FatalErrorTextHasEveryPieceInOrder) {
    const QString text = TfrmDigital::FatalErrorText("Boom");
    const QStringList pieces = {
        "A fatal error has occurred :-\n\r\n\r",
        "Boom",
        "\n\r\n\rv1.17\n\r\n\r",
        " as many details as possible on the circumstances which caused the problem to occur.",
        " Ideally send a screenshot of the error message but please use a compressed image "
        "format.",
        "\n\r\n\rPlease ensure you include your regional settings"};
    qsizetype at = 0;
    for (const QString& piece : pieces) {
        const qsizetype found = text.indexOf(piece, at);
        ASSERT_GE(found, at) << piece.toStdString();
        at = found + piece.size();
    }
}
