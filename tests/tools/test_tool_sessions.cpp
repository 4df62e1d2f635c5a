// The ping, finger and POP3 tools' runs: ping over a scripted echo service and once over the
// real socket, finger against a finger server and the POP3 check against a scripted POP3
// server on 127.0.0.1, and the output's line rules.
#include "fake_icmp_echo.h"
#include "finger_server.h"
#include "scripted_pop3_server.h"
#include "scripted_prompts.h"

#include "core/records.h"
#include "core/settings.h"
#include "net/finger_client.h"
#include "platform/icmp_echo_socket.h"
#include "tools/finger_session.h"
#include "tools/ping_session.h"
#include "tools/pop3_check_session.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

constexpr int kWait = 10000;

// "P"/"-" for the run button, "C"/"-" for Cancel, each time a session says they changed.
template <typename Session, typename Run>
void recordButtons(Session* session, Run runEnabled, QStringList& into) {
    QObject::connect(session, &Session::buttonsChanged, [session, runEnabled, &into] {
        into << QString((session->*runEnabled)() ? "P" : "-") +
                    (session->cancelEnabled() ? "C" : "-");
    });
}

IcmpEchoReply answer(quint32 status, int size = 56, quint32 ms = 3) {
    return {status, QHostAddress("127.0.0.1"), ms, QByteArray(status ? 0 : size, 'x'), 64, 0};
}

class PingSessionTest : public ::testing::Test {
protected:
    PingSessionTest() { recordButtons(session.get(), &PingSession::pingEnabled, buttons); }
    // Pings and waits for the run to end; the lines it wrote.
    QStringList run(const QString& host, int repeatIndex) {
        QSignalSpy finished(session.get(), &PingSession::finished);
        entry.Host = host;
        session->ping(&entry, repeatIndex);
        EXPECT_TRUE(finished.count() > 0 || finished.wait(kWait)) << host.toStdString();
        return session->output().lines();
    }

    ScriptedPrompts prompts;
    FakeIcmpEcho* echo = new FakeIcmpEcho;
    std::unique_ptr<PingSession> session =
        std::make_unique<PingSession>(std::unique_ptr<IcmpEcho>(echo), prompts);
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
    const QString sending = "Sending 56 bytes to 127.0.0.1 (127.0.0.1)";
    EXPECT_EQ(session->output().lines(),
              (QStringList{"Resolving host - \"127.0.0.1\"", "Host resolved to \"127.0.0.1\"",
                           sending, "Received 56 bytes from 127.0.0.1 in 12 msecs", sending,
                           "Error - Destination host unreachable", sending,
                           "Received 20 bytes from 127.0.0.1 in 0 msecs", sending,
                           "Error - Request timed out"}));
    EXPECT_EQ(prompts.texts(), QStringList{"You must cancel the current ping request before "
                                           "pinging another address."});
    EXPECT_EQ(buttons, (QStringList{"-C", "--", "P-"}));
    ASSERT_EQ(echo->sent.size(), 4);
    const FakeIcmpEcho::Sent& first = echo->sent.first();
    EXPECT_EQ(first.to, QHostAddress("127.0.0.1"));
    EXPECT_EQ(first.data, QByteArray("VORN ICMP echo request").leftJustified(56, ' '));
    EXPECT_EQ(std::pair(first.ttl, first.timeout), std::pair(64, 4000));
    // The repeat index counts the echoes, clamped to the list's choices.
    const std::pair<int, int> repeats[] = {{0, 1}, {5, 6}, {9, 6}, {-1, 1}};
    for (const auto& [index, echoes] : repeats) {
        echo->sent.clear();
        run("10.0.0.1", index);
        EXPECT_EQ(echo->sent.size(), echoes) << index;
    }
}

