#include "platform/shell.h"
#include "scripted_prompts.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

TEST(SplitShellWords, SplitsAndUnquotesAsAShellWould) {
    const QList<std::pair<QString, QStringList>> cases = {
        {"", {}},
        {"  \t ", {}},
        {"/check", {"/check"}},
        {"  -a   b\tc  ", {"-a", "b", "c"}},
        {"'two words' \"and more\"", {"two words", "and more"}},
        {"--name=\"My Mail\" x", {"--name=My Mail", "x"}},
        {"'' \"\" a", {"", "", "a"}},
        {"it\\'s a\\ b", {"it's", "a b"}},
        {"'no \\escape \"here\"'", {"no \\escape \"here\""}},
        {"\"\\\" \\\\ \\$ \\a\"", {"\" \\ $ \\a"}},
        {"a;b | c > d $HOME *", {"a;b", "|", "c", ">", "d", "$HOME", "*"}},
        {"trailing\\", {"trailing\\"}},
        {"C:\\\\Program\\ Files", {"C:\\Program Files"}},
    };
    for (const auto& [text, words] : cases)
        EXPECT_EQ(splitShellWords(text), std::optional<QStringList>(words)) << text.toStdString();

    for (const QString unclosed : {"'open", "\"open", "a 'b\" c", "\"a\\\""})
        EXPECT_EQ(splitShellWords(unclosed), std::nullopt) << unclosed.toStdString();
}

TEST(ShellErrorTexts, KnownCodesAndTheRest) {
    EXPECT_EQ(shellErrorText(2), "The specified file was not found.");
    EXPECT_EQ(shellErrorText(31),
              "There is no application associated with the given filename extension.");
    EXPECT_EQ(shellErrorText(4),
              "Error launching application - No Description Of Error Available.");
}

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("my programs")));
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("work folder")));
    }

    void TearDown() override {
        for (pid_t pid : leftovers) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    }

    QString path(const QString& name) const { return dir.filePath(name); }

    QString writeScript(const QString& name, const QString& body, bool executable = true) {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(body.toUtf8());
        file.close();
        if (executable)
            file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return file.fileName();
    }

    // A program that writes its folder and its arguments, NUL-separated, to a report file.
    QString reportingProgram() {
        return writeScript(QStringLiteral("my programs/report args.sh"),
                           QStringLiteral("#!/bin/sh\n"
                                          "{ pwd; printf '\\0'; for a in \"$@\"; do printf "
                                          "'%s\\0' \"$a\"; done; } > '%1.tmp'\n"
                                          "mv '%1.tmp' '%1'\n")
                               .arg(path(QStringLiteral("report"))));
    }

    // The report, once it is there: the folder first, then the arguments.
    std::optional<QStringList> waitForReport() {
        QFile file(path(QStringLiteral("report")));
        const QDeadlineTimer deadline(10000);
        while (!file.exists() && !deadline.hasExpired())
            QThread::msleep(10);
        if (!file.open(QIODevice::ReadOnly))
            return std::nullopt;
        QStringList parts = QString::fromUtf8(file.readAll()).split(QChar(0));
        parts.removeLast(); // after the last NUL
        parts[0] = parts[0].trimmed();
        return parts;
    }

    // Waits, bounded, until the shell has collected the program; its wait status.
    std::optional<int> waitForEnd(QSignalSpy& ended, qint64 pid) {
        const QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired()) {
            for (const QList<QVariant>& signal : std::as_const(ended))
                if (signal.at(0).toLongLong() == pid)
                    return signal.at(1).toInt();
            ended.wait(100);
        }
        return std::nullopt;
    }

    qint64 start(LinuxShell& shell, const QString& program, const QStringList& arguments = {}) {
        const StartedProgram started =
            shell.startProgram(program, arguments, {}, WindowState::Normal);
        EXPECT_NE(started.processId, 0) << started.errorText.toStdString();
        if (started.processId)
            leftovers.push_back(static_cast<pid_t>(started.processId));
        return started.processId;
    }

    QTemporaryDir dir;
    std::vector<pid_t> leftovers;
};

