// A call as the connection checker sees it: detection, the record it leaves, the
// auto-disconnect rules and their countdown, and the applications at connect and disconnect.

#include "monitor_harness.h"
#include "private_bus.h"
#include "sysfs_tree.h"

#include "calllog/call_recorder.h"
#include "core/formatting.h"
#include "core/user_name.h"
#include "platform/network_manager_dial_up.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QProgressBar>
#include <QThread>

#include <csignal>
#include <sys/wait.h>

namespace {
using ConnectionChecker = Monitor;
using AutoDisconnect = Monitor;
using CallApplications = Monitor;

typApplicationInformation entry(const QString& connectoid, const QString& file, int execute,
                                int close = 0, int delay = 0, const QString& parameters = {}) {
    return {connectoid, file, {}, parameters, 0, execute, close, delay};
}
} // namespace

TEST_F(ConnectionChecker, AWholeCallLeavesOneRecordAndNoRecoveryValues) {
    chargeEveryMinute("1.2");
    furtherDetail("Handshaking Adjustment (seconds)", "30");
    set("Exit_VORN", "1");
    // Negative limits count as off.
    set("Auto_Idle_Disconnect", "-5").set("Auto_Disconnect_Exceed_Cost", "-1");
    clock.setMilliseconds(4294967295LL - 1500); // where a 32-bit counter would wrap
    counters.received = 10000;
    counters.sent = 4000;
    TfrmDigital& w = start();
    QSignalSpy quit(&w, &TfrmDigital::quitRequested);

    const TDateTime connectedAt = clock.now() - 30 * Second;
    dialUp.dial("Demo", DialUpState::Connected, 28800).interfaceName = "ppp1";
    dialUp.speedKnown = true;
    int syncs = store.syncCount;
    check();
    ASSERT_TRUE(w.state().connected);
    EXPECT_EQ(counters.interfaceName, "ppp1");
    EXPECT_EQ(w.trayGeneral->hint(), "VORN - [Connecting]");
    EXPECT_NEAR(w.GetCallStartTime(), connectedAt, 0.5 * Second);
    // The first write names no connectoid yet and counts no data.
    EXPECT_EQ(stored(lastcall::ConnectoidName), QString());
    EXPECT_EQ(stored(lastcall::DataTransfer), "0");
    EXPECT_EQ(stored(lastcall::UserName), GetUserNameText());
    EXPECT_GT(store.syncCount, syncs) << "recovery values must reach the disk at once";

    clock.advance(60000);
    counters.received += 20000;
    counters.sent += 3000;
    syncs = store.syncCount;
    check();
    EXPECT_GT(store.syncCount, syncs);
    EXPECT_NEAR(w.GetCallStartTime(), connectedAt, 0.5 * Second) << "past the 32-bit counter";
    EXPECT_EQ(stored(lastcall::ConnectoidName), "Demo");
    EXPECT_EQ(stored(lastcall::DataTransfer), "23000");
    EXPECT_EQ(stored(lastcall::ConnectSpeed), "28800");
    EXPECT_TRUE(log().isEmpty());
    EXPECT_TRUE(quit.isEmpty());
    EXPECT_TRUE(countdowns().isEmpty());

    clock.advance(30000);
    dialUp.active->clear();
    counters.received = counters.sent = 0; // the interface is gone with the call
    check();
    EXPECT_EQ(w.trayGeneral->hint(), "VORN - [Not Connected]");
    ASSERT_EQ(quit.size(), 1) << "Exit_VORN ends the program after the call is logged";

    ASSERT_EQ(log().size(), 1);
    const typCallLogInformation call = log().first();
    EXPECT_EQ(call.Mode, ModeAuto);
    EXPECT_NEAR(call.Start, connectedAt, 0.5 * Second);
    EXPECT_NEAR(call.Finish, clock.now(), 0.5 * Second);
    EXPECT_EQ(call.Data, 23000u) << "the figure of the last running check stands";
    EXPECT_EQ(call.Connect_Speed, 28800u);
    EXPECT_EQ(call.Connectoid_Name, "Demo");
    // 120 seconds at 1.20 a minute; the engine itself decides the last second.
    EXPECT_NEAR(call.Cost_Exc, 2.40, 0.021);
    for (const QString& name :
         QStringList{lastcall::Start, lastcall::Finish, lastcall::DataTransfer, lastcall::UserName,
                     lastcall::ConnectoidName, lastcall::ConnectSpeed})
        EXPECT_FALSE(store.hasValue({}, name)) << name.toStdString();
}

