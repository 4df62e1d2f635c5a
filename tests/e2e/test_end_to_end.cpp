// The real program on a virtual X display, with a tray on a private session bus, driven by
// vorn-sim: a call of a few seconds ends up in the call log, and the LED window is
// photographed while the call runs.

#include "calllog/call_log_file.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <memory>
#include <vector>

namespace {
const QString Python = QStringLiteral("/usr/bin/python3");

// Polls a condition until it holds or the time is up, letting events through meanwhile.
bool waitFor(const std::function<bool()>& condition, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(20);
    }
    return true;
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* tool : {"Xvfb", "dbus-daemon"})
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                GTEST_SKIP() << tool << " is not installed (scripts/deps.sh installs it)";
        if (QProcess::execute(Python, {"-c", "import dbusmock"}) != 0)
            GTEST_SKIP() << "python3-dbusmock is not installed (scripts/deps.sh installs it)";
        ASSERT_TRUE(dir.isValid());
        QDir root(dir.path());
        for (const char* sub : {"runtime", "home"})
            ASSERT_TRUE(root.mkpath(QString::fromLatin1(sub)));
        QFile::setPermissions(root.filePath("runtime"), QFileDevice::ReadOwner |
                                                            QFileDevice::WriteOwner |
                                                            QFileDevice::ExeOwner);
        env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", root.filePath("runtime"));
        env.insert("VORN_CONFIG", configPath());
        env.insert("VORN_HOME", root.filePath("home"));
        env.insert("VORN_SIM_STATE", root.filePath("sim.json"));
        env.remove("WAYLAND_DISPLAY");
        env.insert("QT_QPA_PLATFORM", "xcb");
    }

    void TearDown() override {
        // The program first, so that it never sees its display or bus vanish.
        for (auto it = processes.rbegin(); it != processes.rend(); ++it) {
            QProcess& p = **it;
            if (p.state() == QProcess::NotRunning)
                continue;
            p.terminate();
            if (!p.waitForFinished(5000)) {
                p.kill();
                p.waitForFinished(2000);
            }
        }
    }

    QString configPath() const { return QDir(dir.path()).filePath("vorn.conf"); }
    QString logPath() const { return QDir(dir.path()).filePath("home/Logs/log070.bin"); }

    QProcess& spawn(const QString& program, const QStringList& arguments) {
        processes.push_back(std::make_unique<QProcess>());
        QProcess& p = *processes.back();
        p.setProcessEnvironment(env);
        p.setProgram(program);
        p.setArguments(arguments);
        p.start();
        return p;
    }

    // The first line a starting process prints, or empty when it prints none in time.
    static QString firstLine(QProcess& p, int timeoutMs) {
        waitFor([&] { return p.canReadLine() || p.state() == QProcess::NotRunning; }, timeoutMs);
        return QString::fromLocal8Bit(p.readLine()).trimmed();
    }

    int sim(const QStringList& arguments) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(VORN_SIM_PROGRAM), arguments);
        if (!p.waitForFinished(10000))
            return -1;
        return p.exitCode();
    }

    QString stored(const QString& name) {
        QSettings settings(configPath(), QSettings::IniFormat);
        return settings.value(name).toString();
    }

    // The length of the running call as the program last saved it for crash recovery.
    double storedCallSeconds() {
        const auto day = [&](const char* name) {
            return stored(QString::fromLatin1(name)).replace(u',', u'.').toDouble();
        };
        return (day("Last_Call_Finish") - day("Last_Call_Start")) * 86400.0;
    }

    QTemporaryDir dir;
    QProcessEnvironment env;
    std::vector<std::unique_ptr<QProcess>> processes;
};
} // namespace

