#include "auto_disconnect_fixture.h"

#include "core/records.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QSignalSpy>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>

namespace {

constexpr qint64 Second = 1000;

typApplicationInformation entry(const QString& connectoid, const QString& file, qint32 execute,
                                qint32 close = 0, qint32 delay = 0) {
    typApplicationInformation record;
    record.Connectoid_Name = connectoid;
    record.Filename = file;
    record.Execute = execute;
    record.Close = close;
    record.Delay = delay;
    return record;
}

class CallApplications : public ::testing::Test, public CallFixture {
protected:
    QStringList started() const {
        QStringList programs;
        for (const FakeShell::Start& start : fakeShell.starts)
            programs << start.program;
        return programs;
    }
    qint64 slotProcess(int slot) const {
        return h.window->globals().ApplicationProcesses[static_cast<size_t>(slot - 1)].processId;
    }
};

TEST_F(CallApplications, StartedOnceAfterTheirDelayWhenTheConnectoidMatches) {
    h.furtherDetail(QStringLiteral("Handshaking Adjustment (seconds)"), QStringLiteral("10"));
    start();
    h.lists.Applications[1] = entry("Default", "/opt/mail", 1, 0, 20);
    h.lists.Applications[2] = entry("Work", "/opt/work", 1);
    h.lists.Applications[3] = entry("home", "/opt/case", 1);
    h.lists.Applications[4] = entry("Home", "/opt/at-end", 2);
    h.lists.Applications[5] = entry("Home", "/opt/disabled", 0);
    h.lists.Applications[7] = entry("Home", "/opt/after-the-gap", 1);
    connect(QStringLiteral("Home"));
    checkAfter(9 * Second); // 19 s with the handshaking
    checkAfter(1 * Second); // exactly 20 s: not yet past the delay
    EXPECT_TRUE(started().isEmpty());

    checkAfter(1);
    EXPECT_EQ(started(), QStringList{"/opt/mail"});
    EXPECT_EQ(slotProcess(1), 4001);
    for (int i = 0; i < 5; ++i)
        checkAfter(2 * Second);
    EXPECT_EQ(started(), QStringList{"/opt/mail"}) << "once per call, whatever became of it";

    dropLine();
    EXPECT_EQ(started(), (QStringList{"/opt/mail", "/opt/at-end"})) << "no delay at the end";

    // The next call empties the slots and starts its entries again.
    connect(QStringLiteral("Home"));
    EXPECT_EQ(slotProcess(1), 0);
    checkAfter(11 * Second);
    EXPECT_EQ(started().count("/opt/mail"), 2);
}

TEST_F(CallApplications, OnlyProgramsStartedInTheCallAndMarkedToCloseAreTerminated) {
    start();
    h.lists.Applications[1] = entry("Default", "/opt/close-me", 1, 1);
    h.lists.Applications[2] = entry("Default", "/opt/not-yet", 1, 1, 600);
    h.lists.Applications[3] = entry("Default", "/opt/keep-me", 1, 0);
    h.lists.Applications[4] = entry("Default", "/opt/at-end", 2, 1);
    connect();
    checkAfter(2 * Second);
    ASSERT_EQ(started(), (QStringList{"/opt/close-me", "/opt/keep-me"}));
    const qint64 closeMe = slotProcess(1);

    dropLine();
    EXPECT_EQ(fakeShell.terminated, QList<qint64>{closeMe});
    EXPECT_EQ(started().last(), "/opt/at-end");

    // A program that has already ended is passed over without a word.
    connect();
    checkAfter(2 * Second);
    fakeShell.running.clear();
    dropLine();
    EXPECT_EQ(fakeShell.terminated.size(), 2);
    EXPECT_TRUE(h.prompts.shown.isEmpty());
}

TEST_F(CallApplications, PathParametersFolderAndWindowStateReachTheShell) {
    start();
    typApplicationInformation mail = entry("Default", "/opt/My Mail/mail app", 1);
    mail.Parameters = QStringLiteral("/check --folder \"In Box\" 'a b' c\\ d");
    mail.Working_Directory = QStringLiteral("/home/jo/My Mail");
    mail.Window_State = 2;
    h.lists.Applications[1] = mail;
    const QList<qint32> stored = {0, 1, 3, 9};
    for (int i = 0; i < stored.size(); ++i) {
        typApplicationInformation other = entry("Default", "/bin/other", 1);
        other.Window_State = stored[i];
        other.Working_Directory = QStringLiteral("  ");
        h.lists.Applications[2 + i] = other;
    }
    connect();
    checkAfter(2 * Second);
    ASSERT_EQ(fakeShell.starts.size(), 5);
    const FakeShell::Start& first = fakeShell.starts[0];
    EXPECT_EQ(first.program, "/opt/My Mail/mail app");
    EXPECT_EQ(first.arguments, (QStringList{"/check", "--folder", "In Box", "a b", "c d"}));
    EXPECT_EQ(first.workingDirectory, "/home/jo/My Mail");
    EXPECT_EQ(first.state, WindowState::Maximized);
    const QList<WindowState> states = {WindowState::Normal, WindowState::Minimized,
                                       WindowState::Hidden, WindowState::Normal};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(fakeShell.starts[i + 1].state, states[i]) << i;
        EXPECT_EQ(fakeShell.starts[i + 1].workingDirectory, QString()) << "a blank folder is none";
        EXPECT_TRUE(fakeShell.starts[i + 1].arguments.isEmpty());
    }
}