TEST_F(ConnectionChecker, WhatCountsAsACallAndWhichConnectionIsExamined) {
    // Opening the port and dialling are not yet a call; authentication already is.
    for (const auto& [state, call] : {std::pair{0, false},
                                      {2, false},
                                      {3, true},
                                      {5, true},
                                      {8191, true},
                                      {8192, true},
                                      {8193, false}}) {
        MonitorHarness fresh;
        fresh.shellService = nullptr; // a system without them
        fresh.powerService = nullptr;
        fresh.start();
        fresh.dialUp.dial("Demo", state);
        fresh.check();
        EXPECT_EQ(fresh.window->state().connected, call) << "state " << state;
        fresh.dropLine();
    }
    TfrmDigital& w = start();
    dialUp.active.reset(); // a failing service is no call
    check();
    EXPECT_FALSE(w.state().connected);

    dialUp.active.emplace();
    dialUp.dial("Dialling", 2);
    dialUp.dial("Up", DialUpState::Connected);
    check();
    EXPECT_FALSE(w.state().connected) << "only the first connection counts";
    dialUp.active->clear();
    dialUp.dial("A name longer than twenty");
    dialUp.dial("Second");
    check();
    EXPECT_EQ(w.globals().CurrentConnectoid, "A name longer than t");
    // Hang-up ends every connection, first to last.
    w.mnuHangUpClick();
    EXPECT_EQ(dialUp.hungUp, (QStringList{"3", "4"}));
    EXPECT_FALSE(w.state().autoHangUp);

    dialUp.active->clear();
    check();
    connect(QString());
    EXPECT_EQ(w.globals().CurrentConnectoid, "Unknown/Other");
    dropLine();
    EXPECT_EQ(log().last().Connectoid_Name, "Unknown/Other");
}

TEST_F(ConnectionChecker, AHandEditedAlternativeDetectorNeitherStopsDetectionNorRaising) {
    struct Raises : QObject {
        bool eventFilter(QObject*, QEvent* event) override {
            count += event->type() == QEvent::ZOrderChange;
            return false;
        }
        int count = 0;
    } raises;
    set("Alternative_Detector", "1").set("Debug_Logging", "1");
    TfrmDigital& w = start();
    w.installEventFilter(&raises);
    connect();
    ASSERT_TRUE(w.state().connected);
    EXPECT_TRUE(
        std::any_of(debugLog.lines().begin(), debugLog.lines().end(),
                    [](const QString& line) { return line.contains("Alternative_Detector"); }));
    ASSERT_TRUE(w.state().displayVisible);
    raises.count = 0;
    for (int i = 0; i < 3; ++i)
        check();
    EXPECT_EQ(raises.count, 3) << "every check puts the visible LED window back on top";
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
    ReenteringPrompts boxes;
    answering = &boxes;
    shell.startError = ENOENT;
    chargeEveryMinute("60"); // a pound a second
    set("Auto_Disconnect", "1");
    TfrmDigital& w = start();
    lists.Applications[1] = entry("Default", "/opt/missing", 1);
    connect();

    TDateTime droppedAt = 0;
    boxes.whileShown = [&] {
        // The box is up: the checker goes on, tries the application again without a second
        // box, runs the rules, and sees the line drop.
        for (int i = 0; i < 31; ++i) {
            clock.advance(2000);
            check();
        }
        EXPECT_TRUE(w.state().countdownActive) << "the one-minute rule has fired";
        dialUp.active->clear();
        droppedAt = clock.now();
        check();
        EXPECT_EQ(log().size(), 1) << "recorded while the box is still up";
    };
    clock.advance(2000);
    check(); // the application fails: its box comes up
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_TRUE(boxes.texts.first().startsWith("There has been a problem starting"));
    EXPECT_GT(shell.starts.size(), 30);
    ASSERT_EQ(log().size(), 1);
    EXPECT_NEAR(log().first().Finish, droppedAt, 0.5 * Second);
    EXPECT_NEAR(log().first().Cost_Exc, 64, 2.1);
}