TEST_F(ShellTest, ArgumentsArriveUnchangedInTheWorkingFolderAndASessionOfTheirOwn) {
    LinuxShell shell;
    QSignalSpy ended(&shell, &LinuxShell::programEnded);
    const std::optional<QStringList> arguments =
        splitShellWords(QStringLiteral("/check --user \"Jo Smith\" 'a\"b' $HOME;x"));
    ASSERT_TRUE(arguments);
    const StartedProgram started = shell.startProgram(
        reportingProgram(), *arguments, path(QStringLiteral("work folder")), WindowState::Normal);
    ASSERT_NE(started.processId, 0) << started.errorText.toStdString();
    leftovers.push_back(static_cast<pid_t>(started.processId));
    EXPECT_EQ(::getsid(static_cast<pid_t>(started.processId)), started.processId);

    const std::optional<QStringList> report = waitForReport();
    ASSERT_TRUE(report);
    EXPECT_EQ(report->value(0), QFileInfo(path(QStringLiteral("work folder"))).canonicalFilePath());
    EXPECT_EQ(report->mid(1), QStringList({"/check", "--user", "Jo Smith", "a\"b", "$HOME;x"}));

    const std::optional<int> status = waitForEnd(ended, started.processId);
    ASSERT_TRUE(status);
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0);
    EXPECT_FALSE(shell.isRunning(started.processId));
    leftovers.clear();
}

TEST_F(ShellTest, AProgramThatCannotStartGivesTheSystemsReason) {
    LinuxShell shell;
    const StartedProgram missing =
        shell.startProgram(path(QStringLiteral("no such program")), {}, {}, WindowState::Normal);
    EXPECT_EQ(missing.processId, 0);
    EXPECT_EQ(missing.error, ENOENT);
    EXPECT_EQ(missing.errorText, qt_error_string(ENOENT));
    EXPECT_FALSE(missing.errorText.isEmpty());

    const QString notExecutable =
        writeScript(QStringLiteral("plain.txt"), QStringLiteral("hello\n"), false);
    EXPECT_EQ(shell.startProgram(notExecutable, {}, {}, WindowState::Normal).error, EACCES);

    const StartedProgram noFolder = shell.startProgram(
        QStringLiteral("/bin/true"), {}, path(QStringLiteral("gone")), WindowState::Normal);
    EXPECT_EQ(noFolder.processId, 0);
    EXPECT_EQ(noFolder.error, ENOENT);

    const StartedProgram empty = shell.startProgram({}, {}, {}, WindowState::Normal);
    EXPECT_EQ(empty.processId, 0);
    EXPECT_NE(empty.error, 0);
}

TEST_F(ShellTest, TerminateEndsOnlyProgramsItStartedThatStillRun) {
    LinuxShell shell;
    QSignalSpy ended(&shell, &LinuxShell::programEnded);
    const qint64 pid = start(shell, QStringLiteral("/bin/sleep"), {QStringLiteral("30")});
    ASSERT_NE(pid, 0);
    EXPECT_TRUE(shell.isRunning(pid));

    EXPECT_FALSE(shell.terminate(::getpid())) << "never a process it did not start";
    EXPECT_FALSE(shell.terminate(1));
    EXPECT_FALSE(shell.terminate(0));

    ASSERT_TRUE(shell.terminate(pid));
    const std::optional<int> status = waitForEnd(ended, pid);
    ASSERT_TRUE(status);
    EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == SIGTERM);
    EXPECT_FALSE(shell.terminate(pid)) << "a program that has ended is not signalled again";

    // A program that ended by itself, before anyone noticed, is not terminated either.
    const qint64 quick = start(shell, QStringLiteral("/bin/true"));
    ::waitid(P_PID, static_cast<id_t>(quick), nullptr, WEXITED | WNOWAIT);
    EXPECT_FALSE(shell.terminate(quick));
    leftovers.clear();
}

TEST_F(ShellTest, AProgramThatIgnoresSigtermIsKilledAfterTheGracePeriod) {
    LinuxShell::Options options;
    options.killDelay = 300ms;
    LinuxShell shell(options);
    QSignalSpy ended(&shell, &LinuxShell::programEnded);
    const QString marker = path(QStringLiteral("got term"));
    const QString stubborn =
        writeScript(QStringLiteral("stubborn.sh"),
                    QStringLiteral("#!/bin/sh\ntrap 'touch \"%1\"' TERM\ntouch \"%1.ready\"\n"
                                   "while :; do sleep 0.05; done\n")
                        .arg(marker));
    const qint64 pid = start(shell, stubborn);
    ASSERT_NE(pid, 0);
    const QDeadlineTimer ready(10000);
    while (!QFile::exists(marker + QStringLiteral(".ready")) && !ready.hasExpired())
        QThread::msleep(10);

    ASSERT_TRUE(shell.terminate(pid));
    const std::optional<int> status = waitForEnd(ended, pid);
    ASSERT_TRUE(status);
    EXPECT_TRUE(QFile::exists(marker)) << "SIGTERM came first";
    EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == SIGKILL);
    leftovers.clear();
}