TEST_F(PingSessionTest, HostNamesThatResolveThatDoNotAndACancelledLookUp) {
    EXPECT_EQ(run("localhost", 0).value(1), "Host resolved to \"127.0.0.1\"");
    EXPECT_EQ(run("no-such-host.invalid", 0),
              (QStringList{"Resolving host - \"no-such-host.invalid\"", "Host not found"}));
    EXPECT_EQ(run("   ", 0), (QStringList{"Resolving host - \"   \"", "Host not found"}));
    EXPECT_EQ(echo->sent.size(), 1);
    // Qt keeps what it had allocated for a look-up that never ran (cancelled before its
    // first answer) until the process ends; a name it knows already does not.
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

TEST_F(PingSessionTest, NoSelectionNoSocketAndStopMidway) {
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

    echo->opens = false;
    EXPECT_EQ(run("127.0.0.1", 5).mid(2),
              QStringList{"Error - Unable to get ping handle (raw socket: Operation not "
                          "permitted). To let every user ping: sudo sysctl -w "
                          "net.ipv4.ping_group_range=\"0 2147483647\""});
    EXPECT_TRUE(session->pingEnabled());
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

// An output box rebuilt from the signals alone: what a window following them shows.
struct Box {
    QStringList lines;
    explicit Box(ToolOutput& out) {
        QObject::connect(&out, &ToolOutput::cleared, [this] { lines.clear(); });
        QObject::connect(&out, &ToolOutput::lineAdded, [this](const QString& l) { lines << l; });
        QObject::connect(&out, &ToolOutput::lastLineExtended,
                         [this](const QString& t) { lines.last() += t; });
    }
};

TEST(ToolOutput, LineBreaksAcrossPieces) {
    const std::pair<QStringList, QStringList> cases[] = {
        {{"a\r\nb\r\n"}, {"a", "b", ""}},
        {{"line o", "ne\r", "\nnext"}, {"line one", "next"}},
        {{"lf\nonly\n"}, {"lf", "only", ""}},
        {{"a\r\n\r\nb\n\nc"}, {"a", "", "b", "", "c"}},
        {{"cr\ralone\r", "\r", "x"}, {"cr", "alone", "", "x"}},
        {{"", "a"}, {"a"}},
    };
    for (const auto& [pieces, expected] : cases) {
        ToolOutput out;
        Box box(out);
        for (const QString& p : pieces)
            out.append(p);
        EXPECT_EQ(out.lines(), expected) << pieces.join('|').toStdString();
        EXPECT_EQ(box.lines, expected) << pieces.join('|').toStdString();
    }
}

class FingerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.listen());
        session->client().setPort(server.portText());
        recordButtons(session.get(), &FingerSession::fingerEnabled, buttons);
    }
    void TearDown() override {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // Starts a query; the lines once it has ended.
    QStringList run(const QString& address) {
        start(address);
        EXPECT_TRUE(session->fingerEnabled() || finished.wait(kWait)) << address.toStdString();
        EXPECT_EQ(box.lines, session->output().lines());
        return session->output().lines();
    }
    void start(const QString& address) {
        entry.Host = address;
        session->finger(&entry);
    }
    // Until the server's side of the latest connection has been closed.
    bool serverSeesClose() const {
        return server.last && (server.last->state() == QAbstractSocket::UnconnectedState ||
                               server.last->waitForDisconnected(kWait));
    }

    FingerServer server;
    ScriptedPrompts prompts;
    std::unique_ptr<FingerSession> session = std::make_unique<FingerSession>(prompts);
    Box box{session->output()};
    QSignalSpy finished{session.get(), &FingerSession::finished};
    typToolWithDefaultInformation entry;
    QStringList buttons;
};

TEST_F(FingerTest, ChunkedAnswerOnlyTheUserIsAsked) {
    server.answer = {"Login: bob", "\t\tName: Bob\r", "\nPlan:\n", "\r\nnone\r\n"};
    EXPECT_EQ(run("bob@127.0.0.1"),
              (QStringList{"Contacting bob@127.0.0.1", "Connected.", "Login: bob\t\tName: Bob",
                           "Plan:", "", "none", "Done.", ""}));
    EXPECT_EQ(server.queries, QList<QByteArray>{"bob\r\n"});
    EXPECT_EQ(buttons, (QStringList{"-C", "P-"}));

    server.answer = {"alice   pts/0\r\n", "bob     pts/1\r\n"};
    EXPECT_EQ(run("@127.0.0.1").mid(2, 2), (QStringList{"alice   pts/0", "bob     pts/1"}));
    EXPECT_EQ(server.queries.last(), "\r\n") << "an empty query lists the users";

    // More than one read's worth, and the close right behind it.
    server.answer = {(QByteArray(98, 'y') + "\r\n").repeated(300)};
    const QStringList lines = run("bob@127.0.0.1");
    ASSERT_EQ(lines.size(), 2 + 300 + 2);
    EXPECT_EQ(lines.mid(2, 300), QStringList(300, QString(98, u'y')));
}