TEST_F(CallApplications, AProgramThatCannotStartShowsWhyAtEveryCheck) {
    start();
    typApplicationInformation gone = entry("Default", "/opt/gone/mail", 1);
    gone.Parameters = QStringLiteral("/check");
    h.lists.Applications[1] = gone;
    fakeShell.startError = ENOENT;
    connect();
    checkAfter(2 * Second);
    const QString text = QStringLiteral(
        "There has been a problem starting an application you have configured to start at "
        "connection or disconnection.\n\r\n\r\"\"/opt/gone/mail\" /check\"\n\r\n\r"
        "No such file or directory");
    ASSERT_EQ(h.prompts.shown.size(), 1);
    EXPECT_EQ(h.prompts.shown[0].kind, Prompts::Kind::Error);
    EXPECT_EQ(h.prompts.shown[0].buttons, Prompts::Buttons::Ok);
    EXPECT_EQ(h.prompts.shown[0].text, text);
    EXPECT_EQ(slotProcess(1), 0);
    checkAfter(2 * Second);
    EXPECT_EQ(h.prompts.texts(), (QStringList{text, text})) << "tried again, as its slot is empty";

    // A quotation mark that is never closed is reported without asking the shell.
    CallFixture unclosed;
    unclosed.start();
    typApplicationInformation quoted = entry("Default", "/opt/mail", 2);
    quoted.Parameters = QStringLiteral("--name \"Jo");
    unclosed.h.lists.Applications[1] = quoted;
    unclosed.connect();
    unclosed.dropLine();
    EXPECT_TRUE(unclosed.fakeShell.starts.isEmpty());
    ASSERT_EQ(unclosed.h.prompts.shown.size(), 1);
    EXPECT_TRUE(unclosed.h.prompts.shown[0].text.endsWith(
        "\"\"/opt/mail\" --name \"Jo\"\n\r\n\rA quotation mark in the parameters is never "
        "closed."));
}

TEST_F(CallApplications, OpenDocumentShowsTheShellsError) {
    start();
    fakeShell.openResult = Shell::FileNotFound;
    h.window->OpenDocument(QStringLiteral("/nowhere/notify_main.htm"), QString());
    ASSERT_EQ(fakeShell.opened.size(), 1);
    EXPECT_EQ(h.prompts.texts(), QStringList{"Error launching application.\n\r\n\rThe specified "
                                             "file was not found."});
}

// Real programs: a script in a folder with a blank in its name, started by the Linux shell.
TEST_F(CallApplications, ARealProgramGetsItsArgumentsAndIsTerminatedWithTheCall) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("My Programs")));
    const QString report = dir.filePath(QStringLiteral("report"));
    const QString script = dir.filePath(QStringLiteral("My Programs/mail check.sh"));
    {
        QFile file(script);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("#!/bin/sh\n{ pwd; for a in \"$@\"; do echo \"[$a]\"; done; } "
                                  "> '%1.tmp'\nmv '%1.tmp' '%1'\nexec sleep 30\n")
                       .arg(report)
                       .toUtf8());
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    LinuxShell linux;
    QSignalSpy ended(&linux, &LinuxShell::programEnded);
    shell = &linux;
    start();
    typApplicationInformation record = entry("Default", script, 1, 1);
    record.Parameters = QStringLiteral("'first arg' second");
    record.Working_Directory = dir.path();
    h.lists.Applications[1] = record;
    h.lists.Applications[2] = entry("Default", dir.filePath(QStringLiteral("missing")), 1, 1);
    h.prompts.answerNext(Prompts::Answer::Ok);
    connect();
    checkAfter(2 * Second);
    const qint64 pid = slotProcess(1);
    ASSERT_NE(pid, 0);
    ASSERT_EQ(h.prompts.shown.size(), 1);
    EXPECT_TRUE(h.prompts.shown[0].text.endsWith(qt_error_string(ENOENT)));

    const QDeadlineTimer deadline(10000);
    while (!QFile::exists(report) && !deadline.hasExpired())
        QThread::msleep(10);
    QFile lines(report);
    ASSERT_TRUE(lines.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(lines.readAll()).split(u'\n', Qt::SkipEmptyParts),
              (QStringList{QFileInfo(dir.path()).canonicalFilePath(), "[first arg]", "[second]"}));

    dropLine();
    while (ended.isEmpty() && ended.wait(10000)) {
    }
    ASSERT_EQ(ended.size(), 1);
    EXPECT_EQ(ended[0][0].toLongLong(), pid);
    const int status = ended[0][1].toInt();
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
}

} // namespace
