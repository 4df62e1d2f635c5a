// The ping tool's run over a scripted echo service, and once over the real socket.
#include "tools/ping_session.h"

#include "core/records.h"
#include "fake_icmp_echo.h"
#include "platform/icmp_echo_socket.h"
#include "scripted_prompts.h"
#include "tools/ping.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

constexpr int kWait = 10000;

IcmpEchoReply answer(quint32 status, int size = 56, quint32 ms = 3) {
    return {status, QHostAddress("127.0.0.1"), ms, QByteArray(status ? 0 : size, 'x'), 64, 0};
}

class PingSessionTest : public ::testing::Test {
protected:
    PingSessionTest() {
        auto fake = std::make_unique<FakeIcmpEcho>();
        echo = fake.get();
        session = std::make_unique<PingSession>(std::move(fake), prompts);
        QObject::connect(session.get(), &PingSession::buttonsChanged, [this] {
            buttons << QStringLiteral("%1%2").arg(session->pingEnabled() ? "P" : "-",
                                                  session->cancelEnabled() ? "C" : "-");
        });
    }
    // Pings and waits for the run to end; the lines it wrote.
    QStringList run(const QString& host, int repeatIndex) {
        QSignalSpy finished(session.get(), &PingSession::finished);
        entry.Host = host;
        session->ping(&entry, repeatIndex);
        EXPECT_TRUE(finished.count() > 0 || finished.wait(kWait)) << host.toStdString();
        return session->output().lines();
    }

    ScriptedPrompts prompts;
    FakeIcmpEcho* echo;
    std::unique_ptr<PingSession> session;
    typToolWithDefaultInformation entry;
    QStringList buttons;
};

TEST_F(PingSessionTest, DottedAddressEchoesAndTheirOutcomes) {
    echo->replies = {answer(0, 56, 12), answer(IcmpStatus::DestinationHostUnreachable),
                     answer(0, 20, 0)};
    QSignalSpy finished(session.get(), &PingSession::finished);
    entry.Host = "127.0.0.1";
    session->ping(&entry, 3);
    EXPECT_FALSE(session->pingEnabled()) << "Pin&g stays off while echoes run";
    session->ping(&entry, 3);
    ASSERT_TRUE(finished.wait(kWait));
    EXPECT_EQ(
        session->output().lines(),
        (QStringList{"Resolving host - \"127.0.0.1\"", "Host resolved to \"127.0.0.1\"",
                     "Sending 56 bytes to 127.0.0.1 (127.0.0.1)",
                     "Received 56 bytes from 127.0.0.1 in 12 msecs",
                     "Sending 56 bytes to 127.0.0.1 (127.0.0.1)",
                     "Error - Destination host unreachable",
                     "Sending 56 bytes to 127.0.0.1 (127.0.0.1)",
                     "Received 20 bytes from 127.0.0.1 in 0 msecs",
                     "Sending 56 bytes to 127.0.0.1 (127.0.0.1)", "Error - Request timed out"}));
    EXPECT_EQ(
        prompts.texts(),
        QStringList{"You must cancel the current ping request before pinging another address."});
    EXPECT_EQ(buttons, (QStringList{"-C", "--", "P-"}));
    ASSERT_EQ(echo->sent.size(), 4);
    const FakeIcmpEcho::Sent& first = echo->sent.first();
    EXPECT_EQ(first.to, QHostAddress("127.0.0.1"));
    EXPECT_EQ(first.data, QByteArray("VORN ICMP echo request").leftJustified(56, ' '));
    EXPECT_EQ(std::pair(first.ttl, first.timeout), std::pair(64, 4000));
}

TEST_F(PingSessionTest, RepeatEachRequestCounts) {
    const std::pair<int, int> cases[] = {{0, 1}, {5, 6}, {9, 6}, {-1, 1}};
    for (const auto& [index, echoes] : cases) {
        echo->sent.clear();
        run("10.0.0.1", index);
        EXPECT_EQ(echo->sent.size(), echoes) << index;
    }
}

