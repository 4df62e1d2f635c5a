#include "cli/vorn_sim_command.h"
#include "platform/byte_counters.h"
#include "platform/simulated_dial_up.h"
#include "platform_test.h"

#include <QProcess>
#include <QTextStream>

namespace {

// vorn-sim commands against the state file that the simulated backend reads.
class SimulatedDialUpTest : public ::testing::Test {
protected:
    int sim(const QStringList& arguments) {
        output.clear();
        errors.clear();
        QTextStream out(&output);
        QTextStream err(&errors);
        return runVornSim(arguments, path, out, err);
    }
    void writeState(const QByteArray& content) {
        ASSERT_TRUE(writeTreeFile(dir.path(), "sim/vorn-sim.json", content));
    }

    QTemporaryDir dir;
    QString path = dir.filePath("sim/vorn-sim.json"); // its folder does not exist yet
    QString output;
    QString errors;
    SimulatedDialUp backend{path};
};

TEST_F(SimulatedDialUpTest, CommandsChangeWhatTheBackendReportsAndVornsHangUpShows) {
    EXPECT_EQ(backend.entries(), QStringList()); // no file yet: nothing, not a failure
    EXPECT_EQ(backend.connections(), QList<DialUpConnection>());
    const std::unique_ptr<ByteCounters> counters = backend.createByteCounters();

    const QString commands = "entries add \"Work ISP\"; entries add Home; "
                             "dial \"Work ISP\" --speed 28800; state \"Work ISP\" 5; "
                             "traffic --rx 51200; traffic --rx=1024 --tx 5000000000; "
                             "entries remove Home; dial Mobile --state 3";
    for (const QString& command : commands.split(';'))
        ASSERT_EQ(sim(QProcess::splitCommand(command)), VornSimExit::Success)
            << command.toStdString();
    EXPECT_TRUE(errors.contains("not in the phonebook")); // allowed, but pointed out
    EXPECT_EQ(backend.entries(), QStringList({"Work ISP"}));
    const auto calls = backend.connections();
    ASSERT_TRUE(calls);
    EXPECT_EQ(*calls, (QList<DialUpConnection>{{"1", "Work ISP", 5, {}, 28800},
                                               {"2", "Mobile", 3, {}, 0}}));
    EXPECT_EQ(counters->GetByteCount(u"r"), 52224u);
    EXPECT_EQ(counters->GetByteCount(u"t"), 5000000000ull);

    EXPECT_TRUE(backend.hangUp(calls->at(1)));
    EXPECT_FALSE(backend.hangUp(calls->at(1))); // already gone
    EXPECT_FALSE(backend.hangUp({"junk", "Work ISP", 8192, {}, 0}));
    EXPECT_EQ(backend.connections(), calls->first(1));
    ASSERT_EQ(sim({"status"}), VornSimExit::Success);
    EXPECT_TRUE(output.contains("Hung up by VORN: Mobile")) << output.toStdString();
    EXPECT_TRUE(output.contains("Work ISP  state 5 (authenticating)")) << output.toStdString();

    // A new call gets a new handle, so a stale handle never hangs up the wrong call.
    ASSERT_EQ(sim({"dial", "Mobile"}), VornSimExit::Success);
    EXPECT_FALSE(backend.hangUp(calls->at(1)));
    ASSERT_EQ(sim({"hangup", "Work ISP"}), VornSimExit::Success);
    EXPECT_EQ(backend.connections()->size(), 1);
    ASSERT_EQ(sim({"hangup"}), VornSimExit::Success);
    EXPECT_EQ(backend.connections(), QList<DialUpConnection>());
}

TEST_F(SimulatedDialUpTest, TornForeignOrMalformedStateIsNotTrusted) {
    ASSERT_EQ(sim({"dial", "Work ISP"}), VornSimExit::Success);
    const QByteArray whole = readFile(path);
    for (const QByteArray& broken : {whole.left(whole.size() / 2), QByteArray(),
                                     QByteArray("[1, 2]"), QByteArray("\xff\xfe garbage")}) {
        writeState(broken);
        EXPECT_EQ(backend.connections(), std::nullopt) << broken.constData();
        EXPECT_EQ(backend.entries(), std::nullopt);
        EXPECT_EQ(backend.createByteCounters()->GetByteCount(u"r"), 0u);
        // vorn-sim refuses to build on it, and says how to start again.
        EXPECT_EQ(sim({"dial", "Other"}), VornSimExit::Failure);
        EXPECT_TRUE(errors.contains("vorn-sim reset"));
    }
    EXPECT_EQ(sim({"reset"}), VornSimExit::Success);
    EXPECT_EQ(backend.connections(), QList<DialUpConnection>());

    // Malformed items are skipped, not trusted.
    writeState(R"({"entries": ["A", 7, null, "B"],
                   "calls": [{"id": 1, "name": "A", "state": -4, "speed": 99999999999},
                             {"id": 0, "name": "no id"}, {"id": 2}, "x",
                             {"id": 9, "name": "B", "state": 1e40}],
                   "nextId": 3, "rx": -10, "tx": "12"})");
    EXPECT_EQ(backend.entries(), QStringList({"A", "B"}));
    EXPECT_EQ(backend.connections(),
              (QList<DialUpConnection>{{"1", "A", 0, {}, 4294967295u}, {"9", "B", 8192, {}, 0}}));
    const auto counters = backend.createByteCounters();
    EXPECT_EQ(counters->GetByteCount(u"r") + counters->GetByteCount(u"t"), 0u);

