#include "platform/help.h"
#include "platform/shell.h"
#include "platform_test.h"
#include "scripted_prompts.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QSignalSpy>
#include <QThread>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

TEST(SplitShellWords, QuotesBackslashesAndUnclosedQuotes) {
    const QList<std::pair<QString, QStringList>> cases = {
        {"  \t ", {}},
        {" -a   b\tc ", {"-a", "b", "c"}},
        {"'two words' --name=\"My Mail\" '' \"\"", {"two words", "--name=My Mail", "", ""}},
        {"it\\'s a\\ b trailing\\", {"it's", "a b", "trailing\\"}},
        {"'no \\escape' \"\\\" \\\\ \\$ \\a\"", {"no \\escape", "\" \\ $ \\a"}},
        {"a;b | $HOME *", {"a;b", "|", "$HOME", "*"}},
    };
    for (const auto& [text, words] : cases)
        EXPECT_EQ(splitShellWords(text), std::optional<QStringList>(words)) << text.toStdString();
    for (const QString unclosed : {"'open", "a \"b", "\"a\\\""})
        EXPECT_EQ(splitShellWords(unclosed), std::nullopt) << unclosed.toStdString();
}

class ShellTest : public ::testing::Test {
protected:
    QString script(const QString& name, const QString& body, bool executable = true) {
        EXPECT_TRUE(writeTreeFile(dir.path(), name, body.toUtf8()));
        QFile::setPermissions(dir.filePath(name),
                              QFile::ReadOwner | QFile::WriteOwner |
                                  (executable ? QFile::ExeOwner : QFile::Permissions()));
        return dir.filePath(name);
    }

    // A program that writes its folder and its arguments, one per line; then it stays.
    QString reporter(bool stays) {
        return script("my programs/report args.sh",
                      QStringLiteral("#!/bin/sh\n{ pwd; for a in \"$@\"; do echo \"[$a]\"; "
                                     "done; } > '%1.tmp'\nmv '%1.tmp' '%1'\n%2\n")
                          .arg(dir.filePath("report"), stays ? "exec sleep 30" : ""));
    }
    QStringList report() {
        QFile file(dir.filePath("report"));
        for (QDeadlineTimer deadline(10000); !file.exists() && !deadline.hasExpired();)
            QThread::msleep(10);
        return file.open(QIODevice::ReadOnly)
                   ? QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts)
                   : QStringList();
    }

    // The wait status of the program once the shell has collected it; -2 if it never ends.
    static int waitForEnd(QSignalSpy& ended, qint64 pid) {
        for (QDeadlineTimer deadline(10000); !deadline.hasExpired(); ended.wait(50))
            for (const QList<QVariant>& signal : std::as_const(ended))
                if (signal.at(0).toLongLong() == pid)
                    return signal.at(1).toInt();
        return -2;
    }

    QTemporaryDir dir;
};

TEST_F(ShellTest, StartsWithoutAShellInItsFolderAndSessionTerminatesWithSigtermOrSaysWhyNot) {
    LinuxShell shell;
    QSignalSpy ended(&shell, &LinuxShell::programEnded);
    const StartedProgram started =
        shell.startProgram(reporter(true), {"/check", "In Box", "a\"b", "$HOME;x", ""},
                           dir.filePath("my programs"), WindowState::Normal);
    ASSERT_NE(started.processId, 0) << started.errorText.toStdString();
    EXPECT_EQ(::getsid(static_cast<pid_t>(started.processId)), started.processId);
    EXPECT_EQ(report(), (QStringList{QFileInfo(dir.filePath("my programs")).canonicalFilePath(),
                                     "[/check]", "[In Box]", "[a\"b]", "[$HOME;x]", "[]"}));
    EXPECT_TRUE(shell.isRunning(started.processId));

    EXPECT_FALSE(shell.terminate(::getpid())) << "never a process it did not start";
    EXPECT_FALSE(shell.terminate(1));
    ASSERT_TRUE(shell.terminate(started.processId));
    const int status = waitForEnd(ended, started.processId);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
    EXPECT_FALSE(shell.terminate(started.processId)) << "an ended program is not signalled";

    // A program that cannot start gives the system's reason.
    const StartedProgram missing =
        shell.startProgram(dir.filePath("missing"), {}, {}, WindowState::Normal);
    EXPECT_EQ(missing.processId, 0);
    EXPECT_EQ(missing.errorText, qt_error_string(ENOENT));
    EXPECT_EQ(
        shell.startProgram(script("notes.txt", "x", false), {}, {}, WindowState::Normal).error,
        EACCES);
    EXPECT_EQ(shell.startProgram("/bin/true", {}, dir.filePath("gone"), WindowState::Normal).error,
              ENOENT);
    EXPECT_NE(shell.startProgram({}, {}, {}, WindowState::Normal).error, 0);
}

