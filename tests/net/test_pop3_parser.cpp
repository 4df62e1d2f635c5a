// The POP3 line handling and state machine, driven without a network.
#include "fake_pop3_client.h"
#include "net/line_splitter.h"
#include "pop3_event_log.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <limits>

namespace {

QList<QByteArray> feed(LineSplitter& splitter, const QByteArray& data, qsizetype chunk) {
    QList<QByteArray> lines;
    for (qsizetype at = 0; at < data.size() && !splitter.isJammed();) {
        at += splitter.append(data.constData() + at, std::min(chunk, data.size() - at));
        while (auto line = splitter.takeLine())
            lines.append(*line);
    }
    return lines;
}

template <typename F> QString thrownText(F&& f) {
    try {
        f();
    } catch (const Pop3Exception& e) {
        return e.message();
    }
    return QStringLiteral("(nothing thrown)");
}

} // namespace

TEST(LineSplitter, CutsAtCrLfOnlyWhateverTheChunking) {
    QByteArray data = "+OK a\r\nbare\nlf, lone \r cr\r\n\r\nx\r\r\n";
    QList<QByteArray> expected{"+OK a", "bare\nlf, lone \r cr", "", "x\r"};
    for (int i = 0; i < 3000; ++i) { // far more than the buffer holds
        expected << "line " + QByteArray::number(i);
        data += expected.back() + "\r\n";
    }
    for (qsizetype chunk : {1, 2, 7, 4095}) {
        LineSplitter s;
        EXPECT_EQ(feed(s, data + "tail", chunk), expected) << "chunk " << chunk;
        EXPECT_EQ(s.pending(), 4) << "the partial line waits for the next read";
    }
}

TEST(LineSplitter, LongestLineFitsOneByteMoreJams) {
    LineSplitter fits;
    const QByteArray longest(fits.maxLineLength(), 'a');
    EXPECT_EQ(longest.size(), 4093);
    EXPECT_EQ(feed(fits, longest + "\r\nnext\r\n", 100), (QList<QByteArray>{longest, "next"}));

    LineSplitter jams;
    EXPECT_TRUE(feed(jams, QByteArray(4094, 'a') + "\r\n", 100).isEmpty());
    EXPECT_TRUE(jams.isJammed());
    EXPECT_EQ(jams.append("more", 4), 0) << "a jammed buffer takes nothing more";
}

TEST(LineSplitter, LfModeForHeadersHandsBackTheBufferedBody) {
    LineSplitter s(8192, LineSplitter::LineEnd::Lf);
    EXPECT_EQ(feed(s, "HTTP/1.0 200 OK\r\nA: b\n\r\n<html>\r", 5),
              (QList<QByteArray>{"HTTP/1.0 200 OK", "A: b", ""}));
    EXPECT_EQ(s.takePending(), "<html>\r");
    EXPECT_EQ(s.pending(), 0);
}

TEST(Pop3Numbers, ReadsTwoNumbersOrNone) {
    constexpr qint64 max = std::numeric_limits<qint64>::max();
    const std::tuple<QByteArray, qint64, qint64> cases[] = {
        {"+OK 3 12345", 3, 12345},
        {"+OK", 0, 0},
        {"+OK 3", 0, 0},
        {"+OK 3 msgs (12 octets)", 0, 0},
        {"1   120 x", 1, 120},
        {"", 0, 0},
        {"+OK 99999999999999999999999 5", max, 5},
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
    EXPECT_EQ(thrownText([&] { c.User(); }), "POP3 component not connected");
    EXPECT_EQ(thrownText([&] { c.Stat(); }), "-ERR STAT command invalid now");
    EXPECT_EQ(c.ErrorMessage(), "-ERR STAT command invalid now");
    EXPECT_EQ(display, QStringList{"-ERR STAT command invalid now"});
    EXPECT_EQ(thrownText([&] { c.List(); }), "-ERR LIST command invalid now");
    EXPECT_EQ(thrownText([&] { c.Top(); }), "-ERR TOP command invalid now");
    EXPECT_EQ(thrownText([&] { c.Connect(); }), "DNS lookup: invalid host name.");
    EXPECT_EQ(c.State(), pop3Ready) << "a refused Connect leaves the client usable";

    c.setHost("mail.example.org");
    c.Connect();
    EXPECT_EQ(thrownText([&] { c.Quit(); }), "POP3 component not ready");
    c.Abort();
    c.openSession("+OK hi\r\n");
    EXPECT_EQ(thrownText([&] { c.Connect(); }), "POP3 component already connected");

    c.setUserName("bob\r\nDELE 1");
    EXPECT_EQ(thrownText([&] { c.User(); }), "Invalid character in POP3 command");
    c.setUserName("bob");
    c.User();
    EXPECT_EQ(thrownText([&] { c.Pass(); }), "POP3 component not ready") << "one at a time";
    c.receive("+OK\r\n");
    c.setPassWord(QStringLiteral(" p\u00e4ss\u20ac\u4e2d "));
    c.Pass();
    c.receive("+OK\r\n");
    EXPECT_EQ(thrownText([&] { c.User(); }), "-ERR USER command invalid now");
    EXPECT_EQ(thrownText([&] { c.Pass(); }), "-ERR PASS command invalid now");
    c.setMsgLines(-1);
    EXPECT_EQ(thrownText([&] { c.Top(); }), "Invalid MsgLines for TOP command");
    EXPECT_EQ(c.sent, "USER bob\r\nPASS p\xE4ss\x80?\r\n") << "in the program's code page";
}

// Closing mid-reply is left to the test against a real server.
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

    c.User();
    c.receive("+OK\r\n");
    c.Pass();
    c.receive("+OK\r\n");
    c.setMsgNum(7);
    c.List();
    c.receive("+OK 7 4096\r\n");
    EXPECT_EQ(std::make_pair(c.MsgNum(), c.MsgSize()), std::make_pair(7, qint64(4096)));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(log.take(), (QStringList{"done 1 0", "done 2 0", "done 6 0"}));
    EXPECT_EQ(c.sent, "USER bob\r\nUSER bob\r\nPASS \r\nLIST 7\r\n");
}
