// The main window around the call: its start, exit and recovery, fatal errors, position,
// the about window, the tray menu and hint, sounds, and the background mail check against a
// scripted POP3 server on 127.0.0.1 (port 0).

#include "monitor_harness.h"
#include "recording_help.h"
#include "scripted_pop3_server.h"

#include "app/vorn_application.h"
#include "calllog/call_recorder.h"
#include "monitor/tfrm_splash.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTcpServer>
#include <QTimer>

namespace {
using MainWindow = Monitor;
using TrayMenu = Monitor;

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

const QString IpBox = QStringLiteral(
    "Your current IP Address is :-\n\r\n\r127.0.0.1\n\r\n\r(This information is also available "
    "if you hover the cursor over the VORN tray icon.)");
} // namespace

TEST_F(MainWindow, StartUpPreparesTheLogsFolderAndAppliesTheSettings) {
    const QDir folder(home.path());
    ASSERT_TRUE(folder.mkpath("Logs"));
    // The live log in Logs, and a stray copy left in the program folder (twice, as if it
    // was put back after an earlier start of the same day).
    typCallLogInformation call;
    call.Connectoid_Name = "Live";
    AppendLogEntry(logPath(), call);
    touch(folder.filePath("Logs/log070.bin.old-2023-03-15"), "kept before");
    touch(folder.filePath("log070.bin"), "stray copy");
    for (const char* name :
         {"old.bin", "log.txt", "notify.dat", "keep.txt", "Logs/notify_main.htm"})
        touch(folder.filePath(name));
    set("Interval_Call_Checker", "1000").set("Applications_Delay", "0").set("Default_Menu", "2");
    set("Debug_Logging", "1");
    debugLog.setEnabled(true);

    TfrmDigital& w = start(); // on 15 March 2023
    ASSERT_EQ(log().size(), 1);
    EXPECT_EQ(log().first().Connectoid_Name, "Live");
    EXPECT_EQ(contents(folder.filePath("Logs/log070.bin.old-2023-03-15")), "kept before");
    EXPECT_EQ(contents(folder.filePath("Logs/log070.bin.old-2023-03-15-2")), "stray copy");
    EXPECT_TRUE(std::any_of(debugLog.lines().begin(), debugLog.lines().end(),
                            [](const QString& line) { return line.contains("log070.bin"); }));
    for (const char* moved : {"log070.bin", "old.bin", "log.txt", "notify.dat"}) {
        EXPECT_FALSE(folder.exists(moved)) << moved;
        EXPECT_TRUE(folder.exists(QStringLiteral("Logs/") + QLatin1String(moved))) << moved;
    }
    EXPECT_TRUE(folder.exists("keep.txt"));
    EXPECT_FALSE(folder.exists("Logs/notify_main.htm"));

    EXPECT_TRUE(w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(w.timerChecker->interval(), 1000);
    EXPECT_FALSE(w.timerExecuteDelay->isRunning()) << "a delay of 0 never fires";
    EXPECT_EQ(w.popupTray->defaultAction(), w.mnuLog);
    EXPECT_EQ(w.lcdDigital->caption().trimmed(), "NO CALL");
    EXPECT_TRUE(w.isVisible()) << "shown at start with \"Always\"";
}

TEST_F(MainWindow, ExitDuringACallAsksAndTheNextStartRecoversTheCall) {
    TfrmDigital& w = start();
    QSignalSpy quit(&w, &TfrmDigital::quitRequested);
    w.mnuExitClick();
    EXPECT_EQ(quit.size(), 1) << "no question without a call";
    connect();
    clock.advance(20000);
    check();
    prompts.answerNext(Prompts::Answer::No);
    w.mnuExitClick();
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].text, "Are you sure you want to exit VORN during a call?");
    EXPECT_EQ(prompts.shown[0].buttons, Prompts::Buttons::YesNo);
    EXPECT_EQ(quit.size(), 1) << "No keeps the program running";
    prompts.answerNext(Prompts::Answer::Yes);
    w.mnuExitClick();
    EXPECT_EQ(quit.size(), 2);
    EXPECT_TRUE(log().isEmpty()) << "nothing is recorded on exit";
    window.reset();

    clock.advance(3600000);
    start();
    ASSERT_EQ(log().size(), 1);
    EXPECT_EQ(log().first().Mode, ModeRecovered);
    EXPECT_EQ(log().first().Connectoid_Name, "Demo");
    EXPECT_NEAR((log().first().Finish - log().first().Start) * 86400, 20, 0.5);
    EXPECT_FALSE(store.hasValue({}, lastcall::Start));
}

