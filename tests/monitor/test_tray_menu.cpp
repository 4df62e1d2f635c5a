#include "tray_fixture.h"

#include "core/working_copy.h"
#include "recording_help.h"

#include "monitor/vorn_timer.h"
#include "widgets/taskbar_icon.h"

#include <QAction>
#include <QMenu>
#include <QTest>
#include <gtest/gtest.h>

namespace {
const QString IpBox = QStringLiteral(
    "Your current IP Address is :-\n\r\n\r127.0.0.1\n\r\n\r(This information is also available "
    "if you hover the cursor over the VORN tray icon.)");

QString hint(TfrmDigital& w) {
    w.SetConnectedHint();
    return w.trayGeneral->hint();
}
} // namespace

TEST(TrayHint, ListsTheShownTextsThatAreWantedAndCutsAtFiftyEight) {
    TrayFixture f;
    TfrmDigital& w = f.start();
    MainWindowState& s = w.state();
    s.timeText = "00:02:13";
    s.costText = "\u00a30.12";
    s.costPerMinuteText = "\u00a30.05/m";
    s.dtrText = "+0.85K/s";
    s.dataText = "1.20MB";
    s.ipText = "10.64.0.7";
    // Defaults: duration, cost and rate; cost per minute, data and address are off.
    EXPECT_EQ(hint(w), "VORN - [Connected] - [00:02:13] - [\u00a30.12] - [+0.85K/s]");

    // A known connect speed follows; 64 characters do not fit.
    f.settings.Icon_Hint_ConnectSpeed = true;
    s.connectSpeed = 28800;
    EXPECT_EQ(
        hint(w),
        QStringLiteral("VORN - [Connected] - [00:02:13] - [\u00a30.12] - [+0.85K/s] - [").left(58) +
            "...");

    // An item needs its display mode, its hint option and a text shown in this call.
    s.connectSpeed = 0;
    s.timeText.clear();
    f.settings.Show_Cost = false;
    f.settings.Icon_Hint_Data = true;
    f.settings.Icon_Hint_IPAddress = true;
    EXPECT_EQ(hint(w), "VORN - [Connected] - [+0.85K/s] - [1.20MB] - [10.64.0.7]");
    f.settings.Show_DTR = f.settings.Show_Data_Transferred = f.settings.Icon_Hint_IPAddress = false;
    EXPECT_EQ(hint(w), "VORN - [Connected]");

    // 70 characters become 58 and "..."; 58 stay as they are.
    s.timeText = QString(47, u'9');
    EXPECT_EQ(hint(w), QStringLiteral("VORN - [Connected] - [") + QString(36, u'9') + "...");
    s.timeText = QString(35, u'9');
    EXPECT_EQ(hint(w), QStringLiteral("VORN - [Connected] - [") + QString(35, u'9') + "]");
}

