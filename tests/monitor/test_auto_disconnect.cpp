#include "auto_disconnect_fixture.h"
#include "private_bus.h"

#include "calllog/call_log_record.h"
#include "core/formatting.h"
#include "platform/power.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QThread>
#include <gtest/gtest.h>

namespace {

constexpr qint64 Minute = 60000;
constexpr double Second = 1.0 / 86400.0;

class AutoDisconnect : public ::testing::Test, public CallFixture {};

TEST(IdleActivityThreshold, ChecksNeededByInterval) {
    const QList<std::pair<int, int>> cases = {{0, 4},    {1000, 4}, {1499, 4}, {1500, 3},
                                              {2000, 3}, {2500, 3}, {2501, 2}, {10000, 2}};
    for (const auto& [interval, checks] : cases)
        EXPECT_EQ(TfrmDigital::IdleActivityThreshold(interval), checks) << interval;
}

TEST_F(AutoDisconnect, CallLengthFiresOnceAndTheLimitComesBackAfterTheCall) {
    set("Auto_Disconnect", "30");
    TfrmDigital& w = start();
    connect();
    checkAfter(30 * Minute - 1);
    EXPECT_TRUE(countdowns().isEmpty());

    checkAfter(1);
    EXPECT_EQ(reasons(), QStringList{"Call has exceeded 30 minutes in length"});
    EXPECT_EQ(h.settings.Auto_Disconnect, 0);
    EXPECT_EQ(h.stored("Auto_Disconnect"), "0");

    cancelAll();
    EXPECT_FALSE(w.state().countdownActive);
    for (int i = 0; i < 5; ++i)
        checkAfter(5 * Minute);
    EXPECT_TRUE(countdowns().isEmpty()) << "no second countdown for the length";
    EXPECT_TRUE(w.state().connected);
    EXPECT_TRUE(h.dialUp.hungUp.isEmpty());

    dropLine();
    EXPECT_EQ(h.settings.Auto_Disconnect, 30);
    EXPECT_EQ(h.stored("Auto_Disconnect"), "30");
}

TEST_F(AutoDisconnect, TheLengthRuleWaitsForAnOpenCountdown) {
    set("Auto_Disconnect", "30");
    start();
    connect();
    h.settings.Auto_At_Disconnect = h.clock.now() + 29 * 60 * Second;
    checkAfter(29 * Minute + 1000);
    ASSERT_EQ(countdowns().size(), 1);
    checkAfter(Minute);
    EXPECT_EQ(countdowns().size(), 1);
    EXPECT_EQ(h.settings.Auto_Disconnect, 30);
    cancelAll();
    checkAfter(2000);
    EXPECT_EQ(reasons(), QStringList{"Call has exceeded 30 minutes in length"});
}

TEST_F(AutoDisconnect, CallCostFiresOnceOnTheUndiscountedCostEvenBehindAnOpenCountdown) {
    h.chargeEveryMinute(QStringLiteral("1"));
    h.furtherDetail(QStringLiteral("Discount (%)"), QStringLiteral("50"));
    set("Auto_Disconnect_Exceed_Cost", "2.5");
    set("Auto_Disconnect", "2");
    set("Show_Cost_Including_Discount", "1");
    TfrmDigital& w = start();
    connect();
    checkAfter(2 * Minute);
    EXPECT_EQ(reasons(), QStringList{"Call has exceeded 2 minutes in length"});
    ASSERT_TRUE(w.state().countdownActive);

    checkAfter(31 * 1000); // 2.52 without the discount, 1.26 with it
    ASSERT_GT(w.state().costResult.Without_Discount, 2.5);
    ASSERT_LT(w.state().costResult.With_Discount, 2.5);
    EXPECT_EQ(reasons(), (QStringList{"Call has exceeded 2 minutes in length",
                                      "Call cost has reached £2.50"}));
    cancelAll();
    checkAfter(Minute);
    EXPECT_TRUE(countdowns().isEmpty());
}

TEST_F(AutoDisconnect, IdleTimeIsMeasuredFromTheLastSustainedTraffic) {
    set("Auto_Idle_Disconnect", "5");
    TfrmDigital& w = start();
    ASSERT_EQ(h.settings.Interval_Call_Checker, 2000); // three checks with traffic are needed
    connect();
    checkAfter(4 * Minute);

    // Traffic on two checks in a row, then none: the call still counts as idle.
    h.counters.received += 500;
    checkAfter(2000);
    h.counters.sent += 40;
    checkAfter(2000);
    EXPECT_EQ(w.state().activityCount, 2);
    checkAfter(2000);
    EXPECT_EQ(w.state().activityCount, 0);
    checkAfter(Minute - 6000); // exactly five minutes since the connect
    EXPECT_TRUE(countdowns().isEmpty());
    checkAfter(1);
    EXPECT_EQ(reasons(), QStringList{"The call has been idle for the past 5 minutes"});
    cancelAll();

    // Traffic on three checks in a row makes the call active: five idle minutes count anew.
    for (int i = 0; i < 3; ++i) {
        h.counters.received += 1;
        checkAfter(2000);
    }
    const qint64 activeAt = h.clock.milliseconds();
    EXPECT_EQ(w.state().idleSince, activeAt);
    checkAfter(5 * Minute);
    EXPECT_TRUE(countdowns().isEmpty());
    checkAfter(1);
    EXPECT_EQ(reasons(), QStringList{"The call has been idle for the past 5 minutes"});

    // While the countdown is open the rule waits; after it, another idle period may fire.
    checkAfter(6 * Minute);
    EXPECT_EQ(countdowns().size(), 1);
    cancelAll();
    checkAfter(5 * Minute + 1);
    EXPECT_EQ(countdowns().size(), 1);
}

TEST_F(AutoDisconnect, IdleSumsDoNotOverflow) {
    // A call that starts just before a 32-bit millisecond counter would wrap.
    h.clock.setMilliseconds(4294967295LL - 1000);
    set("Auto_Idle_Disconnect", "5");
    start();
    connect();
    checkAfter(5 * Minute);
    EXPECT_TRUE(countdowns().isEmpty());
    checkAfter(1);
    EXPECT_EQ(countdowns().size(), 1);

    // A limit whose milliseconds do not fit 32 bits never fires early.
    CallFixture huge;
    huge.set("Auto_Idle_Disconnect", "2147483647");
    huge.start();
    huge.connect();
    for (int i = 0; i < 3; ++i) {
        huge.h.clock.advance(20 * Minute);
        huge.h.check();
    }
    EXPECT_TRUE(huge.countdowns().isEmpty());
}

TEST_F(AutoDisconnect, ANegativeIdleOrCostLimitIsOff) {
    h.chargeEveryMinute(QStringLiteral("1"));
    set("Auto_Idle_Disconnect", "-5");
    set("Auto_Disconnect_Exceed_Cost", "-1");
    start();
    connect();
    for (int i = 0; i < 5; ++i)
        checkAfter(2000);
    EXPECT_TRUE(countdowns().isEmpty());
}

TEST_F(AutoDisconnect, DisconnectTimeFiresAndMovesOneDayOn) {
    TfrmDigital& w = start();
    connect();
    // A time entered during the call, ten seconds from now.
    const TDateTime at = h.clock.now() + 10 * Second;
    h.settings.Auto_At_Disconnect = at;
    checkAfter(10000);
    EXPECT_TRUE(countdowns().isEmpty()) << "only a time strictly passed counts";

    checkAfter(1000);
    EXPECT_EQ(reasons(), QStringList{"The time is now 15/03/2023 12:00:10"});
    EXPECT_DOUBLE_EQ(h.settings.Auto_At_Disconnect, h.clock.now() + 1.0);
    EXPECT_NEAR(ReadFloatSetting(h.stored("Auto_At_Disconnect"), h.regional), h.clock.now() + 1.0,
                Second);

    // A time that passes while a countdown is open waits for it to close.
    h.settings.Auto_At_Disconnect = h.clock.now() + Second;
    checkAfter(5000);
    EXPECT_EQ(countdowns().size(), 1);
    cancelAll();
    EXPECT_FALSE(w.state().countdownActive);
    checkAfter(2000);
    EXPECT_EQ(countdowns().size(), 1);
}

TEST_F(AutoDisconnect, FreeMinutesExpireOnceAndNeverWithoutFreeMinutes) {
    h.chargeEveryMinute(QStringLiteral("1"));
    set("Auto_Disconnect_Free_Minutes", "1");
    h.store.setValue(QStringLiteral("Costing1"), QStringLiteral("FreeMinutes"),
                     QStringLiteral("1"));
    start();
    connect();
    checkAfter(Minute - 2000);
    EXPECT_TRUE(countdowns().isEmpty());
    checkAfter(4000);
    EXPECT_EQ(reasons(), QStringList{"Free minutes have expired"});
    cancelAll();
    checkAfter(Minute);
    EXPECT_TRUE(countdowns().isEmpty());

    CallFixture none;
    none.h.chargeEveryMinute(QStringLiteral("1"));
    none.set("Auto_Disconnect_Free_Minutes", "1");
    TfrmDigital& w = none.start();
    none.connect();
    none.checkAfter(2 * Minute);
    ASSERT_TRUE(w.state().costResult.OutsideFreePeriod);
    EXPECT_TRUE(none.countdowns().isEmpty());
}

TEST_F(AutoDisconnect, MinimumChargePeriodExpiresOnceAndOnlyWithAMinimumCharge) {
    h.chargeEveryMinute(QStringLiteral("1"));
    h.furtherDetail(QStringLiteral("Minimum Charge"), QStringLiteral("0.50"));
    set("Auto_Disconnect_Minimum_Period", "1");
    start();
    connect();
    checkAfter(20000);
    EXPECT_TRUE(countdowns().isEmpty());
    checkAfter(20000);
    EXPECT_EQ(reasons(), QStringList{"Minimum charge period has expired"});
    cancelAll();
    checkAfter(Minute);
    EXPECT_TRUE(countdowns().isEmpty());

    CallFixture none;
    none.h.chargeEveryMinute(QStringLiteral("1"));
    none.set("Auto_Disconnect_Minimum_Period", "1");
    none.start();
    none.connect();
    none.checkAfter(2 * Minute);
    EXPECT_TRUE(none.countdowns().isEmpty());
}

TEST_F(AutoDisconnect, ConnectSpeedIsCheckedOnceAtConnectWhenTheServiceKnowsIt) {
    set("Auto_Disconnect_Connect_Speed", "33600");
    start();
    h.dialUp.speedKnown = true;
    h.dialUp.dial(QStringLiteral("Demo"), DialUpState::Connected, 28800);
    h.check();
    EXPECT_EQ(reasons(), QStringList{"Connect speed has been detected as 28800 (Minimum 33600)"});
    cancelAll();
    checkAfter(2000);
    EXPECT_TRUE(countdowns().isEmpty());

    CallFixture fast;
    fast.set("Auto_Disconnect_Connect_Speed", "33600");
    fast.start();
    fast.h.dialUp.speedKnown = true;
    fast.h.dialUp.dial(QStringLiteral("Demo"), DialUpState::Connected, 33600);
    fast.h.check();
    EXPECT_TRUE(fast.countdowns().isEmpty());

    // A service that cannot tell the speed gives no reason to hang up.
    CallFixture unknown;
    unknown.set("Auto_Disconnect_Connect_Speed", "33600");
    unknown.start();
    unknown.connect();
    EXPECT_TRUE(unknown.countdowns().isEmpty());
}

TEST_F(AutoDisconnect, ACountdownThatRunsOutHangsUpAndTheCallIsLoggedAsAutoDisconnected) {
    set("Auto_Idle_Disconnect", "5");
    set("Operation_After_Auto_Disconnecting", "1");
    set("Operation_After_Disconnecting", "2");
    TfrmDigital& w = start();
    connect();
    checkAfter(5 * Minute + 1);
    ASSERT_EQ(countdowns().size(), 1);
    runCountdownsOut();
    EXPECT_EQ(h.dialUp.hungUp.size(), 1);
    EXPECT_TRUE(w.state().autoHangUp);
    EXPECT_TRUE(countdowns().isEmpty());

    h.check(); // the line has dropped
    EXPECT_FALSE(w.state().connected);
    ASSERT_EQ(h.log().size(), 1);
    EXPECT_EQ(h.log().first().Mode, ModeDisconnected);
    EXPECT_EQ(fakePower.requests, QList<Power::Operation>{Power::Operation::PowerOff});
    EXPECT_EQ(h.settings.Operation_After_Auto_Disconnecting, 1) << "a standing choice";
    EXPECT_EQ(h.settings.Operation_After_Disconnecting, 2) << "left for a manual hang-up";
}

TEST_F(AutoDisconnect, OperationAfterDisconnectingActsOnceAndResets) {
    set("Operation_After_Disconnecting", "2");
    start();
    connect();
    checkAfter(2000);
    dropLine();
    EXPECT_EQ(fakePower.requests, QList<Power::Operation>{Power::Operation::Reboot});
    EXPECT_EQ(h.settings.Operation_After_Disconnecting, 0);
    EXPECT_EQ(h.stored("Operation_After_Disconnecting"), "0");

    connect();
    h.window->HangUp(false);
    h.check();
    EXPECT_EQ(fakePower.requests.size(), 1) << "the next call end does nothing";
}

// The whole way to logind: python3-dbusmock's template on a private bus.
TEST_F(AutoDisconnect, ShutDownAfterACallReachesLogindOnce) {
    const QString missing = PrivateBus::missingTools();
    if (!missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    PrivateBus bus;
    QString error;
    ASSERT_TRUE(bus.start(&error)) << error.toStdString();
    ASSERT_TRUE(bus.startTemplateMock(QStringLiteral("logind"),
                                      QStringLiteral("org.freedesktop.login1"), &error))
        << error.toStdString();
    LogindPower logind(bus.address());
    power = &logind;

    set("Operation_After_Disconnecting", "1");
    start();
    connect();
    checkAfter(2000);
    dropLine();
    connect();
    dropLine();

    const auto powerOffs = [&bus] {
        QDBusMessage message = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
            QStringLiteral("org.freedesktop.DBus.Mock"), QStringLiteral("GetMethodCalls"));
        message.setArguments({QStringLiteral("PowerOff")});
        const QDBusMessage reply = bus.driver().call(message, QDBus::Block, 10000);
        int count = 0;
        const QDBusArgument calls = reply.arguments().value(0).value<QDBusArgument>();
        calls.beginArray();
        while (!calls.atEnd()) {
            qulonglong stamp = 0;
            QVariantList arguments;
            calls.beginStructure();
            calls >> stamp >> arguments;
            calls.endStructure();
            ++count;
        }
        calls.endArray();
        return count;
    };
    const QDeadlineTimer deadline(10000);
    while (powerOffs() == 0 && !deadline.hasExpired())
        QThread::msleep(20);
    EXPECT_EQ(powerOffs(), 1);
    EXPECT_EQ(h.stored("Operation_After_Disconnecting"), "0");
}

} // namespace
