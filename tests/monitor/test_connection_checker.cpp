#include "monitor_harness.h"

#include "calllog/call_recorder.h"
#include "core/user_name.h"
#include "tariff/call_costing.h"
#include "tariff/tariff_context.h"
#include "widgets/taskbar_icon.h"

#include <QAction>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {
constexpr double Second = 1.0 / 86400.0;

const QStringList crashRecoveryValues = {lastcall::Start,          lastcall::Finish,
                                         lastcall::DataTransfer,   lastcall::UserName,
                                         lastcall::ConnectoidName, lastcall::ConnectSpeed};

// The names in the journal that belong to the given set, in the order they came.
QStringList only(const QStringList& journal, const QStringList& names) {
    QStringList picked;
    for (const QString& entry : journal)
        if (names.contains(entry))
            picked << entry;
    return picked;
}

class ConnectionChecker : public ::testing::Test {
protected:
    MonitorHarness h;
};
} // namespace

TEST_F(ConnectionChecker, AWholeCallLeavesOneRecordAndNoRecoveryValues) {
    h.chargeEveryMinute("1.2");
    h.counters.received = 10000;
    h.counters.sent = 4000;
    TfrmDigital& w = h.start();
    h.check();
    EXPECT_FALSE(w.state().connected);
    EXPECT_EQ(w.trayGeneral->hint(), "VORN - [Not Connected]");

    const TDateTime connectedAt = h.clock.now();
    h.dialUp.dial("Demo", DialUpState::Connected, 28800).interfaceName = "ppp1";
    h.dialUp.speedKnown = true;
    int syncs = h.store.syncCount;
    h.check();
    ASSERT_TRUE(w.state().connected);
    EXPECT_EQ(w.globals().CurrentConnectoid, "Demo");
    EXPECT_EQ(w.state().connectSpeed, 28800u);
    EXPECT_EQ(h.counters.interfaceName, "ppp1");
    EXPECT_EQ(w.trayGeneral->hint(), "VORN - [Connecting]");
    EXPECT_TRUE(w.trayGeneral->visible());
    EXPECT_TRUE(w.mnuHangUp->isEnabled());
    EXPECT_TRUE(w.mnuIPAddress->isEnabled());
    EXPECT_TRUE(w.mnuCheckForMail->isEnabled());
    EXPECT_EQ(w.state().ipText, "?.?.?.?");
    // The first write names no connectoid yet and counts no data.
    EXPECT_EQ(h.stored(lastcall::ConnectoidName), QString());
    EXPECT_EQ(h.stored(lastcall::DataTransfer), "0");
    EXPECT_EQ(h.stored(lastcall::UserName), GetUserNameText());
    EXPECT_GT(h.store.syncCount, syncs) << "recovery values must reach the disk at once";

    h.clock.advance(60000);
    h.counters.received += 20000;
    h.counters.sent += 3000;
    syncs = h.store.syncCount;
    h.check();
    EXPECT_GT(h.store.syncCount, syncs);
    EXPECT_EQ(h.stored(lastcall::ConnectoidName), "Demo");
    EXPECT_EQ(h.stored(lastcall::DataTransfer), "23000");
    EXPECT_EQ(h.stored(lastcall::ConnectSpeed), "28800");
    EXPECT_TRUE(h.log().isEmpty());

    h.clock.advance(30000);
    h.dialUp.active->clear();
    // The interface is gone with the call: its counters read 0 now.
    h.counters.received = 0;
    h.counters.sent = 0;
    h.check();
    EXPECT_FALSE(w.state().connected);
    EXPECT_FALSE(w.mnuHangUp->isEnabled());
    EXPECT_EQ(w.trayGeneral->hint(), "VORN - [Not Connected]");

    const auto log = h.log();
    ASSERT_EQ(log.size(), 1);
    const typCallLogInformation& call = log.first();
    EXPECT_EQ(call.Mode, ModeAuto);
    EXPECT_NEAR(call.Start, connectedAt, 0.5 * Second);
    EXPECT_NEAR(call.Finish, h.clock.now(), 0.5 * Second);
    EXPECT_EQ(call.Data, 23000u) << "the figure of the last running check stands";
    EXPECT_EQ(call.Connect_Speed, 28800u);
    EXPECT_EQ(call.Connectoid_Name, "Demo");
    EXPECT_EQ(call.User_Name, GetUserNameText());
    // 90 seconds at 1.20 a minute; the engine itself decides the last second.
    EXPECT_NEAR(call.Cost_Exc, 1.80, 0.021);
    EXPECT_DOUBLE_EQ(call.Cost_Inc, call.Cost_Exc);
    for (const QString& name : crashRecoveryValues)
        EXPECT_FALSE(h.store.hasValue({}, name)) << name.toStdString();
}

TEST_F(ConnectionChecker, SequencesCallTheirStepsInOrder) {
    h.start();
    h.dialUp.dial("Demo");
    h.check();
    h.journal.clear();
    h.check();
    const QStringList running = {"SetConnectedHint", "CheckChargeSounds",  "CheckCallLength",
                                 "CheckCallCost",    "CheckIdle",          "CheckDisconnectTime",
                                 "CheckFreeMinutes", "CheckMinimumPeriod", "ApplicationsAtConnect"};
    EXPECT_EQ(only(h.journal, running), running);

    h.journal.clear();
    h.dialUp.active->clear();
    h.check();
    const QStringList ending = {"AbortMailCheck", "CloseApplications", "ApplicationsAtDisconnect",
                                "DoOperationAfterDisconnecting"};
    EXPECT_EQ(only(h.journal, ending + QStringList{"DoOperationAfterAutoDisconnecting"}), ending);
}