// The whole way from NetworkManager (python3-dbusmock on a private bus) to the call log, with
// the link's counters in a /sys tree of the test's own.
TEST_F(ConnectionChecker, ANetworkManagerCallOnANonPppLinkNamedLateIsRecordedWhole) {
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
    const std::unique_ptr<ByteCounters> nmCounters = nm.createByteCounters();
    // Traffic of the interface before it carries the call is not the call's.
    quint64 received = 7000000;
    const auto traffic = [&](quint64 bytes) {
        received += bytes;
        ASSERT_TRUE(writeInterface(root.path(), "wwan0", 5, QByteArray::number(received), "0"));
    };
    traffic(0);
    ASSERT_TRUE(writeInterface(root.path(), "ppp0", 6, "123456789", "0")); // someone else's

    dialUpService = &nm;
    countersService = nmCounters.get();
    set("Auto_Idle_Disconnect", "5");
    TfrmDigital& w = start();
    const QString profile = mock.addProfile("Mobile", "gsm");
    const QString modem = mock.addModemDevice("modem0", "");

    // An attempt that fails before the modem has connected is no call.
    const QString attempt =
        mock.addActiveConnection(profile, {modem}, "1", NetworkManagerMock::Activating);
    mock.setDeviceLink(modem, NetworkManagerMock::DevicePrepare, "");
    check();
    EXPECT_FALSE(w.state().connected);
    mock.setDeviceLink(modem, NetworkManagerMock::DeviceFailed, "");
    mock.setActiveState(attempt, NetworkManagerMock::Deactivated);
    check();
    ASSERT_TRUE(nm.hangUp({attempt, "Mobile", DialUpState::Disconnected, {}, 0}));
    check();
    EXPECT_TRUE(log().isEmpty());

    // Activated before NetworkManager names the IP interface.
    const QString call =
        mock.addActiveConnection(profile, {modem}, "2", NetworkManagerMock::Activated);
    const TDateTime startedAt = clock.now();
    check();
    ASSERT_TRUE(w.state().connected);
    EXPECT_EQ(w.GetDataTransferred(), 0u);
    mock.setDeviceLink(modem, NetworkManagerMock::DeviceActivated, "wwan0");
    quint64 sent = 0;
    for (int second = 2; second <= 6 * 60; second += 2) { // past the five idle minutes
        clock.advance(2000);
        check();
        traffic(1000);
        sent += 1000;
    }
    EXPECT_TRUE(countdowns().isEmpty()) << "a busy call is not idle";
    clock.advance(2000);
    check(); // the last running check counts what the link moved
    mock.setActiveState(call, NetworkManagerMock::Deactivated);
    check();

    ASSERT_EQ(log().size(), 1);
    const typCallLogInformation record = log().first();
    EXPECT_EQ(record.Connectoid_Name, "Mobile");
    EXPECT_EQ(record.Data, sent);
    EXPECT_NEAR(record.Finish - record.Start, 362 * Second, 0.5 * Second);
    EXPECT_NEAR(record.Start, startedAt, 0.5 * Second);
}

TEST(IdleActivityThreshold, ChecksNeededByInterval) {
    for (const auto& [interval, checks] : QList<std::pair<int, int>>{
             {0, 4}, {1499, 4}, {1500, 3}, {2000, 3}, {2500, 3}, {2501, 2}, {10000, 2}})
        EXPECT_EQ(TfrmDigital::IdleActivityThreshold(interval), checks) << interval;
}