TEST_F(ShellTest, ProgramsOutliveTheShellButOnesBeingTerminatedAreFinished) {
    const QString stubborn = writeScript(
        QStringLiteral("stubborn.sh"), QStringLiteral("#!/bin/sh\ntrap '' TERM\nexec sleep 30\n"));
    qint64 survivor = 0;
    qint64 doomed = 0;
    {
        LinuxShell::Options options;
        options.killDelay = 200ms;
        LinuxShell shell(options);
        survivor = start(shell, QStringLiteral("/bin/sleep"), {QStringLiteral("30")});
        doomed = start(shell, stubborn);
        ASSERT_TRUE(shell.terminate(doomed));
    }
    std::erase(leftovers, static_cast<pid_t>(doomed));
    EXPECT_EQ(::kill(static_cast<pid_t>(survivor), 0), 0) << "the survivor still runs";
    siginfo_t info{};
    EXPECT_NE(::waitid(P_PID, static_cast<id_t>(doomed), &info, WEXITED | WNOHANG), 0)
        << "the terminated program was finished and collected";
}

// The desktop's handler is a recorder: no browser or viewer is ever started.
class OpenDocumentTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        LinuxShell::Options options;
        options.openUrl = [this](const QUrl& url) {
            opened.append(url);
            return handlerAnswers;
        };
        desktop = std::make_unique<LinuxShell>(options);
    }

    QList<QUrl> opened;
    bool handlerAnswers = true;
    std::unique_ptr<LinuxShell> desktop;
};

TEST_F(OpenDocumentTest, WebAddressesAndDocumentsGoToTheDesktop) {
    EXPECT_EQ(desktop->openDocument(QStringLiteral("https://example.org/a b"), QString()),
              Shell::Opened);
    EXPECT_EQ(desktop->openDocument(QStringLiteral("www.example.org"), QString()), Shell::Opened);
    EXPECT_EQ(desktop->openDocument(QStringLiteral("mailto:jo@example.org"), QString()),
              Shell::Opened);
    const QString page =
        writeScript(QStringLiteral("notify_main.htm"), QStringLiteral("<html></html>"), false);
    EXPECT_EQ(desktop->openDocument(page, QStringLiteral("ignored")), Shell::Opened);
    EXPECT_EQ(desktop->openDocument(dir.path(), QString()), Shell::Opened);
    ASSERT_EQ(opened.size(), 5);
    EXPECT_EQ(opened[0], QUrl(QStringLiteral("https://example.org/a%20b")));
    EXPECT_EQ(opened[1].scheme(), QStringLiteral("http"));
    EXPECT_EQ(opened[1].host(), QStringLiteral("www.example.org"));
    EXPECT_EQ(opened[2].scheme(), QStringLiteral("mailto"));
    EXPECT_EQ(opened[3], QUrl::fromLocalFile(page));
    EXPECT_EQ(opened[4], QUrl::fromLocalFile(dir.path()));

    handlerAnswers = false;
    EXPECT_EQ(desktop->openDocument(page, QString()), Shell::NoAssociation);
}

TEST_F(OpenDocumentTest, MissingFilesAndFoldersAndTheirTexts) {
    EXPECT_EQ(desktop->openDocument(path(QStringLiteral("missing.txt")), QString()),
              Shell::FileNotFound);
    EXPECT_EQ(desktop->openDocument(path(QStringLiteral("gone/missing.txt")), QString()),
              Shell::PathNotFound);
    EXPECT_EQ(desktop->openDocument(QStringLiteral("  "), QString()), Shell::FileNotFound);
    EXPECT_TRUE(opened.isEmpty());

    ScriptedPrompts prompts;
    OpenDocument(*desktop, prompts, path(QStringLiteral("missing.txt")), QString());
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].kind, Prompts::Kind::Error);
    EXPECT_EQ(prompts.shown[0].buttons, Prompts::Buttons::Ok);
    EXPECT_EQ(prompts.shown[0].text,
              "Error launching application.\n\r\n\rThe specified file was not found.");

    OpenDocument(*desktop, prompts, QStringLiteral("https://example.org"), QString());
    EXPECT_EQ(prompts.shown.size(), 1) << "success shows nothing";
}

TEST_F(OpenDocumentTest, AProgramFileIsStartedWithItsParameters) {
    EXPECT_EQ(desktop->openDocument(reportingProgram(), QStringLiteral("-check 'In Box'")),
              Shell::Opened);
    const std::optional<QStringList> report = waitForReport();
    ASSERT_TRUE(report);
    EXPECT_EQ(report->mid(1), QStringList({"-check", "In Box"}));
    EXPECT_TRUE(opened.isEmpty());

    // An executable bit on a plain document does not make it a program.
    const QString notes = writeScript(QStringLiteral("notes.txt"), QStringLiteral("just text\n"));
    EXPECT_EQ(desktop->openDocument(notes, QString()), Shell::Opened);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0], QUrl::fromLocalFile(notes));
}

} // namespace
