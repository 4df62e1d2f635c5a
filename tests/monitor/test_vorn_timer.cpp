#include "monitor/vorn_timer.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

TEST(VornTimer, FiresOnlyWhenEnabledWithAPositiveInterval) {
    VornTimer timer("timerChecker", 2000);
    QSignalSpy fired(&timer, &VornTimer::timeout);

    timer.setEnabled(true);
    EXPECT_EQ(timer.interval(), 0);
    EXPECT_FALSE(timer.isRunning()) << "an interval of 0 must never fire";

    timer.setInterval(5);
    EXPECT_TRUE(timer.isRunning());
    ASSERT_TRUE(fired.wait(2000));

    timer.setEnabled(false);
    EXPECT_FALSE(timer.isRunning());
    timer.setInterval(0);
    timer.setEnabled(true);
    EXPECT_FALSE(timer.isRunning()) << "0 after a real interval stops it again";
}

TEST(VornTimer, NegativeIntervalFallsBackToTheDefault) {
    VornTimer timer("timerDisplay", 1500);
    timer.setInterval(-250);
    EXPECT_EQ(timer.interval(), 1500);
    timer.setInterval(300);
    timer.resetInterval();
    EXPECT_EQ(timer.interval(), 1500);

    // A timer without a usable default stays silent rather than spinning.
    VornTimer noDefault("timerTimeout", -1);
    noDefault.setInterval(-1);
    noDefault.setEnabled(true);
    EXPECT_EQ(noDefault.interval(), 0);
    EXPECT_FALSE(noDefault.isRunning());
}

TEST(VornTimer, OneShotSwitchesItselfOff) {
    VornTimer timer("timerExecuteDelay", 9000);
    timer.setSingleShot(true);
    QSignalSpy fired(&timer, &VornTimer::timeout);
    timer.setInterval(5);
    timer.setEnabled(true);
    ASSERT_TRUE(fired.wait(2000));
    EXPECT_FALSE(timer.enabled());
    EXPECT_FALSE(timer.isRunning());
    // Enabling it again arms it for one more firing.
    timer.setEnabled(true);
    ASSERT_TRUE(fired.wait(2000));
    EXPECT_EQ(fired.count(), 2);
}