TEST_F(AutoDisconnect, CallLengthFiresOnceWaitsForAnOpenCountdownAndIsRestoredAfterTheCall) {
    clock.setMilliseconds(4294967295LL - 1000); // where a 32-bit counter would wrap
    set("Auto_Idle_Disconnect", "40000");       // 2.4e9 ms: beyond a signed 32-bit sum
    set("Auto_Disconnect", "30");
    start();
    connect();
    settings.Auto_At_Disconnect = clock.now() + 29.5 * 60 * Second; // entered in the call
    checkAfter(30 * Minute - 1);
    EXPECT_EQ(reasons(), QStringList{"The time is now 15/03/2023 12:29:30"});
    EXPECT_NEAR(ReadFloatSetting(stored("Auto_At_Disconnect"), regional), clock.now() + 1.0, Second)
        << "a day on";
    checkAfter(1);
    EXPECT_EQ(countdowns().size(), 1) << "the length waits while a countdown is open";

    cancelAll();
    checkAfter(2000);
    EXPECT_EQ(reasons(), QStringList{"Call has exceeded 30 minutes in length"});
    EXPECT_EQ(stored("Auto_Disconnect"), "0");
    cancelAll();
    checkAfter(10 * Minute);
    EXPECT_TRUE(countdowns().isEmpty()) << "no second countdown for the length";
    EXPECT_TRUE(dialUp.hungUp.isEmpty());

    dropLine();
    EXPECT_EQ(settings.Auto_Disconnect, 30);
    EXPECT_EQ(stored("Auto_Disconnect"), "30");
}

TEST_F(AutoDisconnect, CallCostFiresOnceOnTheUndiscountedCostEvenWhenTheCostIsNotShown) {
    for (const bool shown : {true, false}) {
        SCOPED_TRACE(shown);
        MonitorHarness f;
        f.chargeEveryMinute("1");
        f.furtherDetail("Discount (%)", "50");
        f.set("Show_Cost_Including_Discount", "1").set("Show_Cost", shown ? "1" : "0");
        f.set("Auto_Disconnect_Exceed_Cost", "1.5").set("Auto_Idle_Disconnect", "1");
        f.start();
        f.connect();
        EXPECT_EQ(f.window->timerCost->enabled(), shown);
        for (int i = 0; i < 46; ++i) { // without timerCost only the checker prices the call
            f.clock.advance(2000);
            if (shown)
                f.window->UpdateCost();
            f.check();
        }
        // 1.52 without the discount, 0.76 with it.
        EXPECT_EQ(f.reasons(), (QStringList{"The call has been idle for the past 1 minutes",
                                            "Call cost has reached £1.50"}));
        f.cancelAll();
        f.checkAfter(Minute);
        EXPECT_EQ(f.reasons(), QStringList{"The call has been idle for the past 1 minutes"});
    }
}

TEST_F(AutoDisconnect, IdleTimeRestartsOnlyAfterTrafficOnThreeChecksInARow) {
    set("Auto_Idle_Disconnect", "5");
    start();
    connect();
    checkAfter(4 * Minute);
    for (int i = 0; i < 2; ++i) { // two checks with traffic, as at the default 2000 ms
        counters.received += 500;
        checkAfter(2000);
    }
    checkAfter(Minute - 4000); // five minutes since the connect, not more
    EXPECT_TRUE(countdowns().isEmpty());
    checkAfter(1);
    EXPECT_EQ(reasons(), QStringList{"The call has been idle for the past 5 minutes"});
    cancelAll();

    for (int i = 0; i < 3; ++i) {
        counters.sent += 1;
        checkAfter(2000);
    }
    checkAfter(5 * Minute);
    EXPECT_TRUE(countdowns().isEmpty());
    checkAfter(1);
    EXPECT_EQ(countdowns().size(), 1);
}

