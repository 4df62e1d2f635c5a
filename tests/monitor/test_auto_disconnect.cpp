#include "auto_disconnect_fixture.h"
#include "private_bus.h"

#include "calllog/call_log_record.h"
#include "core/formatting.h"
#include "monitor/vorn_timer.h"

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
    for (const auto& [interval, checks] : QList<std::pair<int, int>>{
             {0, 4}, {1499, 4}, {1500, 3}, {2000, 3}, {2500, 3}, {2501, 2}, {10000, 2}})
        EXPECT_EQ(TfrmDigital::IdleActivityThreshold(interval), checks) << interval;
}

TEST_F(AutoDisconnect, CallLengthFiresOnceWaitsForAnOpenCountdownAndIsRestoredAfterTheCall) {
    set("Auto_Disconnect", "30");
    start();
    connect();
    h.settings.Auto_At_Disconnect = h.clock.now() + 29.5 * 60 * Second; // entered in the call
    checkAfter(30 * Minute - 1);
    EXPECT_EQ(reasons(), QStringList{"The time is now 15/03/2023 12:29:30"});
    EXPECT_DOUBLE_EQ(h.settings.Auto_At_Disconnect, h.clock.now() + 1.0) << "a day on";
    EXPECT_NEAR(ReadFloatSetting(h.stored("Auto_At_Disconnect"), h.regional), h.clock.now() + 1.0,
                Second);
    checkAfter(1);
    EXPECT_EQ(countdowns().size(), 1) << "the length waits while a countdown is open";
    EXPECT_EQ(h.settings.Auto_Disconnect, 30);

    cancelAll();
    checkAfter(2000);
    EXPECT_EQ(reasons(), QStringList{"Call has exceeded 30 minutes in length"});
    EXPECT_EQ(h.stored("Auto_Disconnect"), "0");
    cancelAll();
    checkAfter(10 * Minute);
    EXPECT_TRUE(countdowns().isEmpty()) << "no second countdown for the length";
    EXPECT_TRUE(h.dialUp.hungUp.isEmpty());

    dropLine();
    EXPECT_EQ(h.settings.Auto_Disconnect, 30);
    EXPECT_EQ(h.stored("Auto_Disconnect"), "30");
}

TEST_F(AutoDisconnect, CallCostFiresOnceOnTheUndiscountedCostBesideAnOpenCountdown) {
    h.chargeEveryMinute("1");
    h.furtherDetail("Discount (%)", "50");
    set("Show_Cost_Including_Discount", "1");
    set("Auto_Disconnect_Exceed_Cost", "1.5");
    set("Auto_Idle_Disconnect", "1");
    start();
    connect();
    checkAfter(Minute + 1);
    checkAfter(31000); // 1.52 without the discount, 0.76 with it
    EXPECT_EQ(reasons(), (QStringList{"The call has been idle for the past 1 minutes",
                                      "Call cost has reached £1.50"}));
    cancelAll();
    checkAfter(Minute);
    EXPECT_EQ(countdowns().size(), 1) << "only the idle rule fires again";
}

TEST_F(AutoDisconnect, RulesOnTheCostRunWhenTheCostIsNotOnTheDisplay) {
    h.chargeEveryMinute("1");
    set("Show_Cost", "0");
    set("Auto_Disconnect_Exceed_Cost", "1.5");
    start();
    connect();
    EXPECT_FALSE(h.window->timerCost->enabled());
    for (int i = 0; i < 46; ++i) { // no timerCost: only the checker prices the call
        h.clock.advance(2000);
        h.check();
    }
    EXPECT_EQ(reasons(), QStringList{"Call cost has reached £1.50"});
    runCountdownsOut();
    EXPECT_EQ(h.dialUp.hungUp.size(), 1);
}

TEST_F(AutoDisconnect, IdleTimeRestartsOnlyAfterTrafficOnThreeChecksInARow) {
    set("Auto_Idle_Disconnect", "5");
    start();
    connect();
    checkAfter(4 * Minute);
    for (int i = 0; i < 2; ++i) { // two checks with traffic, as at the default 2000 ms
        h.counters.received += 500;
        checkAfter(2000);
    }
    checkAfter(Minute - 4000); // five minutes since the connect, not more
    EXPECT_TRUE(countdowns().isEmpty());
    checkAfter(1);
    EXPECT_EQ(reasons(), QStringList{"The call has been idle for the past 5 minutes"});
    cancelAll();

    for (int i = 0; i < 3; ++i) {
        h.counters.sent += 1;
        checkAfter(2000);
    }
    checkAfter(5 * Minute);
    EXPECT_TRUE(countdowns().isEmpty());
    checkAfter(1);
    EXPECT_EQ(countdowns().size(), 1);
}

TEST_F(AutoDisconnect, MillisecondSumsDoNotOverflowAndNegativeLimitsAreOff) {
    h.clock.setMilliseconds(4294967295LL - 1000); // where a 32-bit counter would wrap
    set("Auto_Idle_Disconnect", "40000");         // 2.4e9 ms: beyond a signed 32-bit sum
    start();
    connect();
    checkAfter(20 * Minute);
    EXPECT_TRUE(countdowns().isEmpty());

    CallFixture negative;
    negative.h.chargeEveryMinute("1");
    negative.set("Auto_Idle_Disconnect", "-5");
    negative.set("Auto_Disconnect_Exceed_Cost", "-1");
    negative.start();
    negative.connect();
    negative.checkAfter(2000);
    EXPECT_TRUE(negative.countdowns().isEmpty());
}

