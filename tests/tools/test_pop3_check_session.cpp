// The POP3 tool's check against the scripted POP3 server on 127.0.0.1.
#include "tools/pop3_check_session.h"

#include "core/records.h"
#include "core/settings.h"
#include "scripted_pop3_server.h"
#include "scripted_prompts.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

constexpr int kWait = 10000;
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
    QObject::connect(session.get(), &Pop3CheckSession::buttonsChanged, [&] {
        buttons << QStringLiteral("%1%2").arg(session->pop3Enabled() ? "P" : "-",
                                              session->cancelEnabled() ? "C" : "-");
    });
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
    EXPECT_EQ(buttons.first(), "-C");
    EXPECT_EQ(buttons.last(), "P-");
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
    EXPECT_EQ(server.commands(), (QList<QByteArray>{"USER bob", "PASS secret", "STAT", "LIST",
                                                    "TOP 1 30", "TOP 2 30", "QUIT"}));

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
    struct Case {
        const char* what;
        QByteArray banner;
        int port;
        QStringList lines;
    };
    const Case cases[] = {
        {"refused", "+OK\r\n", refusedPort, unanswered + QStringList{"Quit OK", "*** Finish ***"}},
        {"-ERR banner", "-ERR busy\r\n", 0, unanswered + QStringList{"Quit OK", "*** Finish ***"}},
        {"no banner", "", 0,
         unanswered + QStringList{"Quit failed (POP3 component not ready)", "*** Finish ***"}},
        {"wrong password", "+OK\r\n", -1,
         kLogin + QStringList{"Request timed out", "Quit OK", "*** Finish ***"}},
    };
    for (const Case& c : cases) {
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
    QStringList seen;
    QString caption;
    QObject::connect(&session->output(), &ToolOutput::lineAdded, [&](const QString& l) {
        if (l == "Subject: x") {
            seen = session->output().lines();
            caption = session->caption();
            session.reset();
        }
    });
    session->check(&account, settings, true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !session; }, kWait));
    EXPECT_TRUE(seen.contains("You have 1 message"));
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
