// The program around its windows: the command line, one copy at a time and the commands
// it takes from a second start, fatal errors, message boxes, timers and printed reports.

#include "scripted_dialogs.h"
#include "scripted_prompts.h"

#include "app/command_channel.h"
#include "app/message_box_prompts.h"
#include "app/qt_report_printer.h"
#include "app/single_instance.h"
#include "app/startup_options.h"
#include "app/vorn_application.h"
#include "monitor/vorn_timer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {
ParsedCommandLine parse(const QStringList& args) {
    return parseCommandLine(QStringList{"vorn"} + args);
}

QProcessEnvironment environment(const QList<QPair<QString, QString>>& values) {
    QProcessEnvironment env;
    for (const auto& [name, value] : values)
        env.insert(name, value);
    return env;
}
} // namespace

TEST(CommandLine, ReadsEveryOptionInBothSpellingsAndRefusesWhatItDoesNotKnow) {
    const auto parsed = parse({"--dialup=simulated", "--config", "/tmp/a b.conf",
                               "--home=/tmp/home", "-platform", "offscreen", "-reverse"});
    ASSERT_TRUE(parsed.options) << parsed.error.toStdString();
    EXPECT_EQ(parsed.options->dialUp, "simulated");
    EXPECT_EQ(parsed.options->configFile, "/tmp/a b.conf");
    EXPECT_EQ(parsed.options->programFolder, "/tmp/home");
    const auto flags = parse({"--version", "--help", "--dialup", "pppd"});
    ASSERT_TRUE(flags.options);
    EXPECT_TRUE(flags.options->showVersion && flags.options->showHelp);
    EXPECT_EQ(flags.options->dialUp, "pppd");
    EXPECT_FALSE(flags.options->command);
    EXPECT_EQ(parse({"--log", "--log"}).options->command, RemoteCommand::Log);

    for (const auto& [argument, mentions] : {std::pair{"--dialup=modem", "modem"},
                                             {"--dialup", "needs a value"},
                                             {"--config=", "needs a value"},
                                             {"--verbose", "--verbose"},
                                             {"--version=2", "takes no value"},
                                             {"stray", "stray"}}) {
        const auto refused = parse({argument});
        EXPECT_FALSE(refused.options) << argument;
        EXPECT_TRUE(refused.error.contains(mentions)) << refused.error.toStdString();
    }
    EXPECT_FALSE(parse({"--options", "--exit"}).options);
    EXPECT_TRUE(helpText().contains("--exit"));
    EXPECT_EQ(versionText(), "VORN 1.17\n");
}

TEST(CommandLine, PlatformAndProgramFolderComeFromTheEnvironment) {
    // Wayland with X11 starts on xcb unless the user chose.
    const QPair<QString, QString> wayland{"WAYLAND_DISPLAY", "wayland-0"}, x11{"DISPLAY", ":0"};
    EXPECT_EQ(forcedPlatform(environment({wayland, x11})), "xcb");
    EXPECT_EQ(forcedPlatform(environment({wayland, x11, {"QT_QPA_PLATFORM", "wayland"}})),
              QString());
    EXPECT_EQ(forcedPlatform(environment({wayland})), QString()) << "no XWayland to switch to";
    EXPECT_EQ(forcedPlatform(environment({x11})), QString());

    // The option, then VORN_HOME, then the data home.
    const QPair<QString, QString> vornHome{"VORN_HOME", "/srv/vorn"}, data{"XDG_DATA_HOME", "/d"},
        home{"HOME", "/home/u"};
    const auto env = environment({vornHome, data, home});
    EXPECT_EQ(programFolder("/opt/v/", env), "/opt/v");
    EXPECT_EQ(programFolder(QString(), env), "/srv/vorn");
    EXPECT_EQ(programFolder(QString(), environment({data})), "/d/VORN");
    EXPECT_EQ(programFolder(QString(), environment({home})), "/home/u/.local/share/VORN");
    EXPECT_TRUE(QDir::isAbsolutePath(programFolder("rel", env)));
}

