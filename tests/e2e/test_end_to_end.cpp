// The real program on a virtual X display, with a tray on a private session bus, driven by
// vorn-sim: a call of a few seconds ends up in the call log, the LED window is photographed
// while the call runs, and SIGTERM is a clean end.

#include "desktop_session.h"

#include "calllog/call_log_file.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>

using namespace e2e;

TEST_F(EndToEnd, ACallMadeWithTheSimulatorIsShownAndLogged) {
    env.insert("LANG", "en_GB.UTF-8"); // a British user: the running cost reads in pounds
    // A private session bus with a tray on it.
    QProcess& bus =
        spawn("dbus-daemon", {"--session", "--nofork", "--print-address=1",
                              "--address=unix:path=" + QDir(dir.path()).filePath("bus")});
    const QString address = firstLine(bus, 15000);
    ASSERT_FALSE(address.isEmpty()) << bus.readAllStandardError().toStdString();
    env.insert("DBUS_SESSION_BUS_ADDRESS", address);
    QProcess& watcher = spawn(
        "/usr/bin/python3", {"-m", "dbusmock", "--session", "-t",
                             QStringLiteral(VORN_E2E_SOURCE_DIR) + "/status_notifier_watcher.py"});
    QDBusConnection driver = QDBusConnection::connectToBus(address, "e2e-driver");
    ASSERT_TRUE(waitFor(
        [&] {
            return driver.interface()->isServiceRegistered("org.kde.StatusNotifierWatcher").value();
        },
        15000))
        << watcher.readAllStandardError().toStdString();

    // A known tariff and quick timers, so that a few seconds show everything.
    writeSettings({"Interval_Call_Checker=250", "Interval_Display_Changer=400",
                   "Number_Of_Costings=1", "Costing1/StartTime=0",
                   "Costing1/Connectoid_Name=Default", "Costing1/FinishTime=0.99999",
                   "Costing1/Days=127", "Costing1/ChargePerMin=1.2"});
    ASSERT_EQ(sim({"entries", "add", "Demo"}), 0);
    EXPECT_EQ(run(VORN_PROGRAM, {"--exit"}),
              std::make_pair(1, QStringLiteral("VORN is not running.\n")));
    QProcess& vorn = startVorn();
    QDBusInterface watcherObject("org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher",
                                 "org.kde.StatusNotifierWatcher", driver);
    EXPECT_TRUE(waitFor(
        [&] {
            return !watcherObject.property("RegisteredStatusNotifierItems")
                        .toStringList()
                        .isEmpty();
        },
        15000))
        << "the tray icon never registered";

    ASSERT_EQ(sim({"dial", "Demo", "--speed", "28800"}), 0);
    ASSERT_TRUE(waitFor([&] { return stored("Last_Connectoid_Name") == "Demo"; }, 15000))
        << "the call was not seen";
    ASSERT_EQ(sim({"traffic", "--rx", "50000", "--tx", "7000"}), 0);
    ASSERT_TRUE(waitFor([&] { return stored("Last_Data_Transfer") == "57000"; }, 15000));
    // The length of the running call as the program last saved it for crash recovery.
    const auto callSeconds = [&] {
        const auto day = [&](const char* name) {
            return stored(QString::fromLatin1(name)).replace(u',', u'.').toDouble();
        };
        return (day("Last_Call_Finish") - day("Last_Call_Start")) * 86400.0;
    };
    // Two seconds of call: the display changer has stepped past "CALL" several times.
    ASSERT_TRUE(waitFor([&] { return callSeconds() >= 2.0; }, 15000));
    // The LED window stands at its home (0, 0) on a black screen: its text lit there, and
    // nothing far from it.
    const QRect lit = litArea(grabScreen("e2e-led-window-during-call.png"), 60);
    EXPECT_GT(lit.width(), 50) << "no LED text in e2e-led-window-during-call.png";
    EXPECT_TRUE(QRect(0, 0, 200, 40).contains(lit));

    ASSERT_TRUE(waitFor([&] { return callSeconds() >= 3.0; }, 15000));
    ASSERT_EQ(sim({"hangup"}), 0);
    ASSERT_TRUE(waitFor([&] { return QFileInfo(logPath()).size() == 92; }, 15000))
        << "no call log record";
    ASSERT_TRUE(waitFor([&] { return stored("Last_Call_Start").isEmpty(); }, 5000));
    const auto log = calllog::readAll(logPath());
    ASSERT_EQ(log.size(), 1);
    const typCallLogInformation& call = log.first();
    EXPECT_EQ(call.Mode, ModeAuto);
    EXPECT_EQ(call.Connectoid_Name, QStringLiteral("Demo"));
    EXPECT_EQ(call.Connect_Speed, 28800u);
    EXPECT_EQ(call.Data, 57000u);
    const double seconds = (call.Finish - call.Start) * 86400.0;
    EXPECT_GE(seconds, 2.9); // date-times of whole seconds, held as day fractions
    EXPECT_LT(seconds, 60.0);
    EXPECT_NEAR(call.Cost_Exc, seconds * 0.02, 0.05);

    // SIGTERM is a clean end.
    vorn.terminate();
    ASSERT_TRUE(vorn.waitForFinished(10000));
    EXPECT_EQ(vorn.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(vorn.exitCode(), 0) << vorn.readAllStandardError().toStdString();
}