TEST_F(MainWindow, AnUnhandledWriteErrorShowsTheFatalBoxAndWritesTheDebugFile) {
    set("Debug_Logging", "1");
    TfrmDigital& w = start();
    connect();
    check();
    ASSERT_TRUE(QDir().mkpath(logPath())); // a folder stands where the call log goes
    dialUp.active->clear();
    EXPECT_FALSE(deliverGuarded(
        [&] {
            check();
            return true;
        },
        [&](const QString& message) { w.HandleException(message); }));
    EXPECT_EQ(terminatedWith, 1);
    ASSERT_FALSE(prompts.shown.isEmpty());
    const auto& box = prompts.shown.last();
    EXPECT_EQ(box.kind, Prompts::Kind::Error);
    EXPECT_TRUE(box.text.startsWith("A fatal error has occurred :-\n\r\n\r"));
    EXPECT_TRUE(box.text.contains(QRegularExpression(
        "log070.bin.*\n\r\n\rv1.17\n\r\n\r.* as many details as possible on the circumstances "
        "which caused the problem to occur\\. Ideally send a screenshot of the error message but "
        "please use a compressed image format\\..*\n\r\n\rPlease ensure you include your "
        "regional settings",
        QRegularExpression::DotMatchesEverythingOption)));
    EXPECT_FALSE(w.timerChecker->isRunning()) << "nothing runs on behind the box";

    const QString debug = QString::fromUtf8(contents(QDir(home.path()).filePath("vorn_debug.txt")));
    EXPECT_TRUE(debug.startsWith("VORN v1.17 Debug File -> ")) << debug.left(80).toStdString();
    EXPECT_TRUE(debug.contains("timerChecker - Start previously connected but now not connected"));
    EXPECT_TRUE(debug.contains("Digital-HandleException-Start"));
    // The values stay, so the next start tries to record the call again.
    EXPECT_TRUE(store.hasValue({}, lastcall::Start));
}

TEST(MainWindowPosition, OffTheScreenOrAfterAResolutionChangeTheWindowGoesToTheCorner) {
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    const int width = TfrmDigital::DigitalTextWidth(1, 9, 0); // 108, plus the frame
    for (const auto& [left, top, moved] : {std::tuple{10, 20, false},
                                           {screen.width() - width - 6, 0, true},
                                           {screen.width() - width - 7, 0, false},
                                           {0, screen.height() - 16 - 6, true}}) {
        MonitorHarness h;
        h.set("Window_Left", QString::number(left)).set("Window_Top", QString::number(top));
        h.set("Intelligent_Display", "3").set("Adjust_Intelligence_After_Resolution_Change", "1");
        TfrmDigital& w = h.start();
        const QPoint expected = moved ? QPoint(0, 0) : QPoint(left, top);
        EXPECT_EQ(w.pos(), expected) << left << "," << top;
        EXPECT_EQ(h.stored("Window_Left"), QString::number(expected.x()));
        EXPECT_EQ(h.stored("Intelligent_Display"), moved ? "0" : "3");
    }
    for (const bool adjust : {false, true}) {
        MonitorHarness h;
        h.set("Window_Left", "40").set("Window_Top", "30");
        h.set("Adjust_Display_After_Resolution_Change", adjust ? "1" : "0");
        TfrmDigital& w = h.start();
        w.WMDisplayChange();
        EXPECT_EQ(w.pos(), QPoint(40, 30)) << "nothing moves before the check";
        h.check();
        EXPECT_EQ(w.pos(), adjust ? QPoint(0, 0) : QPoint(40, 30));
    }
}