TEST_F(AutoDisconnect, FreeMinutesMinimumPeriodAndConnectSpeedFireOnceAndOnlyWhereTheyApply) {
    for (const auto& [rule, reason] :
         {std::pair{"Auto_Disconnect_Free_Minutes", "Free minutes have expired"},
          {"Auto_Disconnect_Minimum_Period", "Minimum charge period has expired"}})
        for (const bool exists : {true, false}) {
            SCOPED_TRACE(testing::Message() << rule << exists);
            MonitorHarness f;
            f.chargeEveryMinute("1");
            if (QString(rule).endsWith("Period"))
                f.furtherDetail("Minimum Charge", exists ? "1.00" : "0");
            else if (exists)
                f.set("FreeMinutes", "1", "Costing1");
            f.set(rule, "1");
            f.start();
            f.connect();
            f.checkAfter(Minute - 2000);
            EXPECT_TRUE(f.countdowns().isEmpty());
            f.checkAfter(4000);
            EXPECT_EQ(f.reasons(), exists ? QStringList{reason} : QStringList());
            f.cancelAll();
            f.checkAfter(Minute);
            EXPECT_TRUE(f.countdowns().isEmpty());
        }
    // The speed is checked at connect, and only when the service knows it (0 is unknown).
    for (const auto& [known, speed] :
         QList<std::pair<bool, quint32>>{{true, 28800}, {true, 33600}, {false, 0}}) {
        MonitorHarness f;
        f.set("Auto_Disconnect_Connect_Speed", "33600");
        f.start();
        f.dialUp.speedKnown = known;
        f.dialUp.dial("Demo", DialUpState::Connected, speed);
        f.check();
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
    set("Operation_After_Auto_Disconnecting", "1").set("Operation_After_Disconnecting", "2");
    start();
    connect();
    checkAfter(5 * Minute + 1);
    runCountdownsOut();
    ASSERT_EQ(dialUp.hungUp.size(), 1);
    check(); // the line has dropped
    ASSERT_EQ(log().size(), 1);
    EXPECT_EQ(log().first().Mode, ModeDisconnected);
    EXPECT_EQ(power.requests, QList<Power::Operation>{Power::Operation::PowerOff});
    EXPECT_EQ(settings.Operation_After_Auto_Disconnecting, 1) << "a standing choice";

    connect();
    window->mnuHangUpClick();
    check();
    EXPECT_EQ(log().last().Mode, ModeAuto);
    EXPECT_EQ(power.requests.last(), Power::Operation::Reboot);
    EXPECT_EQ(stored("Operation_After_Disconnecting"), "0");
    connect();
    dropLine();
    EXPECT_EQ(power.requests.size(), 2) << "a one-shot choice";
}

// The whole way to logind: python3-dbusmock's template on a private bus.
TEST_F(AutoDisconnect, ShutDownAfterACallReachesAMockedLogindOnceAndFailuresAreIgnored) {
    if (const QString missing = PrivateBus::missingTools(); !missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    PrivateBus bus;
    QString error;
    ASSERT_TRUE(bus.start(&error)) << error.toStdString();
    LogindPower logind(bus.address());
    powerService = &logind;
    set("Operation_After_Disconnecting", "2");
    start();
    connect();
    dropLine(); // nobody answers for logind yet: the error is ignored
    EXPECT_EQ(settings.Operation_After_Disconnecting, 0);

    ASSERT_TRUE(bus.startTemplateMock("logind", "org.freedesktop.login1", &error))
        << error.toStdString();
    settings.Operation_After_Disconnecting = 1; // as the options dialog sets it
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
}

TEST_F(AutoDisconnect, TheCountdownIsOnTopModelessAndOnlyItsOwnCallIsHungUp) {
    set("Auto_Idle_Disconnect", "1");
    start();
    connect();
    const auto open = [&] {
        checkAfter(60001);
        return countdowns().value(0);
    };
    TfrmAutoDisconnect* countdown = open();
    ASSERT_NE(countdown, nullptr);
    const auto button = [&](const char* name) { return countdown->findChild<QPushButton*>(name); };
    auto* progress = countdown->findChild<QProgressBar*>("progressAutoDisconnect");
    EXPECT_FALSE(countdown->isModal());
    EXPECT_TRUE(countdown->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(countdown->windowTitle(), "Auto Disconnect");
    EXPECT_EQ(button("btnHangUp")->text(), "&Hang Up");
    EXPECT_TRUE(button("btnHangUp")->isDefault());
    EXPECT_EQ(button("btnCancel")->text(), "&Cancel");
    EXPECT_TRUE(journal.contains("PlaySoundEvent AtAutoDisconnectStart"));
    for (int second = 1; second <= 9; ++second) {
        EXPECT_EQ(progress->value(), second);
        countdown->timerAutoDisconnectTimer();
    }

    // Cancel, the close box and Escape keep the call.
    button("btnCancel")->click();
    for (const bool closeBox : {true, false}) {
        countdown = open();
        ASSERT_NE(countdown, nullptr);
        if (closeBox)
            countdown->close();
        else
            QTest::keyClick(countdown, Qt::Key_Escape);
    }
    EXPECT_TRUE(countdowns().isEmpty());
    EXPECT_FALSE(window->state().countdownActive);
    EXPECT_TRUE(dialUp.hungUp.isEmpty());

    // A countdown outlived by its call leaves the next call alone.
    open();
    dropLine();
    checkAfter(3000);
    connect("Next");
    runCountdownsOut();
    EXPECT_TRUE(countdowns().isEmpty());
    EXPECT_TRUE(dialUp.hungUp.isEmpty());
    EXPECT_FALSE(window->state().autoHangUp);

    // Hang Up acts at the next second.
    countdown = open();
    ASSERT_NE(countdown, nullptr);
    countdown->timerAutoDisconnectTimer();
    button("btnHangUp")->click();
    EXPECT_TRUE(dialUp.hungUp.isEmpty());
    countdown->timerAutoDisconnectTimer();
    EXPECT_EQ(dialUp.hungUp.size(), 1);
    EXPECT_TRUE(window->state().autoHangUp);
    EXPECT_FALSE(window->state().countdownActive);
}

TEST_F(CallApplications, StartedOnceAfterTheDelayForTheirConnectoidAndClosedOnlyIfStartedHere) {
    furtherDetail("Handshaking Adjustment (seconds)", "10");
    start();
    const auto started = [&] {
        QStringList programs;
        for (const FakeShell::Start& s : shell.starts)
            programs << s.program;
        return programs;
    };
    const auto slot = [&](int i) {
        return window->globals().ApplicationProcesses[size_t(i - 1)].processId;
    };
    lists.Applications[1] = entry("Default", "/opt/mail", 1, 1, 20);
    lists.Applications[2] = entry("Work", "/opt/work", 1);
    lists.Applications[3] = entry("home", "/opt/case", 1);
    lists.Applications[4] = entry("Home", "/opt/keep", 1, 0);
    lists.Applications[5] = entry("Home", "/opt/late", 1, 1, 600);
    lists.Applications[6] = entry("Home", "/opt/at-end", 2, 1);
    lists.Applications[8] = entry("Home", "/opt/after-a-gap", 1);
    connect("Home");
    checkAfter(10000); // exactly 20 s with the handshaking: not past the delay
    EXPECT_EQ(started(), QStringList{"/opt/keep"});
    checkAfter(1);
    for (int i = 0; i < 3; ++i)
        checkAfter(2000);
    EXPECT_EQ(started(), (QStringList{"/opt/keep", "/opt/mail"})) << "once per call";

    dropLine();
    EXPECT_EQ(shell.terminated, QList<qint64>{slot(1)});
    EXPECT_EQ(started().last(), "/opt/at-end") << "no delay at the end";

    connect("Home"); // a new call empties the slots and starts its entries again
    EXPECT_EQ(slot(1), 0);
    checkAfter(11000);
    EXPECT_EQ(started().count("/opt/mail"), 2);
    shell.running.clear(); // it has ended by itself: passed over without a word
    dropLine();
    EXPECT_TRUE(prompts.shown.isEmpty());

    // An entry named outside the code page finds its applications and its log.
    const QString russian = QString::fromUtf8("Мой модем");
    dialUp.entryNames = QStringList{russian, "Work"};
    start();
    EXPECT_EQ(names[1], "??? ?????"); // as the options dialog offers it
    lists.Applications[1] = entry(names[1], "/opt/russian", 1);
    connect(russian);
    checkAfter(2000);
    EXPECT_EQ(started().last(), "/opt/russian");
    dropLine();
    EXPECT_EQ(log().last().Connectoid_Name, names[1]);
}

TEST_F(CallApplications, PathParametersFolderAndWindowStateReachTheShellOrSayWhyNot) {
    start();
    typApplicationInformation mail =
        entry("Default", "/opt/My Mail/mail app", 1, 0, 0, "/check --folder \"In Box\"");
    mail.Working_Directory = "/home/jo/My Mail";
    mail.Window_State = 2;
    lists.Applications[1] = mail;
    const QList<int> states = {1, 3, 9};
    for (int i = 0; i < states.size(); ++i) {
        lists.Applications[2 + i] = entry("Default", "/bin/other", 1);
        lists.Applications[2 + i].Window_State = states[i];
        lists.Applications[2 + i].Working_Directory = "  ";
    }
    lists.Applications[5] = entry("Default", "/opt/mail", 2, 0, 0, "--name \"Jo");
    connect();
    checkAfter(2000);
    ASSERT_EQ(shell.starts.size(), 4);
    EXPECT_EQ(shell.starts[0].program, "/opt/My Mail/mail app");
    EXPECT_EQ(shell.starts[0].arguments, (QStringList{"/check", "--folder", "In Box"}));
    EXPECT_EQ(shell.starts[0].workingDirectory, "/home/jo/My Mail");
    EXPECT_EQ(shell.starts[0].state, WindowState::Maximized);
    const QList<WindowState> expected = {WindowState::Minimized, WindowState::Hidden,
                                         WindowState::Normal};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(shell.starts[i + 1].state, expected[i]) << i;
        EXPECT_EQ(shell.starts[i + 1].workingDirectory, QString()) << "blank is none";
    }
    dropLine();
    EXPECT_EQ(shell.starts.size(), 4) << "an unclosed quotation mark never reaches the shell";
    EXPECT_EQ(prompts.texts(), QStringList{"There has been a problem starting an application "
                                           "you have configured to start at connection or "
                                           "disconnection.\n\r\n\r\"\"/opt/mail\" --name "
                                           "\"Jo\"\n\r\n\rA quotation mark in the parameters is "
                                           "never closed."});
    EXPECT_EQ(prompts.shown[0].kind, Prompts::Kind::Error);

    shell.openResult = Shell::FileNotFound;
    window->OpenDocument("/nowhere/notify_main.htm", {});
    EXPECT_EQ(prompts.texts().last(),
              "Error launching application.\n\r\n\rThe specified file was not found.");
}

TEST_F(CallApplications, ARealProgramGetsItsArgumentsAndEndsWithTheCall) {
    QTemporaryDir dir;
    const QString report = dir.filePath("report");
    const QString script = dir.filePath("My Programs/mail check.sh");
    QDir().mkpath(dir.filePath("My Programs"));
    QFile file(script);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("#!/bin/sh\n{ pwd; for a in \"$@\"; do echo \"[$a]\"; done; } > "
                              "'%1.t'\nmv '%1.t' '%1'\nexec sleep 30\n")
                   .arg(report)
                   .toUtf8());
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    LinuxShell linux;
    QSignalSpy ended(&linux, &LinuxShell::programEnded);
    shellService = &linux;
    start();
    lists.Applications[1] = entry("Default", script, 1, 1, 0, "'first arg' second");
    lists.Applications[1].Working_Directory = dir.path();
    lists.Applications[2] = entry("Default", dir.filePath("missing"), 1);
    connect();
    checkAfter(2000);
    const qint64 pid = window->globals().ApplicationProcesses[0].processId;
    ASSERT_NE(pid, 0);
    EXPECT_TRUE(prompts.texts().value(0).endsWith(qt_error_string(ENOENT)));
    checkAfter(2000);
    EXPECT_EQ(prompts.texts().size(), 2) << "a program that cannot start is tried, and said, again";

    QFile lines(report);
    for (QDeadlineTimer deadline(10000); !lines.exists() && !deadline.hasExpired();)
        QThread::msleep(10);
    ASSERT_TRUE(lines.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(lines.readAll()).split('\n', Qt::SkipEmptyParts),
              (QStringList{QFileInfo(dir.path()).canonicalFilePath(), "[first arg]", "[second]"}));

    dropLine();
    ASSERT_TRUE(ended.wait(10000));
    EXPECT_EQ(ended[0][0].toLongLong(), pid);
    EXPECT_TRUE(WIFSIGNALED(ended[0][1].toInt()) && WTERMSIG(ended[0][1].toInt()) == SIGTERM);
}
