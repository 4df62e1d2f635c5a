#include "auto_disconnect_fixture.h"

#include "core/records.h"

#include <QDeadlineTimer>
#include <QSignalSpy>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>

namespace {

typApplicationInformation entry(const QString& connectoid, const QString& file, int execute,
                                int close = 0, int delay = 0, const QString& parameters = {}) {
    return {connectoid, file, {}, parameters, 0, execute, close, delay};
}

class CallApplications : public ::testing::Test, public CallFixture {
protected:
    QStringList started() const {
        QStringList programs;
        for (const FakeShell::Start& s : fakeShell.starts)
            programs << s.program;
        return programs;
    }
    qint64 slot(int i) const {
        return h.window->globals().ApplicationProcesses[static_cast<size_t>(i - 1)].processId;
    }
};

TEST_F(CallApplications, StartedOnceAfterTheDelayForTheirConnectoidAndClosedOnlyIfStartedHere) {
    h.furtherDetail("Handshaking Adjustment (seconds)", "10");
    start();
    h.lists.Applications[1] = entry("Default", "/opt/mail", 1, 1, 20);
    h.lists.Applications[2] = entry("Work", "/opt/work", 1);
    h.lists.Applications[3] = entry("home", "/opt/case", 1);
    h.lists.Applications[4] = entry("Home", "/opt/keep", 1, 0);
    h.lists.Applications[5] = entry("Home", "/opt/late", 1, 1, 600);
    h.lists.Applications[6] = entry("Home", "/opt/at-end", 2, 1);
    h.lists.Applications[8] = entry("Home", "/opt/after-a-gap", 1);
    connect("Home");
    checkAfter(10000); // exactly 20 s with the handshaking: not past the delay
    EXPECT_EQ(started(), QStringList{"/opt/keep"});
    checkAfter(1);
    for (int i = 0; i < 3; ++i)
        checkAfter(2000);
    EXPECT_EQ(started(), (QStringList{"/opt/keep", "/opt/mail"})) << "once per call";

    dropLine();
    EXPECT_EQ(fakeShell.terminated, QList<qint64>{slot(1)});
    EXPECT_EQ(started().last(), "/opt/at-end") << "no delay at the end";

    connect("Home"); // a new call empties the slots and starts its entries again
    EXPECT_EQ(slot(1), 0);
    checkAfter(11000);
    EXPECT_EQ(started().count("/opt/mail"), 2);
    fakeShell.running.clear(); // it has ended by itself: passed over without a word
    dropLine();
    EXPECT_TRUE(h.prompts.shown.isEmpty());
}

TEST_F(CallApplications, AnEntryNamedOutsideTheCodePageFindsItsApplicationsAndItsLog) {
    const QString russian = QString::fromUtf8("Мой модем");
    h.dialUp.entryNames = QStringList{russian, "Work"};
    start();
    const QString stored = h.names[1]; // as the options dialog offers it
    EXPECT_EQ(stored, "??? ?????");
    h.lists.Applications[1] = entry(stored, "/opt/mail", 1);
    connect(russian);
    checkAfter(2000);
    EXPECT_EQ(started(), QStringList{"/opt/mail"});
    dropLine();
    EXPECT_EQ(h.log().first().Connectoid_Name, stored);
}

TEST_F(CallApplications, PathParametersFolderAndWindowStateReachTheShell) {
    start();
    typApplicationInformation mail = entry("Default", "/opt/My Mail/mail app", 1, 0, 0,
                                           "/check --folder \"In Box\" 'a b' c\\ d");
    mail.Working_Directory = "/home/jo/My Mail";
    mail.Window_State = 2;
    h.lists.Applications[1] = mail;
    const QList<int> stored = {0, 1, 3, 9};
    for (int i = 0; i < stored.size(); ++i) {
        h.lists.Applications[2 + i] = entry("Default", "/bin/other", 1);
        h.lists.Applications[2 + i].Window_State = stored[i];
        h.lists.Applications[2 + i].Working_Directory = "  ";
    }
    connect();
    checkAfter(2000);
    ASSERT_EQ(fakeShell.starts.size(), 5);
    EXPECT_EQ(fakeShell.starts[0].program, "/opt/My Mail/mail app");
    EXPECT_EQ(fakeShell.starts[0].arguments,
              (QStringList{"/check", "--folder", "In Box", "a b", "c d"}));
    EXPECT_EQ(fakeShell.starts[0].workingDirectory, "/home/jo/My Mail");
    EXPECT_EQ(fakeShell.starts[0].state, WindowState::Maximized);
    const QList<WindowState> states = {WindowState::Normal, WindowState::Minimized,
                                       WindowState::Hidden, WindowState::Normal};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(fakeShell.starts[i + 1].state, states[i]) << i;
        EXPECT_EQ(fakeShell.starts[i + 1].workingDirectory, QString()) << "blank is none";
    }
}

TEST_F(CallApplications, AProgramThatCannotStartSaysWhyAtEveryTry) {
    start();
    h.lists.Applications[1] = entry("Default", "/opt/gone/mail", 1, 0, 0, "/check");
    h.lists.Applications[2] = entry("Default", "/opt/mail", 2, 0, 0, "--name \"Jo");
    fakeShell.startError = ENOENT;
    connect();
    checkAfter(2000);
    checkAfter(2000);
    const QString missing = "There has been a problem starting an application you have "
                            "configured to start at connection or disconnection.\n\r\n\r"
                            "\"\"/opt/gone/mail\" /check\"\n\r\n\rNo such file or directory";
    EXPECT_EQ(h.prompts.texts(), (QStringList{missing, missing})) << "its slot stays empty";
    EXPECT_EQ(h.prompts.shown[0].kind, Prompts::Kind::Error);
    dropLine();
    EXPECT_EQ(fakeShell.starts.size(), 2) << "an unclosed quotation mark never reaches the shell";
    EXPECT_TRUE(h.prompts.texts().last().endsWith("\"\"/opt/mail\" --name \"Jo\"\n\r\n\rA "
                                                  "quotation mark in the parameters is never "
                                                  "closed."));

    fakeShell.openResult = Shell::FileNotFound;
    h.window->OpenDocument("/nowhere/notify_main.htm", {});
    EXPECT_EQ(h.prompts.texts().last(),
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
    shell = &linux;
    start();
    h.lists.Applications[1] = entry("Default", script, 1, 1, 0, "'first arg' second");
    h.lists.Applications[1].Working_Directory = dir.path();
    h.lists.Applications[2] = entry("Default", dir.filePath("missing"), 1);
    connect();
    checkAfter(2000);
    ASSERT_NE(slot(1), 0);
    EXPECT_TRUE(h.prompts.texts().value(0).endsWith(qt_error_string(ENOENT)));

    QFile lines(report);
    for (QDeadlineTimer deadline(10000); !lines.exists() && !deadline.hasExpired();)
        QThread::msleep(10);
    ASSERT_TRUE(lines.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(lines.readAll()).split('\n', Qt::SkipEmptyParts),
              (QStringList{QFileInfo(dir.path()).canonicalFilePath(), "[first arg]", "[second]"}));

    dropLine();
    ASSERT_TRUE(ended.wait(10000));
    EXPECT_EQ(ended[0][0].toLongLong(), slot(1));
    EXPECT_TRUE(WIFSIGNALED(ended[0][1].toInt()) && WTERMSIG(ended[0][1].toInt()) == SIGTERM);
}

} // namespace