TEST_F(FingerTest, UnusableAddressesAndAnswersThatEndBadly) {
    for (const char* invalid : {"bob", "bob@", "bob@   "})
        EXPECT_EQ(run(invalid), (QStringList{"Error - Host Invalid", ""})) << invalid;
    EXPECT_EQ(run("bob@no-such-host.invalid").value(1), "Error #11001");
    TFingerCli c;
    c.setQuery("bob@");
    try {
        c.StartQuery();
        ADD_FAILURE() << "a query without a host was started";
    } catch (const FingerException& e) {
        EXPECT_EQ(e.message(), "TFingerCli, Invalid Host in query: bob@");
    }
    EXPECT_FALSE(c.IsRunning());

    server.answer = {"partial\r\n"};
    server.end = FingerServer::End::Reset;
    EXPECT_EQ(run("bob@127.0.0.1"), (QStringList{"Contacting bob@127.0.0.1", "Connected.",
                                                 "partial", "Error #10054", "Done.", ""}));

    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    session->client().setPort(QString::number(closed.serverPort()));
    closed.close();
    EXPECT_EQ(run("bob@127.0.0.1"),
              (QStringList{"Contacting bob@127.0.0.1", "Error #10061", "Done.", ""}));
}

TEST_F(FingerTest, EndlessAnswerStopsAtOneMebibyte) {
    server.end = FingerServer::End::Endless;
    const QStringList lines = run("bob@127.0.0.1");
    // "start" and 65-byte lines: 1 MiB ends 54 bytes into line 16 132, and "Done."
    // follows as it does after any answer whose last line has no break.
    const qint64 full = (TFingerCli::MaxAnswerBytes - 7) / 65;
    ASSERT_EQ(lines.size(), 3 + full + 2);
    EXPECT_EQ(lines[2 + full], QString(63, u'z'));
    EXPECT_EQ(lines.last(2), (QStringList{QString(54, u'z') + "Done.", ""}));
    EXPECT_TRUE(serverSeesClose());
}

TEST_F(FingerTest, CancelledOrDestroyedMidAnswer) {
    server.answer = {"partial "};
    server.end = FingerServer::End::Silent;
    start("bob@127.0.0.1");
    ASSERT_TRUE(QTest::qWaitFor([&] { return box.lines.join('|').contains("partial"); }, kWait));
    session->cancel();
    ASSERT_TRUE(session->fingerEnabled());
    EXPECT_EQ(box.lines, (QStringList{"Contacting bob@127.0.0.1", "Connected.",
                                      "partial Error #10004", "Done.", ""}));

    // The window closes on a piece of the answer, inside the client's data event.
    server.end = FingerServer::End::Endless;
    QObject::connect(&session->output(), &ToolOutput::lastLineExtended, [this](const QString& t) {
        if (t.startsWith("zzz"))
            session.reset();
    });
    start("bob@127.0.0.1");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !session; }, kWait));
    EXPECT_TRUE(serverSeesClose());
}

constexpr int kShortStep = 300; // a step time-out for the cases that time out

const QStringList kLogin{"*** Start ***", "Connect request sent",
                         "User request sent (if timed out check user)",
                         "Pass request sent (if timed out check password)"};

const QMap<QByteArray, ScriptedPop3Server::Reply> kEmptyBox{
    {"USER bob", {"+OK\r\n"}},
    {"PASS secret", {"+OK\r\n"}},
    {"STAT", {"+OK 0 0\r\n"}},
    {"LIST", {"+OK\r\n.\r\n"}},
};

