// POP3: the line handling and state machine without a network, then TPop3Cli over real
// sockets against a scripted server on 127.0.0.1 (port 0).
#include "fake_pop3_client.h"
#include "net/line_splitter.h"
#include "net/pop3_client.h"
#include "net_test.h"
#include "scripted_pop3_server.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTimer>

#include <limits>

namespace {

// Every event of a POP3 client as one line of text, in the order they came.
struct Pop3EventLog {
    QStringList lines;

    explicit Pop3EventLog(TCustomPop3Cli& c) {
        QObject::connect(&c, &TCustomPop3Cli::OnSessionConnected,
                         [this](quint16 e) { lines << QStringLiteral("connected %1").arg(e); });
        QObject::connect(&c, &TCustomPop3Cli::OnSessionClosed,
                         [this](quint16 e) { lines << QStringLiteral("closed %1").arg(e); });
        QObject::connect(&c, &TCustomPop3Cli::OnRequestDone, [this](TPop3Request r, quint16 e) {
            lines << QStringLiteral("done %1 %2").arg(int(r)).arg(e);
        });
        QObject::connect(&c, &TCustomPop3Cli::OnMessageBegin, [this] { lines << "msg begin"; });
        QObject::connect(&c, &TCustomPop3Cli::OnMessageLine,
                         [this](const QString& l) { lines << "msg " + l; });
        QObject::connect(&c, &TCustomPop3Cli::OnMessageEnd, [this] { lines << "msg end"; });
        QObject::connect(&c, &TCustomPop3Cli::OnListBegin, [this] { lines << "list begin"; });
        QObject::connect(&c, &TCustomPop3Cli::OnListEnd, [this] { lines << "list end"; });
        QObject::connect(&c, &TCustomPop3Cli::OnListLine, [this, &c](const QString& l) {
            lines << QStringLiteral("list %1 [%2 %3]").arg(l).arg(c.MsgNum()).arg(c.MsgSize());
        });
    }
    QStringList take() { return std::exchange(lines, {}); }
};

QList<QByteArray> feed(LineSplitter& splitter, const QByteArray& data, qsizetype chunk) {
    QList<QByteArray> lines;
    for (qsizetype at = 0; at < data.size() && !splitter.isJammed();) {
        at += splitter.append(data.constData() + at, std::min(chunk, data.size() - at));
        while (auto line = splitter.takeLine())
            lines.append(*line);
    }
    return lines;
}

TEST(LineSplitter, CutsAtCrLfOnlyWhateverTheChunkingAndJamsOnALongLine) {
    QByteArray data = "+OK a\r\nbare\nlf, lone \r cr\r\n\r\nx\r\r\n";
    QList<QByteArray> expected{"+OK a", "bare\nlf, lone \r cr", "", "x\r"};
    for (int i = 0; i < 3000; ++i) { // far more than the buffer holds
        expected << "line " + QByteArray::number(i);
        data += expected.back() + "\r\n";
    }
    for (qsizetype chunk : {1, 7, 4095}) {
        LineSplitter s;
        EXPECT_EQ(feed(s, data + "tail", chunk), expected) << "chunk " << chunk;
        EXPECT_EQ(s.pending(), 4) << "the partial line waits for the next read";
    }
    LineSplitter fits, jams;
    const QByteArray longest(4093, 'a');
    EXPECT_EQ(feed(fits, longest + "\r\nnext\r\n", 100), (QList<QByteArray>{longest, "next"}));
    EXPECT_TRUE(feed(jams, longest + "a\r\n", 100).isEmpty());
    EXPECT_TRUE(jams.isJammed());
    EXPECT_EQ(jams.append("more", 4), 0) << "a jammed buffer takes nothing more";
}

TEST(Pop3Numbers, ReadsTwoNumbersOrNoneAndSaturates) {
    constexpr qint64 max = std::numeric_limits<qint64>::max();
    const std::tuple<QByteArray, qint64, qint64> cases[] = {
        {"+OK 3 12345", 3, 12345}, {"+OK 3", 0, 0}, {"+OK 3 msgs (12 octets)", 0, 0},
        {"1   120 x", 1, 120},     {"", 0, 0},      {"+OK 99999999999999999999999 5", max, 5},
    };
    for (const auto& [line, first, second] : cases) {
        const Pop3Numbers n = parsePop3Numbers(line);
        EXPECT_EQ(std::make_pair(n.first, n.second), std::make_pair(first, second))
            << line.constData();
    }
}

TEST(Pop3StateMachine, MisuseThrowsTheProgramsTextsAndSendsNothing) {
    FakePop3Cli c;
    QStringList display;
    QObject::connect(&c, &TCustomPop3Cli::OnDisplay, [&](const QString& t) { display << t; });
    using Command = void (TCustomPop3Cli::*)();
    const auto refused = [&](Command command) {
        return thrown<Pop3Exception>([&] { (c.*command)(); });
    };
    EXPECT_EQ(refused(&TCustomPop3Cli::User), "POP3 component not connected");
    EXPECT_EQ(refused(&TCustomPop3Cli::Stat), "-ERR STAT command invalid now");
    EXPECT_EQ(c.ErrorMessage(), "-ERR STAT command invalid now");
    EXPECT_EQ(display, QStringList{"-ERR STAT command invalid now"});
    EXPECT_EQ(refused(&TCustomPop3Cli::List), "-ERR LIST command invalid now");
    EXPECT_EQ(refused(&TCustomPop3Cli::Top), "-ERR TOP command invalid now");
    EXPECT_EQ(refused(&TCustomPop3Cli::Connect), "DNS lookup: invalid host name.");
    EXPECT_EQ(c.State(), pop3Ready) << "a refused Connect leaves the client usable";

    c.setHost("mail.example.org");
    c.Connect();
    EXPECT_EQ(refused(&TCustomPop3Cli::Quit), "POP3 component not ready");
    c.Abort();
    c.openSession("+OK hi\r\n");
    EXPECT_EQ(refused(&TCustomPop3Cli::Connect), "POP3 component already connected");
    c.setUserName("bob\r\nDELE 1");
    EXPECT_EQ(refused(&TCustomPop3Cli::User), "Invalid character in POP3 command");
    c.setUserName("bob");
    c.User();
    EXPECT_EQ(refused(&TCustomPop3Cli::Pass), "POP3 component not ready") << "one at a time";
    c.receive("+OK\r\n");
    c.setPassWord(QStringLiteral(" p\u00e4ss\u20ac\u4e2d "));
    c.Pass();
    c.receive("+OK\r\n");
    EXPECT_EQ(refused(&TCustomPop3Cli::User), "-ERR USER command invalid now");
    EXPECT_EQ(refused(&TCustomPop3Cli::Pass), "-ERR PASS command invalid now");
    c.setMsgLines(-1);
    EXPECT_EQ(refused(&TCustomPop3Cli::Top), "Invalid MsgLines for TOP command");
    EXPECT_EQ(c.sent, "USER bob\r\nPASS p\xE4ss\x80?\r\n") << "in the program's code page";
}

TEST(Pop3StateMachine, RepliesEndEachRequestOnceFromTheEventLoop) {
    FakePop3Cli c;
    Pop3EventLog log(c);
    c.setUserName("bob");
    c.openSession("+OK hi\r\n");
    c.User();
    // A refusal ends with 500 and keeps the phase; a line nobody asked for changes nothing.
    c.receive("-ERR who?\r\n+OK late\r\n");
    EXPECT_EQ(log.lines, QStringList{"connected 0"}) << "completions wait for the event loop";
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(log.take(), (QStringList{"connected 0", "done 0 0", "done 1 500"}));
    EXPECT_EQ(c.ErrorMessage(), "-ERR who?");
    EXPECT_EQ(c.ProtocolState(), pop3WaitingUser);
    EXPECT_EQ(c.LastResponse(), "+OK late");
}

using Done = std::pair<int, int>; // request type, error

class Pop3ClientTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.listen());
        server.setReplies({
            {"USER bob", {"+OK\r\n"}},
            {"PASS secret", {"+OK mailbox ready\r\n"}},
            {"STAT", {"+OK 3 12345\r\n"}},
            {"LIST", {"+OK 3 messages\r\n1 120\r\n3 12025\r\n.\r\n"}},
            {"LIST 3", {"+OK 3 4096\r\n"}},
            {"TOP 2 1", {"+OK\r\nSubject: two\r\n\r\n..hidden dot\r\n...\r\n.\r\n"}},
            {"TOP 3 1", {"+OK\r\nSubject: partial\r\nFrom: som", true}},
        });
        c.setHost("127.0.0.1");
        c.setPort(server.portText());
        c.setUserName(" bob ");
        c.setPassWord("secret");
        c.setMsgLines(1);
    }
    // Runs one command and waits for its completion, which must not come during the call.
    Done run(void (TCustomPop3Cli::*command)(), int msgNum = 0) {
        c.setMsgNum(msgNum);
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

TEST_F(Pop3ClientTest, FullSessionInOrderAndAServerClosingMidReply) {
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
    EXPECT_EQ(run(&TCustomPop3Cli::List), Done(6, 0));
    EXPECT_EQ(run(&TCustomPop3Cli::List, 3), Done(6, 0));
    EXPECT_EQ(std::make_pair(c.MsgNum(), c.MsgSize()), std::make_pair(3, qint64(4096)));
    EXPECT_EQ(run(&TCustomPop3Cli::Top, 2), Done(8, 0));
    EXPECT_EQ(log.take(),
              (QStringList{"connected 0", "done 0 0", "done 1 0", "done 2 0", "done 5 0",
                           "list begin", "list 1 120 [1 120]", "list 3 12025 [3 12025]", "list end",
                           "done 6 0", "done 6 0", "msg begin", "msg Subject: two", "msg ",
                           "msg .hidden dot", "msg ..", "msg end", "done 8 0"}));
    EXPECT_EQ(display.mid(1, 2), (QStringList{"> USER bob", "< +OK"}));

    EXPECT_EQ(run(&TCustomPop3Cli::Top, 3), Done(8, 10004));
    EXPECT_EQ(log.take(),
              (QStringList{"msg begin", "msg Subject: partial", "closed 0", "done 8 10004"}));
    EXPECT_EQ(c.ErrorMessage(), "-ERR Disconneced unexpectedly");
    EXPECT_EQ(c.ProtocolState(), pop3Disconnected);

    ASSERT_EQ(run(&TCustomPop3Cli::Connect), Done(0, 0));
    EXPECT_EQ(run(&TCustomPop3Cli::Quit), Done(4, 0));
    EXPECT_EQ(log.take(), (QStringList{"connected 0", "done 0 0", "closed 0", "done 4 0"}));
    EXPECT_EQ(c.ProtocolState(), pop3Disconnected);
    EXPECT_FALSE(c.Connected());
    EXPECT_EQ(server.commands(), (QList<QByteArray>{"USER bob", "PASS secret", "STAT", "LIST",
                                                    "LIST 3", "TOP 2 1", "TOP 3 1", "QUIT"}));
    EXPECT_TRUE(server.waitForAllClosed(kWait));
}

// A refusing banner, a flood without line ends, a silent server the caller's timer gives
// up on: each ends Connect once, and the client works again afterwards.
TEST_F(Pop3ClientTest, BannersThatEndTheConnect) {
    const std::tuple<QByteArray, Done, const char*, QStringList> cases[] = {
        {"-ERR too many connections\r\n+OK changed my mind\r\n",
         {0, 10004},
         "-ERR too many connections",
         {"closed 0", "done 0 10004"}},
        {QByteArray(1 << 20, 'A'),
         {0, 500},
         "-ERR Reply line longer than 4093 characters",
         {"closed 10004", "done 0 500"}},
        {{},
         {0, 10004},
         "-ERR Interrupted system call (Winsock error #10004)",
         {"closed 10004", "done 0 10004"}},
    };
    for (const auto& [banner, done, error, events] : cases) {
        ScriptedPop3Server other;
        ASSERT_TRUE(other.listen());
        other.setBanner(banner);
        c.setPort(other.portText());
        if (banner.isEmpty())
            QTimer::singleShot(300, &c, &TCustomPop3Cli::Abort); // what the callers' timer does
        EXPECT_EQ(run(&TCustomPop3Cli::Connect), done) << error;
        EXPECT_EQ(c.ErrorMessage(), error);
        EXPECT_EQ(log.take(), events) << error;
        EXPECT_FALSE(c.Connected());
        EXPECT_TRUE(other.waitForAllClosed(kWait));
        EXPECT_TRUE(!banner.startsWith("-ERR") || c.StatusCode() == 500) << c.StatusCode();
    }
    EXPECT_EQ(run(&TCustomPop3Cli::Quit), Done(4, 0)) << "no connection: done at once";
    c.setPort(server.portText());
    EXPECT_EQ(run(&TCustomPop3Cli::Connect), Done(0, 0));
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

} // namespace
