// The finger tool against a finger server on 127.0.0.1, and the output's line rules.
#include "tools/finger_session.h"

#include "core/records.h"
#include "finger_server.h"
#include "net/finger_client.h"
#include "scripted_prompts.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

constexpr int kWait = 10000;

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
        QObject::connect(session.get(), &FingerSession::buttonsChanged, [this] {
            buttons << QStringLiteral("%1%2").arg(session->fingerEnabled() ? "F" : "-",
                                                  session->cancelEnabled() ? "C" : "-");
        });
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
    EXPECT_EQ(buttons, (QStringList{"-C", "F-"}));

    server.answer = {"alice   pts/0\r\n", "bob     pts/1\r\n"};
    EXPECT_EQ(run("@127.0.0.1").mid(2, 2), (QStringList{"alice   pts/0", "bob     pts/1"}));
    EXPECT_EQ(server.queries.last(), "\r\n") << "an empty query lists the users";
}

TEST_F(FingerTest, UnusableAddressesAndAnswersThatEndBadly) {
    for (const char* invalid : {"bob", "bob@", "bob@   "}) {
        EXPECT_EQ(run(invalid), (QStringList{"Error - Host Invalid", ""})) << invalid;
        EXPECT_TRUE(session->fingerEnabled());
    }
    EXPECT_EQ(run("bob@no-such-host.invalid"),
              (QStringList{"Contacting bob@no-such-host.invalid", "Error #11001", "Done.", ""}));

    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    session->client().setPort(QString::number(closed.serverPort()));
    closed.close();
    EXPECT_EQ(run("bob@127.0.0.1"),
              (QStringList{"Contacting bob@127.0.0.1", "Error #10061", "Done.", ""}));
    EXPECT_TRUE(server.queries.isEmpty());
}

TEST(FingerClient, QueryChecks) {
    TFingerCli c;
    EXPECT_EQ(c.Port(), "finger");
    for (const QString query : {"bob", "bob@"}) {
        c.setQuery(query);
        EXPECT_THROW(c.StartQuery(), FingerException) << query.toStdString();
        EXPECT_FALSE(c.IsRunning());
    }
    try {
        c.StartQuery();
    } catch (const FingerException& e) {
        EXPECT_EQ(e.message(), "TFingerCli, Invalid Host in query: bob@");
    }
}

TEST_F(FingerTest, WholeAnswerBeforeTheServerHangsUp) {
    // More than one read's worth, and the close right behind it.
    const QByteArray line = QByteArray(98, 'y') + "\r\n";
    server.answer = {line.repeated(300)};
    const QStringList lines = run("bob@127.0.0.1");
    ASSERT_EQ(lines.size(), 2 + 300 + 2);
    EXPECT_EQ(lines.mid(2, 300), QStringList(300, QString(98, u'y')));
    EXPECT_EQ(lines.last(1), QStringList{""});
}

TEST_F(FingerTest, EndlessAnswerStopsAtOneMebibyte) {
    server.end = FingerServer::End::Endless;
    const QStringList lines = run("bob@127.0.0.1");
    // "start" and 65-byte lines: 1 MiB ends 54 bytes into line 16 132, and "Done."
    // follows as it does after any answer whose last line has no break.
    const qint64 full = (TFingerCli::MaxAnswerBytes - 7) / 65;
    ASSERT_EQ(lines.size(), 3 + full + 2);
    EXPECT_EQ(lines[2], "start");
    EXPECT_EQ(lines[2 + full], QString(63, u'z'));
    EXPECT_EQ(lines.last(2), (QStringList{QString(54, u'z') + "Done.", ""}));
    ASSERT_TRUE(server.last);
    EXPECT_TRUE(server.last->state() == QAbstractSocket::UnconnectedState ||
                server.last->waitForDisconnected(kWait));
}

TEST_F(FingerTest, CancelAndResetMidAnswer) {
    server.answer = {"partial "};
    server.end = FingerServer::End::Silent;
    start("bob@127.0.0.1");
    ASSERT_TRUE(QTest::qWaitFor([&] { return box.lines.join('|').contains("partial"); }, kWait));
    session->cancel();
    ASSERT_TRUE(session->fingerEnabled());
    EXPECT_EQ(box.lines, (QStringList{"Contacting bob@127.0.0.1", "Connected.",
                                      "partial Error #10004", "Done.", ""}));

    server.answer = {"partial\r\n"};
    server.end = FingerServer::End::Reset;
    const QStringList lines = run("bob@127.0.0.1");
    EXPECT_EQ(lines, (QStringList{"Contacting bob@127.0.0.1", "Connected.", "partial",
                                  "Error #10054", "Done.", ""}));
}

TEST_F(FingerTest, DestroyedMidQuery) {
    server.end = FingerServer::End::Endless;
    // The window closes on a piece of the answer, inside the client's data event.
    QObject::connect(&session->output(), &ToolOutput::lastLineExtended, [this](const QString& t) {
        if (t.startsWith("zzz"))
            session.reset();
    });
    start("bob@127.0.0.1");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !session; }, kWait));
    ASSERT_TRUE(server.last);
    EXPECT_TRUE(server.last->state() == QAbstractSocket::UnconnectedState ||
                server.last->waitForDisconnected(kWait));
}

} // namespace
