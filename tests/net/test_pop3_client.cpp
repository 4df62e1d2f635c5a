// TPop3Cli over real sockets against a scripted POP3 server on 127.0.0.1 (port 0).
#include "net/pop3_client.h"
#include "pop3_event_log.h"
#include "scripted_pop3_server.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

constexpr int kWait = 5000;       // upper bound for anything that must happen
using Done = std::pair<int, int>; // request type, error

const QMap<QByteArray, ScriptedPop3Server::Reply> kMailbox{
    {"USER bob", {"+OK\r\n"}},
    {"PASS secret", {"+OK mailbox ready\r\n"}},
    {"STAT", {"+OK 3 12345\r\n"}},
    {"LIST", {"+OK 3 messages\r\n1 120\r\n2 200\r\n3 12025\r\n.\r\n"}},
    {"TOP 2 1", {"+OK\r\nSubject: two\r\n\r\n..hidden dot\r\n...\r\n.\r\n"}},
};

class Pop3ClientTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.listen());
        server.setReplies(kMailbox);
        c.setHost("127.0.0.1");
        c.setPort(server.portText());
        c.setUserName(" bob ");
        c.setPassWord("secret");
        c.setMsgNum(2);
        c.setMsgLines(1);
    }
    // Runs one command and waits for its completion, which must not come during the call.
    Done run(void (TCustomPop3Cli::*command)()) {
        QSignalSpy done(&c, &TCustomPop3Cli::OnRequestDone);
        (c.*command)();
        EXPECT_EQ(done.count(), 0) << "OnRequestDone before the call returned";
        if (!done.wait(kWait))
            return {-1, -1};
        return {done.at(0).at(0).toInt(), done.at(0).at(1).toInt()};
    }

    ScriptedPop3Server server;
    TPop3Cli c;
    Pop3EventLog log{c};
};

TEST_F(Pop3ClientTest, FullSessionInOrder) {
    QStringList display;
    QObject::connect(&c, &TCustomPop3Cli::OnDisplay, [&](const QString& t) { display << t; });
    EXPECT_EQ(run(&TCustomPop3Cli::Connect), Done(0, 0));
    EXPECT_EQ(c.Timestamp(), "<1896.697170952@dbc.mtview.ca.us>");
    EXPECT_EQ(run(&TCustomPop3Cli::User), Done(1, 0));
    EXPECT_EQ(c.ProtocolState(), pop3WaitingPass);
    EXPECT_EQ(run(&TCustomPop3Cli::Pass), Done(2, 0));
    EXPECT_EQ(c.ProtocolState(), pop3Transaction);
    EXPECT_EQ(run(&TCustomPop3Cli::Stat), Done(5, 0));
    EXPECT_EQ(std::make_pair(c.MsgCount(), c.MsgSize()), std::make_pair(3, qint64(12345)));
    c.setMsgNum(0);
    EXPECT_EQ(run(&TCustomPop3Cli::List), Done(6, 0));
    c.setMsgNum(2);
    EXPECT_EQ(run(&TCustomPop3Cli::Top), Done(8, 0));
    EXPECT_EQ(run(&TCustomPop3Cli::Quit), Done(4, 0));
    EXPECT_EQ(c.ProtocolState(), pop3Disconnected);
    EXPECT_FALSE(c.Connected());

    EXPECT_EQ(log.take(), (QStringList{"connected 0",
                                       "done 0 0",
                                       "done 1 0",
                                       "done 2 0",
                                       "done 5 0",
                                       "list begin",
                                       "list 1 120 [1 120]",
                                       "list 2 200 [2 200]",
                                       "list 3 12025 [3 12025]",
                                       "list end",
                                       "done 6 0",
                                       "msg begin",
                                       "msg Subject: two",
                                       "msg ",
                                       "msg .hidden dot",
                                       "msg ..",
                                       "msg end",
                                       "done 8 0",
                                       "closed 0",
                                       "done 4 0"}));
    EXPECT_EQ(server.commands(),
              (QList<QByteArray>{"USER bob", "PASS secret", "STAT", "LIST", "TOP 2 1", "QUIT"}));
    EXPECT_EQ(display.mid(1, 2), (QStringList{"> USER bob", "< +OK"}));
    EXPECT_TRUE(server.waitForAllClosed(kWait));
}