TEST(SingleInstance, ASecondCopyIsRefusedUntilTheFirstEndsAndACrashedCopysLockIsTakenOver) {
    QTemporaryDir dir;
    const QString path = dir.filePath("vorn.lock");
    auto first = std::make_unique<SingleInstance>(path);
    ScriptedPrompts prompts;
    ASSERT_TRUE(claimSingleInstance(*first, first->acquire(), prompts));
    EXPECT_TRUE(prompts.shown.isEmpty());
    SingleInstance second(path);
    EXPECT_FALSE(claimSingleInstance(second, second.acquire(), prompts));
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].text, "VORN is already running.");
    EXPECT_EQ(prompts.shown[0].kind, Prompts::Kind::Information);
    first.reset();
    EXPECT_EQ(second.acquire(), SingleInstance::Result::Acquired);
    // An unusable lock folder does not stop the program.
    EXPECT_EQ(SingleInstance("/nonexistent-folder/for/vorn.lock").acquire(),
              SingleInstance::Result::Failed);

    // A process id that has certainly ended: a child that has run and been reaped.
    QProcess child;
    child.start("/bin/true");
    ASSERT_TRUE(child.waitForStarted(5000));
    const qint64 deadPid = child.processId();
    ASSERT_TRUE(child.waitForFinished(5000));
    QFile lock(dir.filePath("crashed.lock"));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::number(deadPid) + "\nvorn\n" + QSysInfo::machineHostName().toUtf8() +
               '\n');
    lock.close();
    EXPECT_EQ(SingleInstance(lock.fileName()).acquire(), SingleInstance::Result::Acquired);

    // The lock lives in the runtime folder.
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", dir.path().toUtf8());
    EXPECT_EQ(SingleInstance::defaultLockPath(), path);
    qputenv("XDG_RUNTIME_DIR", runtime);
}

TEST(CommandChannel, AWordGetsItsCommandGarbageAndSilenceGetNothing) {
    QTemporaryDir dir;
    const QString path = dir.filePath("vorn.socket");
    // A socket file left by a crashed copy does not stop the start.
    QFile stale(path);
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();
    CommandServer server;
    ASSERT_TRUE(server.listen(path)) << server.errorString().toStdString();
    EXPECT_EQ(QFileInfo(path).permissions() &
                  (QFile::ReadOther | QFile::WriteOther | QFile::ReadGroup | QFile::WriteGroup),
              QFile::Permissions());
    QSignalSpy received(&server, &CommandServer::commandReceived);
    for (const QByteArray& garbage :
         {QByteArray("reboot\n"), QByteArray(4096, 'x'), QByteArray()}) {
        QLocalSocket client;
        client.connectToServer(path);
        ASSERT_TRUE(client.waitForConnected(2000));
        client.write(garbage);
        client.flush();
        // Dropped unanswered: after the bound at the latest.
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return client.state() == QLocalSocket::UnconnectedState; }, 5000));
        EXPECT_EQ(client.readAll(), QByteArray());
    }
    EXPECT_EQ(received.count(), 0);
    // A word gets its command.
    QLocalSocket client;
    client.connectToServer(path);
    ASSERT_TRUE(client.waitForConnected(2000));
    client.write(commandWord(RemoteCommand::Log).toUtf8() + '\n');
    ASSERT_TRUE(received.wait(5000));
    EXPECT_EQ(received.takeFirst().at(0).value<RemoteCommand>(), RemoteCommand::Log);

    // No copy, and an unusable place.
    EXPECT_EQ(sendCommand(dir.filePath("nobody.socket"), RemoteCommand::Exit, 300),
              SendResult::NotAnswered);
    EXPECT_FALSE(CommandServer().listen(dir.filePath("no/such/folder/vorn.socket")));
    for (RemoteCommand c :
         {RemoteCommand::Options, RemoteCommand::Tools, RemoteCommand::Log, RemoteCommand::Exit})
        EXPECT_EQ(commandFromWord(commandWord(c)), c);
    EXPECT_EQ(commandFromWord("Options"), std::nullopt);
}

TEST(FatalErrors, AnExceptionInAnEventHandlerReachesTheHandlerAndBoxesShowOneLineBreak) {
    QStringList handled;
    const auto handler = [&](const QString& message) { handled << message; };
    EXPECT_TRUE(deliverGuarded([] { return true; }, handler));
    EXPECT_FALSE(deliverGuarded(
        []() -> bool { throw std::runtime_error("Cannot write Logs/log070.bin: Disk full"); },
        handler));
    EXPECT_FALSE(deliverGuarded([]() -> bool { throw 42; }, handler));
    EXPECT_EQ(handled,
              (QStringList{"Cannot write Logs/log070.bin: Disk full", "Unknown exception"}));

    EXPECT_EQ(MessageBoxPrompts::displayText("One\n\r\n\rTwo\n\rThree"), "One\n\nTwo\nThree");
    EXPECT_EQ(MessageBoxPrompts::displayText("stray\rreturn"), "strayreturn");
}