TEST_F(PingSessionTest, HostNamesThatResolveAndThatDoNot) {
    EXPECT_EQ(run("localhost", 0).mid(0, 2),
              (QStringList{"Resolving host - \"localhost\"", "Host resolved to \"127.0.0.1\""}));
    EXPECT_EQ(run("no-such-host.invalid", 0),
              (QStringList{"Resolving host - \"no-such-host.invalid\"", "Host not found"}));
    EXPECT_EQ(run("   ", 0), (QStringList{"Resolving host - \"   \"", "Host not found"}));
    EXPECT_TRUE(echo->sent.size() == 1);
}

TEST_F(PingSessionTest, CancelledLookUp) {
    // Qt keeps what it had allocated for a look-up that never ran (cancelled before its
    // first answer) until the process ends; a name it knows already does not.
    run("localhost", 0);
    buttons.clear();
    entry.Host = "localhost";
    session->ping(&entry, 0);
    ASSERT_TRUE(session->cancelEnabled());
    session->cancel();
    EXPECT_EQ(session->output().lines(),
              (QStringList{"Resolving host - \"localhost\"", "Host not found"}));
    EXPECT_EQ(buttons, (QStringList{"-C", "P-"}));
    // Ready for the next one at once; the dropped answer comes and goes meanwhile.
    EXPECT_EQ(run("localhost", 0).value(1), "Host resolved to \"127.0.0.1\"");
    EXPECT_EQ(echo->sent.size(), 2);
}

TEST_F(PingSessionTest, NoSocketSaysWhyAndHowAndNothingElse) {
    echo->opens = false;
    EXPECT_EQ(run("127.0.0.1", 5),
              (QStringList{"Resolving host - \"127.0.0.1\"", "Host resolved to \"127.0.0.1\"",
                           "Error - Unable to get ping handle (raw socket: Operation not "
                           "permitted). To let every user ping: sudo sysctl -w "
                           "net.ipv4.ping_group_range=\"0 2147483647\""}));
    EXPECT_TRUE(session->pingEnabled());
}

TEST_F(PingSessionTest, NoSelectionAndStopMidway) {
    session->ping(nullptr, 0);
    EXPECT_EQ(prompts.texts(), QStringList{"You must select a Ping Entry from the list above "
                                           "before the ping results can be displayed."});
    EXPECT_TRUE(session->output().lines().isEmpty());

    echo->replies = {answer(0)};
    entry.Host = "10.1.2.3";
    session->ping(&entry, 5);
    session->stop();
    EXPECT_TRUE(session->pingEnabled());
    QCoreApplication::processEvents(); // where the scripted reply would have come
    EXPECT_EQ(session->output().lines().size(), 3) << "resolving, resolved, sending";
}

TEST(PingSessionOverSocket, LoopbackAnswers) {
    auto socket = std::make_unique<IcmpEchoSocket>();
    if (!socket->open())
        GTEST_SKIP() << "this user may not ping: " << socket->openError().toStdString();
    ScriptedPrompts prompts;
    PingSession session(std::move(socket), prompts);
    QSignalSpy finished(&session, &PingSession::finished);
    typToolWithDefaultInformation entry{"127.0.0.1", {}, false};
    session.ping(&entry, 1);
    ASSERT_TRUE(finished.wait(kWait));
    const QStringList lines = session.output().lines();
    ASSERT_EQ(lines.size(), 6) << lines.join('\n').toStdString();
    const QRegularExpression received("^Received 56 bytes from 127\\.0\\.0\\.1 in \\d+ msecs$");
    EXPECT_TRUE(received.match(lines[3]).hasMatch()) << lines[3].toStdString();
    EXPECT_TRUE(received.match(lines[5]).hasMatch()) << lines[5].toStdString();
}

} // namespace
