#include "monitor_harness.h"

#include "fake_shell.h"
#include "private_bus.h"
#include "sysfs_tree.h"

#include "calllog/call_recorder.h"
#include "core/user_name.h"
#include "monitor/tfrm_auto_disconnect.h"
#include "platform/network_manager_dial_up.h"
#include "tariff/call_costing.h"
#include "tariff/tariff_context.h"
#include "widgets/taskbar_icon.h"

#include <QAction>
#include <QSignalSpy>
#include <QTemporaryDir>
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

TEST_F(ConnectionChecker, AHandEditedAlternativeDetectorDoesNotStopDetection) {
    h.set("Alternative_Detector", "1").set("Debug_Logging", "1");
    TfrmDigital& w = h.start();
    h.dialUp.dial("Demo");
    h.check();
    EXPECT_TRUE(w.state().connected);
    EXPECT_TRUE(
        std::any_of(h.debugLog.lines().begin(), h.debugLog.lines().end(),
                    [](const QString& line) { return line.contains("Alternative_Detector"); }));
}

TEST_F(ConnectionChecker, EveryCheckPutsTheVisibleLedWindowBackOnTop) {
    struct Raises : QObject {
        bool eventFilter(QObject*, QEvent* event) override {
            count += event->type() == QEvent::ZOrderChange;
            return false;
        }
        int count = 0;
    } raises;
    TfrmDigital& w = h.start();
    w.installEventFilter(&raises);
    h.dialUp.dial("Demo");
    h.check();
    ASSERT_TRUE(w.state().displayVisible);
    raises.count = 0;
    for (int i = 0; i < 3; ++i)
        h.check();
    EXPECT_EQ(raises.count, 3);
}

namespace {
// Answers every box, and while it is up runs what the test gives, as the timers would
// during a modal box.
class ReenteringPrompts final : public Prompts {
public:
    Answer show(Kind, Buttons, const QString& text, const QString&) override {
        texts << text;
        if (whileShown)
            std::exchange(whileShown, {})();
        return Answer::Ok;
    }
    QStringList texts;
    std::function<void()> whileShown;
};
} // namespace

TEST_F(ConnectionChecker, ACallThatEndsWhileAnApplicationErrorBoxIsUpIsRecordedWithItsRealEnd) {
    ReenteringPrompts prompts;
    FakeShell shell;
    shell.startError = ENOENT;
    h.answering = &prompts;
    h.shellService = &shell;
    h.chargeEveryMinute("60"); // a pound a second
    h.set("Auto_Disconnect", "1");
    TfrmDigital& w = h.start();
    h.lists.Applications[1] = {"Default", "/opt/missing", {}, {}, 0, 1, 0, 0};
    h.dialUp.dial("Demo");
    h.check();

    TDateTime droppedAt = 0;
    prompts.whileShown = [&] {
        // The box is up: the checker goes on, tries the application again without a second
        // box, runs the rules, and sees the line drop.
        for (int i = 0; i < 31; ++i) {
            h.clock.advance(2000);
            w.timerCheckerTimer();
        }
        EXPECT_TRUE(w.state().countdownActive) << "the one-minute rule has fired";
        h.dialUp.active->clear();
        droppedAt = h.clock.now();
        w.timerCheckerTimer();
        EXPECT_EQ(h.log().size(), 1) << "recorded while the box is still up";
    };
    h.clock.advance(2000);
    w.timerCheckerTimer(); // the application fails: its box comes up
    ASSERT_EQ(prompts.texts.size(), 1);
    EXPECT_TRUE(prompts.texts.first().startsWith("There has been a problem starting"));
    EXPECT_GT(shell.starts.size(), 30);
    ASSERT_EQ(h.log().size(), 1);
    EXPECT_NEAR(h.log().first().Finish, droppedAt, 0.5 * Second);
    EXPECT_NEAR(h.log().first().Cost_Exc, 64, 2.1);
}

// The whole way from NetworkManager (python3-dbusmock on a private bus) to the call log, with
// the link's counters in a /sys tree of the test's own.
TEST(NetworkManagerCall, OnANonPppLinkNamedLateIsRecordedWithItsDataAndItsRealLength) {
    if (const QString missing = PrivateBus::missingTools(); !missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    PrivateBus bus;
    QString error;
    ASSERT_TRUE(bus.start(&error)) << error.toStdString();
    ASSERT_TRUE(bus.startNetworkManagerMock(&error)) << error.toStdString();
    NetworkManagerMock mock(bus.driver());
    QTemporaryDir root;
    NetworkManagerDialUp::Options options;
    options.busAddress = bus.address();
    options.sysRoot = root.path();
    NetworkManagerDialUp nm(options);
    const std::unique_ptr<ByteCounters> counters = nm.createByteCounters();
    // Traffic of the interface before it carries the call is not the call's.
    quint64 received = 7000000;
    const auto traffic = [&](quint64 bytes) {
        received += bytes;
        ASSERT_TRUE(writeInterface(root.path(), "wwan0", 5, QByteArray::number(received), "0"));
    };
    traffic(0);
    ASSERT_TRUE(writeInterface(root.path(), "ppp0", 6, "123456789", "0")); // someone else's

    MonitorHarness h;
    h.dialUpService = &nm;
    h.countersService = counters.get();
    h.set("Auto_Idle_Disconnect", "5");
    TfrmDigital& w = h.start();
    const QString profile = mock.addProfile("Mobile", "gsm");
    const QString modem = mock.addModemDevice("modem0", "");

    // An attempt that fails before the modem has connected is no call.
    const QString attempt =
        mock.addActiveConnection(profile, {modem}, "1", NetworkManagerMock::Activating);
    mock.setDeviceLink(modem, NetworkManagerMock::DevicePrepare, "");
    h.check();
    EXPECT_FALSE(w.state().connected);
    mock.setDeviceLink(modem, NetworkManagerMock::DeviceFailed, "");
    mock.setActiveState(attempt, NetworkManagerMock::Deactivated);
    h.check();
    ASSERT_TRUE(nm.hangUp({attempt, "Mobile", DialUpState::Disconnected, {}, 0}));
    h.check();
    EXPECT_TRUE(h.log().isEmpty());

    // Activated before NetworkManager names the IP interface.
    const QString call =
        mock.addActiveConnection(profile, {modem}, "2", NetworkManagerMock::Activated);
    const TDateTime startedAt = h.clock.now();
    h.check();
    ASSERT_TRUE(w.state().connected);
    EXPECT_EQ(w.GetDataTransferred(), 0u);
    mock.setDeviceLink(modem, NetworkManagerMock::DeviceActivated, "wwan0");
    quint64 sent = 0;
    for (int second = 2; second <= 6 * 60; second += 2) { // past the five idle minutes
        h.clock.advance(2000);
        h.check();
        traffic(1000);
        sent += 1000;
    }
    EXPECT_TRUE(w.findChildren<TfrmAutoDisconnect*>().isEmpty()) << "a busy call is not idle";
    h.clock.advance(2000);
    h.check(); // the last running check counts what the link moved
    mock.setActiveState(call, NetworkManagerMock::Deactivated);
    h.check();

    const QList<typCallLogInformation> log = h.log();
    ASSERT_EQ(log.size(), 1);
    const typCallLogInformation& record = log.first();
    EXPECT_EQ(record.Connectoid_Name, "Mobile");
    EXPECT_EQ(record.Data, sent);
    EXPECT_NEAR(record.Finish - record.Start, 362 * Second, 0.5 * Second);
    EXPECT_NEAR(record.Start, startedAt, 0.5 * Second);
}
