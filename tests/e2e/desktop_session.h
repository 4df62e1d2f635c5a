#pragma once

// The real program on a virtual X display with its own runtime folder, settings and
// program folder: what every end-to-end test starts from.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
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

#include <functional>
#include <memory>
#include <vector>

namespace e2e {

// Polls a condition until it holds or the time is up, letting events through meanwhile.
inline bool waitFor(const std::function<bool()>& condition, int timeoutMs) {
    for (QDeadlineTimer deadline(timeoutMs); !condition(); QThread::msleep(20)) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* tool : {"Xvfb", "dbus-daemon", "xdotool", "pdftotext"})
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                GTEST_SKIP() << tool << " is not installed (scripts/deps.sh installs it)";
        if (QProcess::execute("/usr/bin/python3", {"-c", "import dbusmock"}) != 0)
            GTEST_SKIP() << "python3-dbusmock is not installed (scripts/deps.sh installs it)";
        ASSERT_TRUE(dir.isValid());
        QDir root(dir.path());
        ASSERT_TRUE(root.mkpath("runtime") && root.mkpath("home"));
        QFile::setPermissions(runtimePath({}),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", root.filePath("runtime"));
        env.insert("VORN_CONFIG", configPath());
        env.insert("VORN_HOME", root.filePath("home"));
        env.insert("VORN_SIM_STATE", root.filePath("sim.json"));
        env.remove("WAYLAND_DISPLAY");
        env.insert("QT_QPA_PLATFORM", "xcb");
        // A virtual screen; Xvfb prints its display number when it is ready.
        QProcess& xvfb = spawn(
            "Xvfb", {"-displayfd", "1", "-screen", "0", "800x600x24", "-br", "-nolisten", "tcp"});
        const QString display = firstLine(xvfb, 15000);
        ASSERT_FALSE(display.isEmpty()) << xvfb.readAllStandardError().toStdString();
        env.insert("DISPLAY", ":" + display);
    }

    void TearDown() override {
        // The program first, so that it never sees its display or bus vanish; a process that
        // does not end on SIGTERM is killed as its QProcess goes.
        for (; !processes.empty(); processes.pop_back()) {
            processes.back()->terminate();
            processes.back()->waitForFinished(5000);
        }
    }

    // name=value pairs into the settings file, sections as "Section/name".
    void writeSettings(const QStringList& entries) {
        QSettings settings(configPath(), QSettings::IniFormat);
        for (const QString& entry : entries + QStringList{"Version=1.17", "Show_Splash=0"})
            settings.setValue(entry.section(u'=', 0, 0), entry.section(u'=', 1));
    }
    QString stored(const QString& name) {
        return QSettings(configPath(), QSettings::IniFormat).value(name).toString();
    }

    // A short-lived program run in the session; its exit code (-1 when it does not end in
    // time) and what it printed.
    std::pair<int, QString> run(const QString& program, const QStringList& arguments) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(program, arguments);
        const bool ended = p.waitForFinished(20000); // if not, killed as p goes
        return {ended ? p.exitCode() : -1, QString::fromLocal8Bit(p.readAll())};
    }
    int vornCommand(const QString& option) { return run(VORN_PROGRAM, {option}).first; }
    int sim(const QStringList& arguments) { return run(VORN_SIM_PROGRAM, arguments).first; }
    bool xdotool(const QStringList& arguments) { return run("xdotool", arguments).first == 0; }
    // The titles of the top-level windows the screen shows now.
    QStringList windowTitles() {
        return run("xdotool", {"search", "--maxdepth", "1", "--onlyvisible", "--name", ".",
                               "getwindowname", "%@"})
            .second.split(u'\n', Qt::SkipEmptyParts);
    }

    // The program on the simulated service, up when its LED window shows.
    QProcess& startVorn() {
        QProcess& vorn = spawn(VORN_PROGRAM, {"--dialup=simulated"});
        EXPECT_TRUE(waitFor([&] { return windowTitles().contains("VORN v1.17"); }, 20000))
            << vorn.readAllStandardError().toStdString();
        return vorn;
    }
    // `vorn <option>` opens its window in the running copy, once however often it is asked.
    void opensOnce(const QString& option, const QString& title) {
        EXPECT_EQ(vornCommand(option), 0);
        ASSERT_TRUE(waitFor([&] { return windowTitles().contains(title); }, 10000))
            << windowTitles().join(", ").toStdString();
        EXPECT_EQ(vornCommand(option), 0);
        QTest::qWait(500);
        EXPECT_EQ(windowTitles().count(title), 1) << windowTitles().join(", ").toStdString();
    }
    void exitVorn(QProcess& vorn) {
        EXPECT_EQ(vornCommand("--exit"), 0);
        ASSERT_TRUE(vorn.waitForFinished(10000));
        EXPECT_EQ(vorn.exitCode(), 0);
    }

    // What the screen shows now, kept as artifacts/<name> in the build folder for a person
    // to look at.
    QImage grabScreen(const QString& name) {
        const QString shot =
            qEnvironmentVariable("VORN_BINARY_DIR", dir.path()) + "/artifacts/" + name;
        QDir().mkpath(QFileInfo(shot).path());
        EXPECT_EQ(run(VORN_GRAB_PROGRAM, {shot}).first, 0) << "no screen shot";
        return QImage(shot);
    }
    // What is brighter than this on the black screen, besides what `except` covers.
    static QRect litArea(const QImage& screen, int grey, const QRect& except = {}) {
        QRect lit;
        for (int y = 0; y < screen.height(); ++y)
            for (int x = 0; x < screen.width(); ++x)
                if (qGray(screen.pixel(x, y)) > grey && !except.contains(x, y))
                    lit |= QRect(x, y, 1, 1);
        return lit;
    }
    // The program window that is open, at least this big: what is lit on the 800x600 screen
    // besides the LED window at the top left.
    QRect openWindow(const QString& shot, QSize minimum) {
        const QImage screen = grabScreen(shot);
        EXPECT_EQ(screen.size(), QSize(800, 600));
        const QRect lit = litArea(screen, 0, QRect(0, 0, 150, 30));
        EXPECT_GE(lit.width(), minimum.width());
        EXPECT_GE(lit.height(), minimum.height());
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
        p.start(program, arguments);
        return p;
    }
    // The first line a starting process prints, or empty when it prints none in time.
    static QString firstLine(QProcess& p, int timeoutMs) {
        waitFor([&] { return p.canReadLine() || p.state() == QProcess::NotRunning; }, timeoutMs);
        return QString::fromLocal8Bit(p.readLine()).trimmed();
    }

    QTemporaryDir dir;
    QProcessEnvironment env;
    std::vector<std::unique_ptr<QProcess>> processes;
};
} // namespace e2e
