#include "monitor_harness.h"

#include "monitor/tfrm_splash.h"
#include "monitor/vorn_timer.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
enum class Leave { Ok, Escape, CloseBox };

// Runs once the about window is up (it is modal), then leaves it as said.
void whenSplashShows(const std::function<void(TfrmSplash&)>& act, Leave leave = Leave::Ok) {
    QTimer::singleShot(0, [act, leave] {
        auto* splash = qobject_cast<TfrmSplash*>(QApplication::activeModalWidget());
        ASSERT_NE(splash, nullptr);
        act(*splash);
        switch (leave) {
        case Leave::Ok:
            splash->findChild<QPushButton*>("btnOK")->click();
            break;
        case Leave::Escape:
            QTest::keyClick(splash, Qt::Key_Escape);
            break;
        case Leave::CloseBox:
            splash->close();
            break;
        }
    });
}
} // namespace

TEST(AboutWindow, ShownAfterAnUpdateEvenWhenTurnedOffAndFromTheMenu) {
    MonitorHarness h;
    h.set("Version", "1.16");
    bool shown = false;
    QStringList disabledWhileOpen;
    whenSplashShows([&](TfrmSplash& splash) {
        shown = true;
        EXPECT_EQ(splash.windowTitle(), "About");
        EXPECT_FALSE(splash.findChild<QCheckBox*>("chkShowSplash")->isChecked());
        const QStringList lines =
            splash.findChild<QPlainTextEdit*>("memoAbout")->toPlainText().split(u'\n');
        EXPECT_EQ(lines.value(0), "VORN v1.17");
        EXPECT_EQ(lines.value(4), TfrmSplash::notice());
        for (QAction* item : h.window->popupTray->actions())
            if (!item->isSeparator() && !item->isEnabled())
                disabledWhileOpen << item->objectName();
        EXPECT_FALSE(h.window->timerAutoHide->enabled());
    });
    h.start();
    EXPECT_TRUE(shown);
    EXPECT_EQ(h.prompts.shown.size(), 1) << "the reset question comes first";
    disabledWhileOpen.sort();
    EXPECT_EQ(disabledWhileOpen, (QStringList{"mnuAbout", "mnuCheckForMail", "mnuHangUp",
                                              "mnuIPAddress", "mnuLog", "mnuOptions", "mnuTools"}));
    for (QAction* item :
         {h.window->mnuAbout, h.window->mnuOptions, h.window->mnuTools, h.window->mnuLog})
        EXPECT_TRUE(item->isEnabled()) << item->objectName().toStdString();
    EXPECT_FALSE(h.window->mnuHangUp->isEnabled()) << "no call, so the call items stay off";
    EXPECT_EQ(h.stored("Show_Splash"), "0");

    // From the menu during a call: OK stores the check box and Escape counts as OK.
    TfrmDigital& w = *h.window;
    h.dialUp.dial("Demo");
    h.check();

    whenSplashShows([](TfrmSplash& splash) {
        splash.findChild<QCheckBox*>("chkShowSplash")->setChecked(true);
    });
    w.mnuAboutClick();
    EXPECT_EQ(h.stored("Show_Splash"), "1");
    EXPECT_TRUE(h.settings.Show_Splash);
    EXPECT_TRUE(w.mnuHangUp->isEnabled()) << "during a call the call items come back";

    const auto uncheck = [](TfrmSplash& splash) {
        splash.findChild<QCheckBox*>("chkShowSplash")->setChecked(false);
    };
    // The close box stores nothing; Escape presses OK, the cancel button.
    whenSplashShows(uncheck, Leave::CloseBox);
    w.mnuAboutClick();
    EXPECT_EQ(h.stored("Show_Splash"), "1");
    EXPECT_TRUE(w.mnuOptions->isEnabled());
    whenSplashShows(uncheck, Leave::Escape);
    w.mnuAboutClick();
    EXPECT_EQ(h.stored("Show_Splash"), "0");
}