class Pop3CheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.listen());
        server.setReplies(kEmptyBox);
        settings.Port_Number = server.portText().toInt();
        QObject::connect(session.get(), &Pop3CheckSession::conversation,
                         [this](const QString& l) { conversation << l; });
    }
    void TearDown() override {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // Runs one check to its end; the lines it wrote.
    QStringList check(bool connected = true) {
        QSignalSpy finished(session.get(), &Pop3CheckSession::finished);
        session->check(&account, settings, connected);
        EXPECT_TRUE(!session->running() || finished.wait(kWait + 4 * kShortStep));
        return session->output().lines();
    }

    ScriptedPop3Server server;
    ScriptedPrompts prompts;
    std::unique_ptr<Pop3CheckSession> session = std::make_unique<Pop3CheckSession>(prompts);
    typSettings settings;
    typPOP3Information account{"127.0.0.1", "bob", "secret", true};
    QStringList conversation;
};

TEST_F(Pop3CheckTest, EmptyMailboxAfterTheQuestion) {
    session->check(nullptr, settings, true);
    prompts.answerNext(Prompts::Answer::No);
    EXPECT_TRUE(check(false).isEmpty());
    EXPECT_EQ(server.connectionCount(), 0);

    prompts.answerNext(Prompts::Answer::Yes);
    QStringList buttons;
    recordButtons(session.get(), &Pop3CheckSession::pop3Enabled, buttons);
    EXPECT_EQ(check(false), (kLogin + QStringList{"Stat OK", "You have no messages", "List OK",
                                                  "Quit OK", "*** Finish ***"}));
    EXPECT_EQ(session->caption(), "Output (No messages)");
    EXPECT_EQ(server.commands(),
              (QList<QByteArray>{"USER bob", "PASS secret", "STAT", "LIST", "QUIT"}));
    const QString question = "Are you sure you wish to continue as no dial up connection can be "
                             "detected?";
    EXPECT_EQ(prompts.texts(), (QStringList{"You must select a POP3 Entry from the list above "
                                            "before the POP3 results can be displayed.",
                                            question, question}));
    EXPECT_EQ(buttons.first() + buttons.last(), "-CP-");
    EXPECT_TRUE(conversation.contains("> PASS ****"));
    EXPECT_FALSE(conversation.join('\n').contains("secret"));
}

TEST_F(Pop3CheckTest, TwoMessagesWithAdditionalLines) {
    auto replies = kEmptyBox;
    replies["STAT"] = {"+OK 2 320\r\n"};
    replies["LIST"] = {"+OK\r\n1 120\r\n2 200\r\n.\r\n"};
    replies["TOP 1 30"] = {"+OK\r\nSubject: one\r\n\r\nbody\r\n.\r\n"};
    replies["TOP 2 30"] = {"+OK\r\nSubject: two\r\n..dotted\r\n.\r\n"};
    server.setReplies(replies);
    settings.Additional_Lines = 3;
    EXPECT_EQ(check(),
              (kLogin + QStringList{"Stat OK", "You have 2 messages", "List OK", "",
                                    "*** Message 1 begin ***", "Subject: one", "", "body",
                                    "*** Message 1 end ***", "", "", "*** Message 2 begin ***",
                                    "Subject: two", ".dotted", "*** Message 2 end ***", "",
                                    "Quit OK", "*** Finish ***"}));
    EXPECT_EQ(session->caption(), "Output (2 messages)");
    EXPECT_EQ(server.commands().mid(4, 2), (QList<QByteArray>{"TOP 1 30", "TOP 2 30"}));

    // The same client again, and this time STAT is refused: the last check's count must
    // not be taken for this one's.
    replies["STAT"] = {"-ERR mailbox locked\r\n"};
    server.setReplies(replies);
    EXPECT_EQ(check(), (kLogin + QStringList{"Stat OK", "List OK", "Quit OK", "*** Finish ***"}));
    EXPECT_FALSE(server.commands().mid(7).contains("TOP 1 30"));
    EXPECT_EQ(session->caption(), "Output");
}