TEST(VornTimer, FiresOnlyWithAPositiveIntervalFallsBackToItsDefaultAndOneShotsStop) {
    VornTimer timer("timerChecker", 2000);
    timer.setEnabled(true);
    EXPECT_FALSE(timer.isRunning()) << "an interval of 0 must never fire";
    timer.setInterval(5);
    timer.setInterval(0);
    EXPECT_FALSE(timer.isRunning()) << "0 after a real interval stops it again";
    timer.setInterval(-250);
    EXPECT_EQ(timer.interval(), 2000);
    timer.setInterval(300);
    timer.resetInterval();
    EXPECT_EQ(timer.interval(), 2000);

    // A timer without a usable default stays silent rather than spinning.
    VornTimer noDefault("timerTimeout", -1);
    noDefault.setInterval(-1);
    noDefault.setEnabled(true);
    EXPECT_FALSE(noDefault.isRunning());

    VornTimer once("timerExecuteDelay", 9000);
    once.setSingleShot(true);
    QSignalSpy firedOnce(&once, &VornTimer::timeout);
    once.setInterval(5);
    once.setEnabled(true);
    ASSERT_TRUE(firedOnce.wait(2000));
    EXPECT_FALSE(once.enabled());
    once.setEnabled(true); // armed for one more firing
    ASSERT_TRUE(firedOnce.wait(2000));
    EXPECT_EQ(firedOnce.count(), 2);
}

TEST(ReportPrinter, WithoutAPrinterAReportBecomesAPdfOfWholeLinesOverItsPages) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "pdftotext is not installed (scripts/deps.sh installs poppler-utils)";
    const auto run = [](const QString& program, const QStringList& arguments) {
        QProcess p;
        p.start(program, arguments);
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput());
    };
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    QtReportPrinter printer(dialogs);
    printer.hasPrinters = [] { return false; };
    PrintReport report;
    report.title = "Detail";
    report.pointSize = 10;
    for (int i = 0; i < 300; ++i)
        report.lines
            << QStringLiteral("Demo                     row %1").arg(i, 3, 10, QChar(u'0'));
    report.refuseFile = [&](const QString& path) {
        return path.endsWith("log070.bin") ? QStringLiteral("Not onto the call log.") : QString();
    };
    dialogs.cancelNext();
    EXPECT_EQ(printer.print(report).outcome, ReportPrinter::Outcome::Cancelled);
    dialogs.answerNext(dir.filePath("log070.bin"));
    EXPECT_EQ(printer.print(report).error, "Not onto the call log.");
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("log070.bin")));
    dialogs.answerNext(dir.filePath("no/such/folder/x.pdf"));
    const auto unwritable = printer.print(report);
    EXPECT_EQ(unwritable.outcome, ReportPrinter::Outcome::Failed);
    EXPECT_TRUE(unwritable.error.contains("x.pdf")) << unwritable.error.toStdString();

    const QString pdf = dir.filePath("detail.pdf");
    dialogs.answerNext(pdf);
    ASSERT_EQ(printer.print(report).outcome, ReportPrinter::Outcome::Printed);
    EXPECT_EQ(dialogs.asked.value(3).file.defaultSuffix, "pdf");
    const int pages =
        run("pdfinfo", {pdf}).section("Pages:", 1).trimmed().section(u'\n', 0, 0).toInt();
    EXPECT_GE(pages, 4);
    EXPECT_LE(pages, 6);
    // Every line once, in order, whole on its page.
    QStringList rows;
    for (const QString& line : run("pdftotext", {"-layout", pdf, "-"}).split(u'\n'))
        if (line.contains("row "))
            rows << line.simplified();
    ASSERT_EQ(rows.size(), 300);
    EXPECT_EQ(rows.first(), report.lines.first().simplified());
    EXPECT_EQ(rows.last(), report.lines.last().simplified());
    // "Courier New" is there through fonts-liberation's Liberation Mono.
    EXPECT_TRUE(run("pdffonts", {pdf}).contains("Mono"));
}