TEST_F(ShellTest, SigkillFollowsTheGracePeriodAlsoWhenTheShellGoesFirst) {
    const QString stubborn =
        script("stubborn.sh", QStringLiteral("#!/bin/sh\ntrap 'touch \"%1\"' TERM\ntouch "
                                             "\"%1.ready\"\nwhile :; do sleep 0.05; done\n")
                                  .arg(dir.filePath("got term")));
    LinuxShell::Options options;
    options.killDelay = 300ms;
    auto shell = std::make_unique<LinuxShell>(options);
    QSignalSpy ended(shell.get(), &LinuxShell::programEnded);
    const qint64 first = shell->startProgram(stubborn, {}, {}, WindowState::Normal).processId;
    for (QDeadlineTimer ready(10000); !QFile::exists(dir.filePath("got term.ready"));)
        ASSERT_FALSE(ready.hasExpired());
    ASSERT_TRUE(shell->terminate(first));
    const int status = waitForEnd(ended, first);
    EXPECT_TRUE(QFile::exists(dir.filePath("got term"))) << "SIGTERM came first";
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;

    // Programs outlive the shell, except one that was being terminated.
    const qint64 doomed = shell->startProgram(stubborn, {}, {}, WindowState::Normal).processId;
    const qint64 survivor =
        shell->startProgram("/bin/sleep", {"30"}, {}, WindowState::Normal).processId;
    ASSERT_TRUE(shell->terminate(doomed));
    shell.reset();
    siginfo_t info{};
    EXPECT_NE(::waitid(P_PID, static_cast<id_t>(doomed), &info, WEXITED | WNOHANG), 0);
    EXPECT_EQ(::kill(static_cast<pid_t>(survivor), 0), 0);
    ::kill(static_cast<pid_t>(survivor), SIGKILL);
    ::waitpid(static_cast<pid_t>(survivor), nullptr, 0);
}

TEST_F(ShellTest, OpenDocumentAndHelpHandPagesToTheDesktopAndStartPrograms) {
    QList<QUrl> opened;
    bool handled = true;
    QStringList traced;
    LinuxShell::Options options;
    options.openUrl = [&](const QUrl& url) { // no browser or viewer is ever started
        opened.append(url);
        return handled;
    };
    options.trace = [&](const QString& line) { traced << line; };
    LinuxShell shell(options);
    const QString page = script("notify_main.htm", "<html/>", false);
    const QString notes = script("notes.txt", "an executable bit on a plain document\n");
    for (const QString& target : {QStringLiteral("https://example.org/a b"),
                                  QStringLiteral("www.example.org"), page, notes, dir.path()})
        EXPECT_EQ(shell.openDocument(target, "ignored"), Shell::Opened) << target.toStdString();
    EXPECT_EQ(opened, (QList<QUrl>{QUrl("https://example.org/a%20b"),
                                   QUrl("http://www.example.org"), QUrl::fromLocalFile(page),
                                   QUrl::fromLocalFile(notes), QUrl::fromLocalFile(dir.path())}));
    // The desktop's opener takes no parameters: each time, a debug line says so.
    EXPECT_EQ(traced, QStringList(5, "OpenDocument - Parameters not passed = ignored"));

    EXPECT_EQ(shell.openDocument(reporter(false), "-check 'In Box'"), Shell::Opened);
    EXPECT_EQ(report().mid(1), (QStringList{"[-check]", "[In Box]"}));
    EXPECT_EQ(opened.size(), 5);

    handled = false;
    EXPECT_EQ(shell.openDocument(page, {}), Shell::NoAssociation);
    EXPECT_EQ(traced.size(), 5);
    EXPECT_EQ(shell.openDocument(dir.filePath("gone/x.txt"), {}), Shell::PathNotFound);
    ScriptedPrompts prompts;
    OpenDocument(shell, prompts, dir.filePath("missing.txt"), {});
    OpenDocument(shell, prompts, "mailto:jo@example.org", {});
    EXPECT_EQ(prompts.texts(),
              (QStringList{"Error launching application.\n\r\n\rThe specified file "
                           "was not found.",
                           "Error launching application.\n\r\n\rThere is no "
                           "application associated with the given filename "
                           "extension."}));

    // A bare program name is found on PATH.
    ASSERT_TRUE(QDir().mkpath(dir.filePath("bin")));
    ASSERT_TRUE(QFile::link(reporter(false), dir.filePath("bin/mailer")));
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(dir.filePath("bin")) + ':' + path);
    QFile::remove(dir.filePath("report"));
    EXPECT_EQ(shell.openDocument("mailer", "-check"), Shell::Opened);
    EXPECT_EQ(report().mid(1), QStringList{"[-check]"});
    QFile::remove(dir.filePath("report"));
    EXPECT_NE(shell.startProgram("mailer", {"-quiet"}, {}, WindowState::Normal).processId, 0);
    EXPECT_EQ(report().mid(1), QStringList{"[-quiet]"});
    EXPECT_EQ(shell.openDocument("no-such-mailer", {}), Shell::FileNotFound);
    qputenv("PATH", path);

    // Help opens the first page found, at its topic.
    opened.clear();
    handled = true;
    const QString own = script("own/help/log.html", "<html/>", false);
    const QString installed = script("installed/help/options.html", "<html/>", false);
    script("installed/help/log.html", "<html/>", false);
    BrowserHelp help(shell, prompts, {dir.filePath("own"), dir.filePath("installed")});
    help.open("log#statistics");
    help.open("options");
    QUrl atTopic = QUrl::fromLocalFile(own);
    atTopic.setFragment("statistics");
    EXPECT_EQ(opened, (QList<QUrl>{atTopic, QUrl::fromLocalFile(installed)}));
    help.open("tools#ping");
    EXPECT_EQ(prompts.texts().size(), 3) << "a page that is nowhere: the shell's error box";
}

} // namespace