TEST_F(EndToEnd, ACallMadeWithTheSimulatorIsShownAndLogged) {
    // A virtual screen; it prints its display number when it is ready.
    QProcess& xvfb =
        spawn("Xvfb", {"-displayfd", "1", "-screen", "0", "800x600x24", "-br", "-nolisten", "tcp"});
    const QString display = firstLine(xvfb, 15000);
    ASSERT_FALSE(display.isEmpty()) << xvfb.readAllStandardError().toStdString();
    env.insert("DISPLAY", ":" + display);

    // A private session bus with a tray on it.
    QProcess& bus =
        spawn("dbus-daemon", {"--session", "--nofork", "--print-address=1",
                              "--address=unix:path=" + QDir(dir.path()).filePath("bus")});
    const QString address = firstLine(bus, 15000);
    ASSERT_FALSE(address.isEmpty()) << bus.readAllStandardError().toStdString();
    env.insert("DBUS_SESSION_BUS_ADDRESS", address);
    QProcess& watcher =
        spawn(Python, {"-m", "dbusmock", "--session", "-t",
                       QStringLiteral(VORN_E2E_SOURCE_DIR) + "/status_notifier_watcher.py"});
    QDBusConnection driver = QDBusConnection::connectToBus(address, "e2e-driver");
    ASSERT_TRUE(driver.isConnected());
    ASSERT_TRUE(waitFor(
        [&] {
            return driver.interface()->isServiceRegistered("org.kde.StatusNotifierWatcher").value();
        },
        15000))
        << watcher.readAllStandardError().toStdString();

    // A known tariff and quick timers, so that a few seconds show everything.
    {
        QSettings settings(configPath(), QSettings::IniFormat);
        for (const QString entry :
             {"Version=1.17", "Show_Splash=0", "Interval_Call_Checker=250",
              "Interval_Display_Changer=400", "Number_Of_Costings=1", "Costing1/StartTime=0",
              "Costing1/Connectoid_Name=Default", "Costing1/FinishTime=0.99999",
              "Costing1/Days=127", "Costing1/ChargePerMin=1.2"})
            settings.setValue(entry.section(u'=', 0, 0), entry.section(u'=', 1));
    }
    ASSERT_EQ(sim({"entries", "add", "Demo"}), 0);

    QProcess& vorn = spawn(QStringLiteral(VORN_PROGRAM), {"--dialup=simulated"});
    ASSERT_TRUE(vorn.waitForStarted(10000));
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
    ASSERT_EQ(vorn.state(), QProcess::Running) << vorn.readAllStandardError().toStdString();

    ASSERT_EQ(sim({"dial", "Demo", "--speed", "28800"}), 0);
    ASSERT_TRUE(waitFor([&] { return stored("Last_Connectoid_Name") == "Demo"; }, 15000))
        << "the call was not seen";
    ASSERT_EQ(sim({"traffic", "--rx", "50000", "--tx", "7000"}), 0);
    ASSERT_TRUE(waitFor([&] { return stored("Last_Data_Transfer") == "57000"; }, 15000));
    // Two seconds of call: the display changer has stepped past "CALL" several times.
    ASSERT_TRUE(waitFor([&] { return storedCallSeconds() >= 2.0; }, 15000));

    const QString artifacts = qEnvironmentVariable("VORN_BINARY_DIR", dir.path()) + "/artifacts";
    QDir().mkpath(artifacts);
    const QString shot = artifacts + "/e2e-led-window-during-call.png";
    QProcess grab;
    grab.setProcessEnvironment(env);
    grab.start(QStringLiteral(VORN_GRAB_PROGRAM), {shot});
    ASSERT_TRUE(grab.waitForFinished(15000));
    ASSERT_EQ(grab.exitCode(), 0) << grab.readAllStandardError().toStdString();
    const QImage screen(shot);
    ASSERT_FALSE(screen.isNull());
    // The LED window stands at its home (0, 0) on a black screen: lit dots there, and
    // nowhere far from it.
    int lit = 0;
    int litElsewhere = 0;
    for (int y = 0; y < screen.height(); ++y)
        for (int x = 0; x < screen.width(); ++x)
            if (qGray(screen.pixel(x, y)) > 60)
                ++((x < 200 && y < 40) ? lit : litElsewhere);
    EXPECT_GT(lit, 50) << "no LED text in " << shot.toStdString();
    EXPECT_EQ(litElsewhere, 0);

    ASSERT_TRUE(waitFor([&] { return storedCallSeconds() >= 3.0; }, 15000));
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