TEST_F(ConnectionChecker, HandshakingAdjustmentMovesTheStartBack) {
    h.furtherDetail("Handshaking Adjustment (seconds)", "30");
    TfrmDigital& w = h.start();
    const TDateTime connectedAt = h.clock.now();
    h.dialUp.dial("Demo");
    h.check();
    EXPECT_NEAR(w.GetCallStartTime(), connectedAt - 30 * Second, 0.5 * Second);

    h.clock.advance(10000);
    h.check();
    h.dialUp.active->clear();
    h.check();
    ASSERT_EQ(h.log().size(), 1);
    EXPECT_NEAR(h.log().first().Start, connectedAt - 30 * Second, 0.5 * Second);
}

TEST_F(ConnectionChecker, WhatCountsAsACall) {
    struct Case {
        int state;
        bool call;
    };
    // Opening the port and dialling are not yet a call; authentication already is.
    for (const Case c : {Case{0, false}, Case{2, false}, Case{3, true}, Case{5, true},
                         Case{8191, true}, Case{8192, true}, Case{8193, false}}) {
        MonitorHarness fresh;
        TfrmDigital& w = fresh.start();
        fresh.dialUp.dial("Demo", c.state);
        fresh.check();
        EXPECT_EQ(w.state().connected, c.call) << "state " << c.state;
    }

    // A failing service is no call.
    TfrmDigital& w = h.start();
    h.dialUp.active.reset();
    h.check();
    EXPECT_FALSE(w.state().connected);
}

TEST_F(ConnectionChecker, OnlyTheFirstConnectionIsExamined) {
    TfrmDigital& w = h.start();
    h.dialUp.dial("Dialling", 2);
    h.dialUp.dial("Up", DialUpState::Connected);
    h.check();
    EXPECT_FALSE(w.state().connected);

    h.dialUp.active->clear();
    h.dialUp.dial("A name longer than twenty");
    h.dialUp.dial("Second");
    h.check();
    ASSERT_TRUE(w.state().connected);
    EXPECT_EQ(w.globals().CurrentConnectoid, "A name longer than t");

    // Hang-up ends every connection, first to last.
    w.mnuHangUpClick();
    EXPECT_EQ(h.dialUp.hungUp, (QStringList{"3", "4"}));
    EXPECT_FALSE(w.state().autoHangUp);
}

TEST_F(ConnectionChecker, AConnectionWithoutANameIsUnknownOther) {
    TfrmDigital& w = h.start();
    h.dialUp.dial(QString());
    h.check();
    EXPECT_EQ(w.globals().CurrentConnectoid, "Unknown/Other");
    h.check();
    h.dialUp.active->clear();
    h.check();
    ASSERT_EQ(h.log().size(), 1);
    EXPECT_EQ(h.log().first().Connectoid_Name, "Unknown/Other");
}

TEST_F(ConnectionChecker, CallTimeStaysRightPastTheThirtyTwoBitCounter) {
    h.clock.setMilliseconds(4294967295LL - 1500);
    TfrmDigital& w = h.start();
    h.dialUp.dial("Demo");
    h.check();
    h.clock.advance(7000);
    EXPECT_NEAR(w.GetCallStartTime(), h.clock.now() - 7 * Second, 0.5 * Second);
}

TEST_F(ConnectionChecker, ExitVornEndsTheProgramAfterTheCallIsLogged) {
    h.store.setValue({}, "Exit_VORN", "1");
    TfrmDigital& w = h.start();
    QSignalSpy quit(&w, &TfrmDigital::quitRequested);
    h.dialUp.dial("Demo");
    h.check();
    h.check();
    EXPECT_TRUE(quit.isEmpty());
    h.dialUp.active->clear();
    h.check();
    ASSERT_EQ(quit.size(), 1);
    EXPECT_EQ(quit.first().first().toInt(), 0);
    EXPECT_EQ(h.log().size(), 1);
    EXPECT_TRUE(h.journal.contains("ApplicationsAtDisconnect"));
}

namespace {
// Answers every box, and while the box is up lets the checker fire again, the way a
// timer would during a modal box.
class ReenteringPrompts final : public Prompts {
public:
    Answer show(Kind, Buttons, const QString& text, const QString&) override {
        texts << text;
        if (whileShown)
            whileShown();
        return Answer::Ok;
    }
    QStringList texts;
    std::function<void()> whileShown;
};
} // namespace

TEST_F(ConnectionChecker, AFiringDuringABoxOfThePreviousOneIsSkipped) {
    ReenteringPrompts prompts;
    h.answering = &prompts;
    TfrmDigital& w = h.start();
    h.dialUp.dial("Demo");
    w.timerCheckerTimer();
    w.timerCheckerTimer();
    // A call of six days is refused by the recorder with a box: the box is up while the
    // line comes back.
    h.clock.advance(6LL * 86400 * 1000);
    h.dialUp.active->clear();
    int nestedQueries = -1;
    prompts.whileShown = [&] {
        h.dialUp.dial("Again");
        const int before = h.dialUp.connectionsCalls;
        w.timerCheckerTimer();
        nestedQueries = h.dialUp.connectionsCalls - before;
    };
    w.timerCheckerTimer();
    ASSERT_EQ(prompts.texts.size(), 1);
    EXPECT_TRUE(prompts.texts.first().startsWith(
        "Due to a problem the last session has not been saved to the log."));
    EXPECT_EQ(nestedQueries, 0) << "the nested firing must not look at the line";
    EXPECT_FALSE(w.state().connected);
    // The next regular firing sees the new call.
    w.timerCheckerTimer();
    EXPECT_TRUE(w.state().connected);
    EXPECT_EQ(w.globals().CurrentConnectoid, "Again");
}