TEST_F(Pop3ClientTest, AnErrBannerClosesAndQuitThenCompletesWithNoTraffic) {
    server.setBanner("-ERR too many connections\r\n+OK changed my mind\r\n");
    EXPECT_EQ(run(&TCustomPop3Cli::Connect), Done(0, 10004));
    EXPECT_EQ(c.ErrorMessage(), "-ERR too many connections");
    EXPECT_EQ(c.StatusCode(), 500);
    EXPECT_EQ(log.take(), (QStringList{"closed 0", "done 0 10004"}));
    EXPECT_EQ(c.ProtocolState(), pop3Disconnected);
    EXPECT_FALSE(c.Connected());
    EXPECT_TRUE(server.waitForAllClosed(kWait));

    EXPECT_EQ(run(&TCustomPop3Cli::Quit), Done(4, 0));
    EXPECT_EQ(server.connectionCount(), 1);
    EXPECT_TRUE(server.commands().isEmpty());
}

TEST_F(Pop3ClientTest, ASilentServerEndsWhenTheCallersTimerAborts) {
    server.setBanner({});
    bool timedOut = false;
    QTimer::singleShot(300, &c, [&] { // what the callers' step timer does
        timedOut = true;
        c.Abort();
    });
    EXPECT_EQ(run(&TCustomPop3Cli::Connect), Done(0, 10004));
    EXPECT_TRUE(timedOut) << "the request ended before the caller gave up";
    EXPECT_EQ(c.ErrorMessage(), "-ERR Interrupted system call (Winsock error #10004)");
    EXPECT_EQ(c.State(), pop3Ready);
    EXPECT_TRUE(server.waitForAllClosed(kWait));
}

TEST_F(Pop3ClientTest, AServerClosingMidReplyEndsTheRequestWith10004) {
    QMap replies = kMailbox;
    replies["TOP 2 1"] = {"+OK\r\nSubject: partial\r\nFrom: som", true};
    server.setReplies(replies);
    for (auto step : {&TCustomPop3Cli::Connect, &TCustomPop3Cli::User, &TCustomPop3Cli::Pass})
        ASSERT_EQ(run(step).second, 0);
    log.take();
    EXPECT_EQ(run(&TCustomPop3Cli::Top), Done(8, 10004));
    EXPECT_EQ(log.take(),
              (QStringList{"msg begin", "msg Subject: partial", "closed 0", "done 8 10004"}));
    EXPECT_EQ(c.ErrorMessage(), "-ERR Disconneced unexpectedly");
    EXPECT_EQ(c.ProtocolState(), pop3Disconnected);
}

TEST_F(Pop3ClientTest, ConnectFailuresANameLookupAndAnAbortedLookup) {
    QTcpServer probe; // a port nobody listens on
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    c.setPort(QString::number(probe.serverPort()));
    probe.close();
    EXPECT_EQ(run(&TCustomPop3Cli::Connect), Done(0, 10061));
    EXPECT_EQ(c.ErrorMessage(), "-ERR Connection refused (Winsock error #10061)");
    c.setPort("nonsense");
    EXPECT_EQ(run(&TCustomPop3Cli::Connect), Done(0, 500));
    EXPECT_EQ(c.ErrorMessage(), "-ERR WSocketResolvePort: Cannot convert port 'nonsense'");

    c.setHost("localhost");
    c.setPort(server.portText());
    EXPECT_EQ(run(&TCustomPop3Cli::Connect), Done(0, 0));

    // Abort during the lookup: one completion; the answer that still comes is ignored.
    TPop3Cli d;
    d.setHost("localhost");
    d.setPort(server.portText());
    QSignalSpy done(&d, &TCustomPop3Cli::OnRequestDone);
    d.Connect();
    d.Abort();
    ASSERT_TRUE(done.wait(kWait));
    EXPECT_FALSE(done.wait(300));
    EXPECT_EQ(done.at(0).at(1).toInt(), 10004);
    EXPECT_EQ(server.connectionCount(), 1);
}

TEST_F(Pop3ClientTest, AFloodWithoutLineEndsIsCutOffAndTheClientStaysUsable) {
    ScriptedPop3Server flood;
    ASSERT_TRUE(flood.listen());
    flood.setBanner(QByteArray(1 << 20, 'A'));
    c.setPort(flood.portText());
    EXPECT_EQ(run(&TCustomPop3Cli::Connect), Done(0, 500));
    EXPECT_EQ(c.ErrorMessage(), "-ERR Reply line longer than 4093 characters");
    EXPECT_EQ(log.take(), (QStringList{"closed 10004", "done 0 500"}));
    EXPECT_TRUE(flood.waitForAllClosed(kWait));

    c.setPort(server.portText());
    EXPECT_EQ(run(&TCustomPop3Cli::Connect), Done(0, 0));
}

} // namespace
