#include "auto_disconnect_fixture.h"

#include "monitor/vorn_timer.h"

#include <QProgressBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A countdown opened by the idle rule one minute into a call.
class CountdownWindow : public ::testing::Test, public CallFixture {
protected:
    void SetUp() override {
        set("Auto_Idle_Disconnect", "1");
        start();
        connect();
        checkAfter(60001);
        ASSERT_EQ(countdowns().size(), 1);
        countdown = countdowns().first();
        progress = countdown->findChild<QProgressBar*>("progressAutoDisconnect");
    }
    QPushButton* button(const char* name) { return countdown->findChild<QPushButton*>(name); }

    TfrmAutoDisconnect* countdown = nullptr;
    QProgressBar* progress = nullptr;
};

TEST_F(CountdownWindow, OpensOnTopWithoutBlockingAndHangsUpAfterTenSeconds) {
    EXPECT_TRUE(countdown->isVisible());
    EXPECT_FALSE(countdown->isModal());
    EXPECT_TRUE(countdown->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(countdown->windowTitle(), "Auto Disconnect");
    EXPECT_EQ(reasons(), QStringList{"The call has been idle for the past 1 minutes"});
    EXPECT_EQ(button("btnHangUp")->text(), "&Hang Up");
    EXPECT_TRUE(button("btnHangUp")->isDefault());
    EXPECT_EQ(button("btnCancel")->text(), "&Cancel");
    EXPECT_TRUE(h.journal.contains("PlaySoundEvent AtAutoDisconnectStart"));
    EXPECT_TRUE(h.window->state().countdownActive);
    EXPECT_EQ(countdown->timerAutoDisconnect->interval(), 1000);
    EXPECT_TRUE(countdown->timerAutoDisconnect->isRunning());

    for (int second = 1; second <= 9; ++second) {
        EXPECT_EQ(progress->value(), second);
        countdown->timerAutoDisconnectTimer();
    }
    EXPECT_EQ(progress->value(), progress->maximum());
    EXPECT_TRUE(h.dialUp.hungUp.isEmpty());
    countdown->timerAutoDisconnectTimer();
    EXPECT_EQ(h.dialUp.hungUp.size(), 1);
    EXPECT_TRUE(h.window->state().autoHangUp);
    EXPECT_FALSE(h.window->state().countdownActive);
    EXPECT_TRUE(countdowns().isEmpty());
}

TEST_F(CountdownWindow, HangUpActsAtTheNextSecond) {
    countdown->timerAutoDisconnectTimer();
    button("btnHangUp")->click();
    EXPECT_TRUE(h.dialUp.hungUp.isEmpty());
    EXPECT_TRUE(countdown->timerAutoDisconnect->isRunning()); // at one second
    countdown->timerAutoDisconnectTimer();
    EXPECT_EQ(h.dialUp.hungUp.size(), 1);
    EXPECT_TRUE(h.window->state().autoHangUp);
}

TEST_F(CountdownWindow, CancelEscapeAndTheCloseBoxKeepTheCall) {
    button("btnCancel")->click();
    for (const bool closeBox : {true, false}) {
        checkAfter(60001);
        ASSERT_EQ(countdowns().size(), 1);
        if (closeBox)
            countdowns().first()->close();
        else
            QTest::keyClick(countdowns().first(), Qt::Key_Escape);
    }
    EXPECT_TRUE(countdowns().isEmpty());
    EXPECT_FALSE(h.window->state().countdownActive);
    checkAfter(2000);
    EXPECT_TRUE(h.window->state().connected);
    EXPECT_TRUE(h.dialUp.hungUp.isEmpty());
}

TEST_F(CountdownWindow, ACountdownOutlivedByItsCallLeavesTheNextCallAlone) {
    dropLine();
    checkAfter(3000);
    connect("Next");
    runCountdownsOut();
    EXPECT_TRUE(countdowns().isEmpty());
    EXPECT_TRUE(h.dialUp.hungUp.isEmpty());
    EXPECT_FALSE(h.window->state().autoHangUp);
}

} // namespace
