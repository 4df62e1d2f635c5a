#pragma once

// The real program on a virtual X display with its own runtime folder, settings and
// program folder: what every end-to-end test starts from.

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
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <memory>
#include <vector>

namespace e2e {
const QString Python = QStringLiteral("/usr/bin/python3");

// Polls a condition until it holds or the time is up, letting events through meanwhile.
inline bool waitFor(const std::function<bool()>& condition, int timeoutMs) {
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

    // A virtual screen; Xvfb prints its display number when it is ready.
    void startDisplay() {
        QProcess& xvfb = spawn(
            "Xvfb", {"-displayfd", "1", "-screen", "0", "800x600x24", "-br", "-nolisten", "tcp"});
        const QString display = firstLine(xvfb, 15000);
        ASSERT_FALSE(display.isEmpty()) << xvfb.readAllStandardError().toStdString();
        env.insert("DISPLAY", ":" + display);
    }

    // name=value pairs into the settings file, sections as "Section/name".
    void writeSettings(const QStringList& entries) {
        QSettings settings(configPath(), QSettings::IniFormat);
        for (const QString& entry : entries)
            settings.setValue(entry.section(u'=', 0, 0), entry.section(u'=', 1));
    }

    // A short-lived run of the program (a command to the running copy); its exit code and
    // what it printed, or -1 when it does not end in time.
    std::pair<int, QString> runVorn(const QStringList& arguments, int timeoutMs = 20000) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(QStringLiteral(VORN_PROGRAM), arguments);
        if (!p.waitForFinished(timeoutMs)) {
            p.kill();
            p.waitForFinished(2000);
            return {-1, QString::fromLocal8Bit(p.readAll())};
        }
        return {p.exitCode(), QString::fromLocal8Bit(p.readAll())};
    }

    // The titles of the windows the screen shows now.
    QStringList windowTitles() {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(VORN_TITLES_PROGRAM), {});
        p.waitForFinished(10000);
        return QString::fromUtf8(p.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    }

    // What the screen shows now, kept as artifacts/<name> in the build folder for a person
    // to look at; a null image (and a failure) when it cannot be taken.
    // Where pictures go for people to look at: build/artifacts.
    QString artifactPath(const QString& name) const {
        const QString artifacts =
            qEnvironmentVariable("VORN_BINARY_DIR", dir.path()) + "/artifacts";
        QDir().mkpath(artifacts);
        return artifacts + "/" + name;
    }

    QImage grabScreen(const QString& name) {
        const QString shot = artifactPath(name);
        QProcess grab;
        grab.setProcessEnvironment(env);
        grab.start(QStringLiteral(VORN_GRAB_PROGRAM), {shot});
        if (!grab.waitForFinished(15000) || grab.exitCode() != 0) {
            ADD_FAILURE() << "no screen shot: " << grab.readAllStandardError().toStdString();
            return {};
        }
        return QImage(shot);
    }

    // Keys pressed, text typed and windows found on the virtual display, as a person would.
    bool xdotool(const QStringList& arguments) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral("xdotool"), arguments);
        return p.waitForFinished(20000) && p.exitCode() == 0;
    }

    // What is lit on the black screen besides the LED window at the top left: the program
    // window that is open.
    static QRect litArea(const QImage& screen) {
        const QRect ledWindow(0, 0, 150, 30);
        QRect lit;
        for (int y = 0; y < screen.height(); ++y)
            for (int x = 0; x < screen.width(); ++x)
                if (screen.pixel(x, y) != qRgb(0, 0, 0) && !ledWindow.contains(x, y))
                    lit |= QRect(x, y, 1, 1);
        return lit;
    }

    QString runtimePath(const QString& name) const {
        return QDir(dir.path()).filePath("runtime/" + name);
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
} // namespace e2e