TEST(TrayMenu, DoubleClickRunsTheDefaultMenuCommandWhileItIsEnabled) {
    const struct {
        int defaultMenu;
        std::optional<ProgramWindow> window;
        QString box = {};
        bool hangsUp = false;
        bool checksMail = false;
    } cases[] = {
        {0, ProgramWindow::Options},
        {1, ProgramWindow::Tools},
        {2, ProgramWindow::Log},
        {3, {}, {}, false, true},
        {4, {}, IpBox},
        {5, {}, {}, true},
        {6, {}},
        {-1, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.defaultMenu);
        for (bool inCall : {true, false}) {
            TrayFixture f;
            TfrmDigital& w = f.start();
            f.settings.Default_Menu = c.defaultMenu;
            if (inCall) {
                f.callUp();
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
}

TEST(TrayMenu, AnOpenWindowGuardsTheTrayCommandsAndGivesThemBack) {
    for (bool inCall : {false, true}) {
        SCOPED_TRACE(inCall);
        TrayFixture f;
        f.set("Intelligent_Display", "1").set("Check_At_Startup", "0");
        TfrmDigital& w = f.start();
        if (inCall)
            f.callUp();
        QList<QAction*> enabledWhileOpen;
        f.windows.whileOpen = [&](ProgramWindow) {
            for (QAction* item : w.popupTray->actions())
                if (item->isEnabled() && !item->isSeparator())
                    enabledWhileOpen << item;
            EXPECT_FALSE(w.timerAutoHide->enabled());
            // Another window command while one is open does nothing.
            w.mnuOptionsClick();
            w.mnuLogClick();
            w.trayGeneral->handleNotification(TantTaskbarIcon::LeftDoubleClick);
        };
        w.mnuToolsClick();
        EXPECT_EQ(f.windows.opened, std::vector{ProgramWindow::Tools});
        EXPECT_EQ(enabledWhileOpen, (QList<QAction*>{w.mnuHelp, w.mnuExit}));
        for (QAction* item : {w.mnuAbout, w.mnuOptions, w.mnuTools, w.mnuLog})
            EXPECT_TRUE(item->isEnabled());
        for (QAction* item : {w.mnuCheckForMail, w.mnuIPAddress, w.mnuHangUp})
            EXPECT_EQ(item->isEnabled(), inCall) << item->objectName().toStdString();
        EXPECT_TRUE(w.timerAutoHide->enabled());
    }
}

TEST(TrayMenu, ACallEndingWhileAWindowEditsACopyIsPricedWithTheLiveTariff) {
    TrayFixture f;
    f.chargeEveryMinute("1.2");
    TfrmDigital& w = f.start();
    f.callUp();
    f.windows.whileOpen = [&](ProgramWindow) {
        SettingsWorkingCopy copy(f.settings, f.lists);
        copy.lists.Costings[1].ChargePerMin = 99;
        f.clock.advance(60000);
        f.callDown();
        // Cancel: the copy is dropped.
    };
    w.mnuOptionsClick();
    ASSERT_EQ(f.log().size(), 1);
    EXPECT_NEAR(f.log().first().Cost_Exc, 1.2, 0.05);
}

TEST(TrayMenu, OptionsReloadAndReapplyTheSettingsAndLogsFollowTools) {
    TrayFixture f;
    RecordingHelp help;
    f.helpService = &help;
    TfrmDigital& w = f.start();
    f.set("Default_Menu", "2").set("Hide_Tray_Icon", "1").set("Interval_Call_Checker", "750");
    w.mnuOptionsClick();
    EXPECT_EQ(w.popupTray->defaultAction(), w.mnuLog);
    EXPECT_FALSE(w.trayGeneral->visible());
    EXPECT_EQ(w.timerChecker->interval(), 750);

    w.mnuTools->setEnabled(false); // as an open window leaves it
    w.mnuLogClick();
    EXPECT_EQ(f.windows.opened, std::vector{ProgramWindow::Options});

    w.mnuHelp->trigger();
    EXPECT_EQ(help.topics, QStringList{"index"});
}

TEST(TrayMenu, IpAddressIsTheCallsInterfaceAndTheDelayedActionsLookItUp) {
    TrayFixture f;
    f.set("Applications_Delay", "0").set("Icon_Hint_IPAddress", "1");
    TfrmDigital& w = f.start();
    f.dialUp.dial("Demo").interfaceName = "lo";
    w.timerCheckerTimer();
    EXPECT_EQ(w.state().ipText, "?.?.?.?");
    // A delay of 0 runs the delayed actions right after the connect sequence.
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.state().ipText == "127.0.0.1"; }, 5000));
    EXPECT_FALSE(w.timerExecuteDelay->enabled());
    EXPECT_EQ(TfrmDigital::ExecuteDelayInterval(9), 9000);

    w.mnuIPAddressClick();
    EXPECT_EQ(f.prompts.texts(), QStringList{IpBox});
    // An interface that is gone: the host's own address, never the loopback one.
    f.dialUp.active->first().interfaceName = "nosuch0";
    EXPECT_NE(w.GetIPAddress(), "127.0.0.1");
}

TEST(TrayMenu, MailIconDoubleClickStartsTheMailProgramOnlyForMail) {
    TrayFixture f;
    TfrmDigital& w = f.start();
    f.settings.Mail_Application = "/usr/bin/mailer";
    f.settings.Mail_Application_Parameters = "--inbox";
    for (int tag : {0, 1}) {
        w.trayMail->setVisible(true);
        w.trayMail->setTag(tag);
        w.trayMail->handleNotification(TantTaskbarIcon::LeftDoubleClick);
        EXPECT_FALSE(w.trayMail->visible());
    }
    EXPECT_EQ(f.shell.opened, QStringList{"/usr/bin/mailer|--inbox"});
    w.trayMail->setVisible(true);
    w.mnuMailClose->trigger();
    EXPECT_FALSE(w.trayMail->visible());
}