TEST_F(AutoDisconnect, FreeMinutesAndMinimumPeriodExpireOnceAndOnlyWhereTheyExist) {
    struct Case {
        const char* rule;
        QString section, name, value;
        QString reason;
    };
    const QList<Case> cases = {{"Auto_Disconnect_Free_Minutes", "Costing1", "FreeMinutes", "1",
                                "Free minutes have expired"},
                               {"Auto_Disconnect_Minimum_Period", "Costing_Further_Details1",
                                "Value", "1.00", "Minimum charge period has expired"}};
    for (const Case& c : cases) {
        for (const bool exists : {true, false}) {
            CallFixture f;
            f.h.chargeEveryMinute("1");
            if (c.section.startsWith("Costing_"))
                f.h.furtherDetail("Minimum Charge", exists ? c.value : "0");
            else if (exists)
                f.h.store.setValue(c.section, c.name, c.value);
            f.set(c.rule, "1");
            f.start();
            f.connect();
            f.checkAfter(Minute - 2000);
            EXPECT_TRUE(f.countdowns().isEmpty()) << c.rule;
            f.checkAfter(4000);
            EXPECT_EQ(f.reasons(), exists ? QStringList{c.reason} : QStringList()) << c.rule;
            f.cancelAll();
            f.checkAfter(Minute);
            EXPECT_TRUE(f.countdowns().isEmpty()) << c.rule;
        }
    }
}

TEST_F(AutoDisconnect, ConnectSpeedIsCheckedAtConnectWhenTheServiceKnowsIt) {
    for (const auto& [known, speed] :
         QList<std::pair<bool, quint32>>{{true, 28800}, {true, 33600}, {false, 0}}) {
        CallFixture f;
        f.set("Auto_Disconnect_Connect_Speed", "33600");
        f.start();
        f.h.dialUp.speedKnown = known;
        f.h.dialUp.dial("Demo", DialUpState::Connected, speed);
        f.h.check();
        EXPECT_EQ(f.reasons(), speed == 28800 ? QStringList{"Connect speed has been detected as "
                                                            "28800 (Minimum 33600)"}
                                              : QStringList());
        f.cancelAll();
        f.checkAfter(2000);
        EXPECT_TRUE(f.countdowns().isEmpty());
    }
}

TEST_F(AutoDisconnect, AnAutomaticHangUpIsLoggedAsSuchAndTakesItsOwnOperation) {
    set("Auto_Idle_Disconnect", "5");
    set("Operation_After_Auto_Disconnecting", "1");
    set("Operation_After_Disconnecting", "2");
    start();
    connect();
    checkAfter(5 * Minute + 1);
    runCountdownsOut();
    ASSERT_EQ(h.dialUp.hungUp.size(), 1);
    h.check(); // the line has dropped
    ASSERT_EQ(h.log().size(), 1);
    EXPECT_EQ(h.log().first().Mode, ModeDisconnected);
    EXPECT_EQ(fakePower.requests, QList<Power::Operation>{Power::Operation::PowerOff});
    EXPECT_EQ(h.settings.Operation_After_Auto_Disconnecting, 1) << "a standing choice";
    EXPECT_EQ(h.settings.Operation_After_Disconnecting, 2) << "kept for a manual hang-up";

    connect();
    h.window->mnuHangUpClick();
    h.check();
    EXPECT_EQ(h.log().last().Mode, ModeAuto);
    EXPECT_EQ(fakePower.requests.last(), Power::Operation::Reboot);
    EXPECT_EQ(h.stored("Operation_After_Disconnecting"), "0");
    connect();
    dropLine();
    EXPECT_EQ(fakePower.requests.size(), 2) << "a one-shot choice";
}

// The whole way to logind: python3-dbusmock's template on a private bus.
TEST_F(AutoDisconnect, ShutDownAfterACallReachesAMockedLogindOnceAndFailuresAreIgnored) {
    if (const QString missing = PrivateBus::missingTools(); !missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    PrivateBus bus;
    QString error;
    ASSERT_TRUE(bus.start(&error)) << error.toStdString();
    LogindPower logind(bus.address());
    power = &logind;
    set("Operation_After_Disconnecting", "2");
    start();
    connect();
    dropLine(); // nobody answers for logind yet: the error is ignored
    EXPECT_EQ(h.settings.Operation_After_Disconnecting, 0);

    ASSERT_TRUE(bus.startTemplateMock("logind", "org.freedesktop.login1", &error))
        << error.toStdString();
    h.settings.Operation_After_Disconnecting = 1; // as the options dialog sets it
    for (int call = 0; call < 2; ++call) {
        connect();
        dropLine();
    }
    const auto calls = [&bus](const QString& method) {
        QDBusMessage message =
            QDBusMessage::createMethodCall("org.freedesktop.login1", "/org/freedesktop/login1",
                                           "org.freedesktop.DBus.Mock", "GetMethodCalls");
        message.setArguments({method});
        QVariantList firstArguments;
        const QDBusArgument list =
            bus.driver().call(message).arguments().value(0).value<QDBusArgument>();
        list.beginArray(); // a(tav): a time stamp and the arguments of each call
        while (!list.atEnd()) {
            qulonglong stamp = 0;
            QVariantList arguments;
            list.beginStructure();
            list >> stamp >> arguments;
            list.endStructure();
            firstArguments << arguments.value(0);
        }
        list.endArray();
        return firstArguments;
    };
    for (QDeadlineTimer deadline(10000); calls("PowerOff").isEmpty() && !deadline.hasExpired();)
        QThread::msleep(20); // requests are sent without waiting for the answer
    EXPECT_EQ(calls("PowerOff"), QVariantList{true}) << "once, and interactive";
    EXPECT_TRUE(calls("Reboot").isEmpty());
    EXPECT_EQ(h.stored("Operation_After_Disconnecting"), "0");
}

} // namespace