TEST_F(Pop3CheckTest, StepsThatTimeOutAndNoSecondCheckMeanwhile) {
    session->setStepIntervalOverride(kShortStep);
    // After a time-out, Quit and its wait still run: a second check must wait for them.
    QObject::connect(&session->output(), &ToolOutput::lineAdded, [this](const QString& l) {
        if (l == "Request timed out")
            session->check(&account, settings, true);
    });
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    const int refusedPort = closed.serverPort();
    closed.close();
    const QStringList unanswered{"*** Start ***", "Connect request sent", "Request timed out"};
    const QStringList quit{"Quit OK", "*** Finish ***"};
    const struct {
        const char* what;
        QByteArray banner;
        int port;
        QStringList lines;
    } cases[] = {
        {"refused", "+OK\r\n", refusedPort, unanswered + quit},
        {"-ERR banner", "-ERR busy\r\n", 0, unanswered + quit},
        {"no banner", "", 0,
         unanswered + QStringList{"Quit failed (POP3 component not ready)", "*** Finish ***"}},
        {"wrong password", "+OK\r\n", -1, kLogin + QStringList{"Request timed out"} + quit},
    };
    for (const auto& c : cases) {
        server.setBanner(c.banner);
        server.setReplies(
            c.port < 0 ? QMap<QByteArray, ScriptedPop3Server::Reply>{{"USER bob", {"+OK\r\n"}}}
                       : kEmptyBox);
        settings.Port_Number = c.port > 0 ? c.port : server.portText().toInt();
        EXPECT_EQ(check(), c.lines) << c.what;
        EXPECT_TRUE(server.waitForAllClosed(kWait)) << c.what;
    }
    EXPECT_EQ(prompts.texts(), QStringList(4, "You must cancel the current POP3 request before "
                                              "checking the mail for another account."));
    EXPECT_EQ(server.connectionCount(), 3);
}

TEST_F(Pop3CheckTest, CancelWhileTheServerThinks) {
    server.setReplies({});
    server.setResponder([](const QByteArray& c) {
        return c == "QUIT" ? ScriptedPop3Server::Reply{"+OK\r\n", true}
                           : ScriptedPop3Server::Reply{};
    });
    QSignalSpy finished(session.get(), &Pop3CheckSession::finished);
    session->check(&account, settings, true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !server.commands().isEmpty(); }, kWait));
    EXPECT_TRUE(session->cancelEnabled());
    session->cancel();
    EXPECT_FALSE(session->cancelEnabled());
    ASSERT_TRUE(finished.wait(kWait));
    EXPECT_EQ(session->output().lines(), (QStringList{"*** Start ***", "Connect request sent",
                                                      "User request sent (if timed out check user)",
                                                      "Abort OK", "Quit OK", "*** Finish ***"}));
    EXPECT_TRUE(server.waitForAllClosed(kWait));
}

TEST_F(Pop3CheckTest, DestroyedMidCheck) {
    auto replies = kEmptyBox;
    replies["STAT"] = {"+OK 1 10\r\n"};
    replies["TOP 1 0"] = {"+OK\r\nSubject: x\r\n.\r\n"};
    server.setReplies(replies);
    // From inside the client's own event, as a window closing on that line would.
    QString caption;
    QObject::connect(&session->output(), &ToolOutput::lineAdded, [&](const QString& l) {
        if (l == "Subject: x") {
            caption = session->caption();
            session.reset();
        }
    });
    session->check(&account, settings, true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !session; }, kWait));
    EXPECT_EQ(caption, "Output (1 message)");
    EXPECT_TRUE(server.waitForAllClosed(kWait));

    // And from outside, while a step waits.
    server.setResponder([](const QByteArray&) { return ScriptedPop3Server::Reply{}; });
    session = std::make_unique<Pop3CheckSession>(prompts);
    const qsizetype before = server.commands().size();
    session->check(&account, settings, true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.commands().size() > before; }, kWait));
    session.reset();
    EXPECT_TRUE(server.waitForAllClosed(kWait));
}

} // namespace
