#include "auto_disconnect_fixture.h"

#include "monitor/vorn_timer.h"

#include <QCloseEvent>
#include <QProgressBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

constexpr qint64 Minute = 60000;

// The countdown window, opened by the idle rule of a call on the test doubles.
class CountdownWindow : public ::testing::Test, public CallFixture {
protected:
    TfrmAutoDisconnect* open() {
        set("Auto_Idle_Disconnect", "1");
        start();
        connect();
        h.journal.clear();
        checkAfter(Minute + 1);
        const QList<TfrmAutoDisconnect*> open = countdowns();
        return open.size() == 1 ? open.first() : nullptr;
    }

    int progress(TfrmAutoDisconnect* countdown) const {
        return countdown->findChild<QProgressBar*>(QStringLiteral("progressAutoDisconnect"))
            ->value();
    }
};

TEST_F(CountdownWindow, OpensOnTopWithoutBlockingAndNamesTheReason) {
    TfrmAutoDisconnect* countdown = open();
    ASSERT_NE(countdown, nullptr);
    EXPECT_TRUE(countdown->isVisible());
    EXPECT_FALSE(countdown->isModal());
    EXPECT_TRUE(countdown->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(countdown->windowTitle(), "Auto Disconnect");
    EXPECT_EQ(reasons(), QStringList{"The call has been idle for the past 1 minutes"});
    EXPECT_EQ(button(countdown, "btnHangUp")->text(), "&Hang Up");
    EXPECT_TRUE(button(countdown, "btnHangUp")->isDefault());
    EXPECT_EQ(button(countdown, "btnCancel")->text(), "&Cancel");
    EXPECT_TRUE(h.window->state().countdownActive);
    EXPECT_TRUE(h.journal.contains("PlaySoundEvent AtAutoDisconnectStart"));

    auto* progressBar =
        countdown->findChild<QProgressBar*>(QStringLiteral("progressAutoDisconnect"));
    EXPECT_EQ(progressBar->minimum(), 0);
    EXPECT_EQ(progressBar->maximum(), 10);
    EXPECT_EQ(progress(countdown), 1);
    EXPECT_EQ(countdown->remaining(), 10);
    EXPECT_EQ(countdown->timerAutoDisconnect->interval(), 1000);
    EXPECT_TRUE(countdown->timerAutoDisconnect->isRunning());
}

TEST_F(CountdownWindow, HangsUpAfterTenSeconds) {
    TfrmAutoDisconnect* countdown = open();
    ASSERT_NE(countdown, nullptr);
    for (int second = 1; second < 10; ++second)
        countdown->timerAutoDisconnectTimer();
    EXPECT_EQ(progress(countdown), 10);
    EXPECT_EQ(countdown->remaining(), 1);
    EXPECT_TRUE(h.dialUp.hungUp.isEmpty());

    countdown->timerAutoDisconnectTimer();
    EXPECT_EQ(h.dialUp.hungUp.size(), 1);
    EXPECT_TRUE(h.window->state().autoHangUp);
    EXPECT_FALSE(h.window->state().countdownActive);
    EXPECT_TRUE(countdowns().isEmpty());
}

TEST_F(CountdownWindow, HangUpButtonHangsUpAtTheNextSecond) {
    TfrmAutoDisconnect* countdown = open();
    ASSERT_NE(countdown, nullptr);
    countdown->timerAutoDisconnectTimer();
    button(countdown, "btnHangUp")->click();
    EXPECT_TRUE(h.dialUp.hungUp.isEmpty());
    // The timer still runs at one second, so the hang-up comes within a second.
    EXPECT_TRUE(countdown->timerAutoDisconnect->isRunning());
    EXPECT_EQ(countdown->timerAutoDisconnect->interval(), 1000);
    countdown->timerAutoDisconnectTimer();
    EXPECT_EQ(h.dialUp.hungUp.size(), 1);
    EXPECT_TRUE(h.window->state().autoHangUp);
    EXPECT_TRUE(countdowns().isEmpty());
}

TEST_F(CountdownWindow, CancelTheCloseBoxAndEscapeKeepTheCall) {
    for (const char* how : {"cancel", "close box", "escape"}) {
        CallFixture f;
        f.set("Auto_Idle_Disconnect", "1");
        f.start();
        f.connect();
        f.checkAfter(Minute + 1);
        ASSERT_EQ(f.countdowns().size(), 1) << how;
        TfrmAutoDisconnect* countdown = f.countdowns().first();
        const std::string name = how;
        if (name == "cancel")
            button(countdown, "btnCancel")->click();
        else if (name == "close box")
            countdown->close();
        else
            QTest::keyClick(countdown, Qt::Key_Escape);
        EXPECT_TRUE(f.countdowns().isEmpty()) << how;
        EXPECT_FALSE(f.h.window->state().countdownActive) << how;
        f.checkAfter(2000);
        EXPECT_TRUE(f.h.window->state().connected) << how;
        EXPECT_TRUE(f.h.dialUp.hungUp.isEmpty()) << how;
    }
}

TEST_F(CountdownWindow, ACountdownOutlivedByItsCallLeavesTheNextCallAlone) {
    TfrmAutoDisconnect* countdown = open();
    ASSERT_NE(countdown, nullptr);
    dropLine();
    ASSERT_EQ(h.log().size(), 1);
    EXPECT_EQ(h.log().first().Mode, 0) << "the line dropped by itself";
    checkAfter(3000);
    connect(QStringLiteral("Next"));

    runCountdownsOut();
    EXPECT_TRUE(countdowns().isEmpty());
    EXPECT_TRUE(h.dialUp.hungUp.isEmpty());
    EXPECT_FALSE(h.window->state().autoHangUp);
    EXPECT_TRUE(h.window->state().connected);
}

TEST_F(CountdownWindow, SeveralCountdownsRunSideBySide) {
    h.chargeEveryMinute(QStringLiteral("1"));
    set("Auto_Disconnect_Exceed_Cost", "1.5");
    TfrmAutoDisconnect* idle = open();
    ASSERT_NE(idle, nullptr);
    checkAfter(31000);
    EXPECT_EQ(reasons(), (QStringList{"The call has been idle for the past 1 minutes",
                                      "Call cost has reached £1.50"}))
        << "the cost rule does not wait for the idle countdown";
    button(idle, "btnCancel")->click();
    EXPECT_EQ(reasons(), QStringList{"Call cost has reached £1.50"});
    runCountdownsOut();
    EXPECT_EQ(h.dialUp.hungUp.size(), 1);
}

} // namespace