    // The next call dialled must not reuse id 9 even though nextId says 3.
    ASSERT_EQ(sim({"dial", "C"}), VornSimExit::Success);
    EXPECT_EQ(backend.connections()->at(2).handle, "10");
}

TEST_F(SimulatedDialUpTest, BadInputIsRefusedWithTheRightExitCode) {
    // Command lines as a shell splits them, ";" between them.
    const QString usage = "; fly; entries add; entries rename A; entries add \"\"; "
                          "entries add \"two\nlines\"; dial; dial A --speed fast; "
                          "dial A --speed 4294967296; dial A --speed -1; dial A --rx 5; "
                          "dial A --speed 1 --speed 2; dial A --speed; state A; state A x; "
                          "traffic; traffic --rx 1e3; traffic --tx 9223372036854775808; "
                          "hangup A B; status now; --bogus status; --state-file= status";
    for (const QString& command : usage.split(';')) {
        EXPECT_EQ(sim(QProcess::splitCommand(command)), VornSimExit::Usage)
            << command.toStdString();
        EXPECT_TRUE(errors.startsWith("vorn-sim: ")) << errors.toStdString();
    }
    EXPECT_FALSE(QFile::exists(path)); // nothing was written by any of them

    for (const QString& command :
         QString("entries remove nobody;state nobody 5;hangup nobody").split(';'))
        EXPECT_EQ(sim(QProcess::splitCommand(command)), VornSimExit::Failure)
            << command.toStdString();
    for (const QStringList& twice : {QStringList{"entries", "add", "A"}, {"dial", "A"}}) {
        ASSERT_EQ(sim(twice), VornSimExit::Success);
        EXPECT_EQ(sim(twice), VornSimExit::Failure) << "already there";
    }

    // Counters stop at the largest value JSON holds exactly instead of wrapping.
    ASSERT_EQ(sim({"traffic", "--rx", "9223372036854775807"}), VornSimExit::Success);
    EXPECT_EQ(sim({"traffic", "--rx", "1"}), VornSimExit::Failure);
    EXPECT_EQ(SimulatedByteCounters(path).GetByteCount(u"r"), 9223372036854775807ull);


    const QString other = dir.filePath("other.json");
    ASSERT_EQ(sim({"--state-file", other, "entries", "add", "--", "-odd-"}), VornSimExit::Success);
    EXPECT_EQ(SimulatedDialUp(other).entries(), QStringList({"-odd-"}));
    EXPECT_EQ(backend.entries(), QStringList({"A"}));
}

// The installed program, as a shell uses it.
TEST_F(SimulatedDialUpTest, ProgramRunsFromAShellWithExitCodes) {
    const auto run = [&](const QStringList& arguments) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("VORN_SIM_STATE", path);
        process.setProcessEnvironment(environment);
        process.start(VORN_SIM_PROGRAM, arguments);
        EXPECT_TRUE(process.waitForFinished(30000));
        output = process.readAllStandardOutput();
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    };
    EXPECT_EQ(run({"--help"}), 0);
    EXPECT_TRUE(output.contains("entries add NAME"));
    EXPECT_EQ(run({"dial", "Work ISP", "--speed", "33600"}), 0);
    EXPECT_EQ(run({"dial", "--speed"}), 2);
    EXPECT_EQ(run({"hangup", "Home"}), 1);
    EXPECT_EQ(backend.connections()->first().connectSpeed, 33600u);
}

} // namespace