TEST_F(MainWindow, DraggingEitherLabelWithTheLeftButtonMovesAndSavesThePosition) {
    set("Window_Left", "100").set("Window_Top", "50");
    TfrmDigital& w = start();
    sendMouse(w.lcdDigital, QEvent::MouseButtonPress, {5, 5}, Qt::RightButton, Qt::RightButton);
    sendMouse(w.lcdDigital, QEvent::MouseMove, {25, 15}, Qt::NoButton, Qt::RightButton);
    EXPECT_EQ(w.pos(), QPoint(100, 50)) << "the right button does not drag";
    sendMouse(w.lcdDigital, QEvent::MouseButtonRelease, {25, 15}, Qt::RightButton, Qt::NoButton);
    // Without a tray the right button is the way to the menu.
    EXPECT_EQ(w.popupTray->isVisible(), !QSystemTrayIcon::isSystemTrayAvailable());
    w.popupTray->hide();

    sendMouse(w.lcdLights, QEvent::MouseButtonPress, {2, 2}, Qt::LeftButton, Qt::LeftButton);
    sendMouse(w.lcdLights, QEvent::MouseMove, {22, 12}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(w.pos(), QPoint(120, 60));
    sendMouse(w.lcdLights, QEvent::MouseButtonRelease, {22, 12}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(stored("Window_Left"), "120");
    EXPECT_EQ(stored("Window_Top"), "60");
    EXPECT_EQ(settings.Window_Top, 60);
}

TEST_F(MainWindow, AboutWindowAfterAnUpdateAndFromTheMenuStoresItsBoxOnlyOnOk) {
    enum class Leave { Ok, Escape, CloseBox };
    // Runs once the about window is up (it is modal), then leaves it as said.
    const auto whenShown = [](const std::function<void(TfrmSplash&)>& act, Leave leave,
                              bool showAgain) {
        QTimer::singleShot(0, [act, leave, showAgain] {
            auto* splash = qobject_cast<TfrmSplash*>(QApplication::activeModalWidget());
            ASSERT_NE(splash, nullptr);
            act(*splash);
            splash->findChild<QCheckBox*>("chkShowSplash")->setChecked(showAgain);
            if (leave == Leave::Ok)
                splash->findChild<QPushButton*>("btnOK")->click();
            else if (leave == Leave::Escape)
                QTest::keyClick(splash, Qt::Key_Escape);
            else
                splash->close();
        });
    };
    set("Version", "1.16");
    bool shown = false;
    whenShown(
        [&](TfrmSplash& splash) {
            shown = true;
            EXPECT_FALSE(splash.findChild<QCheckBox*>("chkShowSplash")->isChecked());
            const QStringList lines =
                splash.findChild<QPlainTextEdit*>("memoAbout")->toPlainText().split(u'\n');
            EXPECT_EQ(lines.value(0), "VORN v1.17");
            EXPECT_EQ(lines.value(4), TfrmSplash::notice());
            // The program windows' guard holds the tray commands meanwhile.
            EXPECT_FALSE(window->mnuAbout->isEnabled() || window->mnuOptions->isEnabled());
        },
        Leave::Ok, false);
    TfrmDigital& w = start(); // shown after an update even when turned off
    EXPECT_TRUE(shown);
    EXPECT_EQ(prompts.shown.size(), 1) << "the reset question comes first";
    EXPECT_TRUE(w.mnuOptions->isEnabled());
    EXPECT_FALSE(w.mnuHangUp->isEnabled()) << "no call, so the call items stay off";

    connect();
    const auto nothing = [](TfrmSplash&) {};
    whenShown(nothing, Leave::Ok, true);
    w.mnuAboutClick();
    EXPECT_EQ(stored("Show_Splash"), "1");
    EXPECT_TRUE(w.mnuHangUp->isEnabled()) << "during a call the call items come back";
    // The close box stores nothing; Escape presses OK, the cancel button.
    whenShown(nothing, Leave::CloseBox, false);
    w.mnuAboutClick();
    EXPECT_EQ(stored("Show_Splash"), "1");
    whenShown(nothing, Leave::Escape, false);
    w.mnuAboutClick();
    EXPECT_EQ(stored("Show_Splash"), "0");
}

TEST_F(TrayMenu, TheHintListsTheShownTextsThatAreWantedAndCutsAtFiftyEight) {
    TfrmDigital& w = start();
    MainWindowState& s = w.state();
    const auto hint = [&] {
        w.SetConnectedHint();
        return w.trayGeneral->hint();
    };
    s.timeText = "00:02:13";
    s.costText = "£0.12";
    s.dtrText = "+0.85K/s";
    s.dataText = "1.20MB";
    s.ipText = "10.64.0.7";
    // Defaults: duration, cost and rate; cost per minute, data and address are off.
    EXPECT_EQ(hint(), "VORN - [Connected] - [00:02:13] - [£0.12] - [+0.85K/s]");
    // A known connect speed follows; 64 characters do not fit.
    settings.Icon_Hint_ConnectSpeed = true;
    s.connectSpeed = 28800;
    EXPECT_EQ(
        hint(),
        QStringLiteral("VORN - [Connected] - [00:02:13] - [£0.12] - [+0.85K/s] - [").left(58) +
            "...");
    // An item needs its display mode, its hint option and a text shown in this call.
    s.connectSpeed = 0;
    s.timeText.clear();
    settings.Show_Cost = false;
    settings.Icon_Hint_Data = settings.Icon_Hint_IPAddress = true;
    EXPECT_EQ(hint(), "VORN - [Connected] - [+0.85K/s] - [1.20MB] - [10.64.0.7]");
    settings.Show_DTR = settings.Show_Data_Transferred = settings.Icon_Hint_IPAddress = false;
    s.timeText = QString(47, u'9'); // 70 characters become 58 and "..."; 58 stay
    EXPECT_EQ(hint(), QStringLiteral("VORN - [Connected] - [") + QString(36, u'9') + "...");
    s.timeText = QString(35, u'9');
    EXPECT_EQ(hint(), QStringLiteral("VORN - [Connected] - [") + QString(35, u'9') + "]");
}

TEST(TrayMenuDefault, DoubleClickRunsTheDefaultMenuCommandWhileItIsEnabled) {
    const struct {
        int defaultMenu;
        std::optional<ProgramWindow> window;
        QString box = {};
        bool hangsUp = false;
        bool checksMail = false;
    } cases[] = {{0, ProgramWindow::Options},
                 {1, ProgramWindow::Tools},
                 {2, ProgramWindow::Log},
                 {3, {}, {}, false, true},
                 {4, {}, IpBox},
                 {5, {}, {}, true},
                 {6, {}},
                 {-1, {}}};
    for (const auto& c : cases)
        for (bool inCall : {true, false}) {
            SCOPED_TRACE(testing::Message() << c.defaultMenu << inCall);
            MonitorHarness f;
            TfrmDigital& w = f.start();
            f.settings.Default_Menu = c.defaultMenu;
            if (inCall) {
                f.connect();
                f.dialUp.active->first().interfaceName = "lo";
            }
            f.prompts.shown.clear();
            w.trayGeneral->handleNotification(TantTaskbarIcon::LeftDoubleClick);
            // Outside a call only the window commands are enabled.
            const bool enabled = inCall || c.defaultMenu <= 2;
            EXPECT_EQ(f.prompts.texts(),
                      c.box.isEmpty() || !enabled ? QStringList() : QStringList{c.box});
            EXPECT_EQ(f.windows.opened,
                      c.window ? std::vector{*c.window} : std::vector<ProgramWindow>{});
            EXPECT_EQ(!f.dialUp.hungUp.isEmpty(), c.hangsUp && enabled);
            EXPECT_EQ(w.trayMail->visible(), c.checksMail && enabled);
        }
}

TEST_F(TrayMenu, OptionsReloadTheSettingsHelpOpensAndTheMailIconStartsTheMailProgram) {
    RecordingHelp help;
    helpService = &help;
    set("Intelligent_Display", "1");
    TfrmDigital& w = start();
    set("Default_Menu", "2").set("Hide_Tray_Icon", "1").set("Interval_Call_Checker", "750");
    w.mnuOptionsClick();
    EXPECT_TRUE(w.timerAutoHide->enabled()) << "given back when the window closes";
    EXPECT_EQ(w.popupTray->defaultAction(), w.mnuLog);
    EXPECT_FALSE(w.trayGeneral->visible());
    EXPECT_EQ(w.timerChecker->interval(), 750);
    w.mnuHelp->trigger();
    EXPECT_EQ(help.topics, QStringList{"index"});

    settings.Mail_Application = "/usr/bin/mailer";
    settings.Mail_Application_Parameters = "--inbox";
    for (int tag : {0, 1}) { // only for mail
        w.trayMail->setVisible(true);
        w.trayMail->setTag(tag);
        w.trayMail->handleNotification(TantTaskbarIcon::LeftDoubleClick);
        EXPECT_FALSE(w.trayMail->visible());
    }
    EXPECT_EQ(shell.opened, (QList<std::pair<QString, QString>>{{"/usr/bin/mailer", "--inbox"}}));
    w.trayMail->setVisible(true);
    w.mnuMailClose->trigger();
    EXPECT_FALSE(w.trayMail->visible());
}

TEST_F(TrayMenu, SoundsChooseTonesWaveOrBothAndChargeSoundsPlayOncePerCall) {
    const auto played = [&] { // "tones:<count>:<first Hz>" or the wave's path
        QStringList out;
        for (const RecordingSound::Request& r : std::exchange(sound.requests, {}))
            out << (r.tones.isEmpty() ? r.wave
                                      : QString("tones:%1:%2")
                                            .arg(r.tones.size())
                                            .arg(r.tones.first().frequency));
        return out;
    };
    const QString detail = "Costing_Further_Details";
    set("Number_Of_Costing_Further_Details", "2");
    set("Connectoid_Name", "Default", detail + u'1').set("Option", "Minimum Charge", detail + u'1');
    set("Value", "0.5", detail + u'1').set("Connectoid_Name", "Default", detail + u'2');
    set("Option", "Maximum Charge", detail + u'2').set("Value", "5", detail + u'2');
    set("Sound_Event_AtMinimumCharge", "1").set("Sound_Event_AtMaximumCharge", "1");
    TfrmDigital& w = start();
    const QString own = QDir(home.path()).filePath("whenconnected.wav");
    touch(own);
    const QStringList expected[] = {{}, {"tones:3:1047"}, {own}, {"tones:3:1047", own}, {}, {}};
    const int choices[] = {0, 1, 2, 3, 4, -1};
    for (int i = 0; i < 6; ++i) {
        settings.Sound_Event_WhenConnected = choices[i];
        w.PlaySoundEvent("WhenConnected");
        EXPECT_EQ(played(), expected[i]) << choices[i];
    }
    w.PlaySoundEvent("whenconnected");
    EXPECT_TRUE(played().isEmpty()) << "event names are exact";
    // Each event has its own setting, sequence and wave (asked for even where there is none).
    settings.Sound_Event_WhenConnected = 0;
    settings.Sound_Event_NewMailNotification = 1;
    settings.Sound_Event_AtAutoDisconnectStart = 2;
    w.PlaySoundEvent("NewMailNotification");
    w.PlaySoundEvent("AtAutoDisconnectStart");
    w.PlaySoundEvent("WhenDisconnect");
    EXPECT_EQ(played(), (QStringList{"tones:15:2250",
                                     QDir(home.path()).filePath("atautodisconnectstart.wav")}));

    connect();
    typCallCostInformation& cost = w.state().costResult;
    cost.In_Minimum_Period = true;
    w.CheckChargeSounds();
    EXPECT_TRUE(sound.requests.isEmpty());
    cost.In_Minimum_Period = false;
    w.CheckChargeSounds();
    cost.In_Maximum_Period = true;
    w.CheckChargeSounds();
    w.CheckChargeSounds();
    EXPECT_EQ(played(), (QStringList{"tones:15:2093", "tones:10:2200"}));
    // Without the limits there is nothing to mark.
    set("Number_Of_Costing_Further_Details", "0");
    w.LoadProgramSettings();
    dropLine();
    played();
    connect();
    cost.In_Minimum_Period = false;
    cost.In_Maximum_Period = true;
    w.CheckChargeSounds();
    EXPECT_TRUE(sound.requests.isEmpty());
}

namespace {
// A mailbox per user on one server: the accounts share the port setting, and the check
// logs in to one account at a time, so the user of the session tells them apart.
class MailCheck : public Monitor {
protected:
    void SetUp() override {
        server.setResponder([this](const QByteArray& command) -> ScriptedPop3Server::Reply {
            if (command.startsWith("USER ")) {
                user = command.mid(5);
                logins << user;
                return {user == refusedUser ? "-ERR no such user\r\n" : "+OK\r\n"};
            }
            if (command == "STAT" && onStat)
                onStat();
            if (command == "STAT")
                return {stat.value(user, "-ERR maildrop busy\r\n")};
            return {command == "QUIT" ? "+OK bye\r\n" : "+OK\r\n", command == "QUIT"};
        });
        ASSERT_TRUE(server.listen());
        set("Port_Number", server.portText());
        storeAccount(1, "alice", true);
        storeAccount(2, "bob", true);
    }

    TfrmDigital& startInCall() {
        TfrmDigital& w = start();
        connect();
        return w;
    }

    // The mail icon in full: mail (tag 1) with this hint, or "No messages" (tag 0).
    bool showsMail(const QString& hint = {}) const {
        const bool mail = !hint.isEmpty();
        return window->trayMail->visible() && window->trayMail->tag() == int(mail) &&
               window->trayMail->hint() == (mail ? hint : "No messages") &&
               window->trayMail->icon().cacheKey() ==
                   (mail ? window->imgIconMail : window->imgIconNoMail).cacheKey();
    }

    ScriptedPop3Server server;
    QMap<QByteArray, QByteArray> stat{{"alice", "+OK 3 12345\r\n"}, {"bob", "+OK 2 500\r\n"}};
    QByteArray refusedUser;
    std::function<void()> onStat;
    QByteArray user;
    QList<QByteArray> logins;
};
} // namespace

TEST_F(MailCheck, MailInTheAccountsAskedIsAddedUpAnnouncedAndOpened) {
    set("Include_In_Startup_Check", "0", "POP31");
    set("Sound_Event_NewMailNotification", "2").set("Execute_Mail_Application", "1");
    set("Mail_Application", "/usr/bin/mailer").set("Mail_Application_Parameters", "-mail");
    TfrmDigital& w = startInCall();
    w.CheckForMail(false); // the check after connect asks only the included accounts
    EXPECT_EQ(server.commands(), (QList<QByteArray>{"USER bob", "PASS secret", "STAT", "QUIT"}));
    EXPECT_TRUE(showsMail("Total - 2 messages"));
    sound.requests.clear();
    shell.opened.clear();
    w.mnuCheckForMailClick(); // the menu asks all
    EXPECT_EQ(logins, (QList<QByteArray>{"bob", "alice", "bob"}));
    EXPECT_TRUE(server.waitForAllClosed(5000)) << "every session is ended";
    EXPECT_EQ(w.state().mailTotal, 5);
    EXPECT_TRUE(showsMail("Total - 5 messages"));
    ASSERT_EQ(sound.requests.size(), 1);
    EXPECT_TRUE(sound.requests[0].wave.endsWith("/newmailnotification.wav"));
    EXPECT_EQ(shell.opened, (QList<std::pair<QString, QString>>{{"/usr/bin/mailer", "-mail"}}));
    EXPECT_TRUE(w.mnuCheckForMail->isEnabled());

    // Without the option the program is left for the user; no mail, no sound.
    settings.Execute_Mail_Application = false;
    stat = {{"alice", "+OK 1 120\r\n"}, {"bob", "+OK 0 0\r\n"}};
    w.mnuCheckForMailClick();
    EXPECT_TRUE(showsMail("Total - 1 message"));
    stat["alice"] = "+OK 0 0\r\n";
    w.mnuCheckForMailClick();
    EXPECT_EQ(w.state().mailTotal, 0);
    EXPECT_TRUE(showsMail());
    EXPECT_EQ(sound.requests.size(), 2);
    EXPECT_EQ(shell.opened.size(), 1);
}

TEST_F(MailCheck, NoReachableAccountShowsNoMessagesAndAnUnknownTotal) {
    QTcpServer closed; // a port just freed: every connection is refused
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    set("Port_Number", QString::number(closed.serverPort()));
    closed.close();
    set("Sound_Event_NewMailNotification", "3");
    TfrmDigital& w = startInCall();
    w.CheckForMail(false);
    EXPECT_EQ(w.state().mailTotal, -1);
    EXPECT_TRUE(showsMail());
    EXPECT_TRUE(sound.requests.isEmpty());
}

TEST_F(MailCheck, AFailureEndsOnlyThatAccountAndCountsNothingTwice) {
    refusedUser = "alice";
    TfrmDigital& w = startInCall();
    w.CheckForMail(false);
    EXPECT_EQ(server.commands(),
              (QList<QByteArray>{"USER alice", "QUIT", "USER bob", "PASS secret", "STAT", "QUIT"}));
    EXPECT_EQ(w.state().mailTotal, 2);

    // A STAT refused after an account with mail leaves that account's count as it was.
    refusedUser.clear();
    stat["bob"] = "-ERR maildrop busy\r\n";
    w.CheckForMail(false);
    EXPECT_TRUE(showsMail("Total - 3 messages"));

    // A step nobody answers ends at the time-out; its session is dropped.
    stat["alice"] = "";
    stat["bob"] = "+OK 2 500\r\n";
    onStat = [&] {
        if (user == "alice")
            QTimer::singleShot(0, w.timerTimeout, [&w] { Q_EMIT w.timerTimeout->timeout(); });
    };
    w.CheckForMail(false);
    EXPECT_EQ(w.state().mailTotal, 2);
    EXPECT_TRUE(server.waitForAllClosed(5000));
}

TEST_F(MailCheck, TheEndOfTheCallCallsTheCheckOff) {
    TfrmDigital& w = startInCall();
    stat["alice"] = ""; // still counting when the line drops
    onStat = [this] { QTimer::singleShot(0, [this] { dropLine(); }); };
    w.CheckForMail(false);
    EXPECT_EQ(logins, QList<QByteArray>{"alice"});
    EXPECT_TRUE(showsMail());
    EXPECT_FALSE(w.mnuCheckForMail->isEnabled()) << "no call, no mail command";

    onStat = nullptr;
    stat["alice"] = "+OK 1 10\r\n";
    connect();
    w.CheckForMail(false);
    EXPECT_EQ(w.state().mailTotal, 3) << "the next call checks again";
}

// The whole road in the running window: the checker sees the call on its own timer, the
// delayed actions follow Applications_Delay seconds later and the check reaches the server.
TEST_F(MailCheck, RunsByItselfAfterConnectAndLooksUpTheCallsAddress) {
    set("Check_At_Startup", "1").set("Applications_Delay", "1").set("Interval_Call_Checker", "50");
    set("Icon_Hint_IPAddress", "1");
    TfrmDigital& w = start();
    dialUp.dial("Demo").interfaceName = "lo";
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.state().connected; }, 5000));
    EXPECT_FALSE(w.mnuCheckForMail->isEnabled()) << "the check after connect enables it";
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.trayMail->visible(); }, 15000));
    EXPECT_TRUE(showsMail("Total - 5 messages"));
    EXPECT_EQ(w.state().ipText, "127.0.0.1");
    // An interface that is gone: the host's own address, never the loopback one.
    dialUp.active->first().interfaceName = "nosuch0";
    EXPECT_NE(w.GetIPAddress(), "127.0.0.1");
}
