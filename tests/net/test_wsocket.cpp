// TWSocket against servers on 127.0.0.1 (port 0) inside the test.
#include "net/wsocket.h"
#include "scripted_http_server.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <gtest/gtest.h>

namespace {

constexpr int kWait = 5000; // upper bound for anything that must happen

template <typename F> QString thrownText(F&& f) {
    try {
        f();
    } catch (const ESocketException& e) {
        return e.message();
    }
    return "(nothing thrown)";
}

bool waitUntilClosed(QTcpSocket* peer) {
    return QTest::qWaitFor([&] { return peer->state() == QAbstractSocket::UnconnectedState; },
                           kWait);
}

// A socket and a local server that keeps what it accepts.
class WSocketTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        s.setAddr("127.0.0.1");
        s.setPort(QString::number(server.serverPort()));
    }
    // Connects s and returns the server's end.
    QTcpSocket* connectPeer() {
        QSignalSpy connected(&s, &TWSocket::OnSessionConnected);
        s.Connect();
        EXPECT_EQ(connected.count(), 0) << "reported from the event loop only";
        EXPECT_TRUE(connected.wait(kWait));
        EXPECT_EQ(connected.value(0).value(0).toInt(), 0);
        EXPECT_TRUE(server.hasPendingConnections() || server.waitForNewConnection(kWait));
        return server.nextPendingConnection();
    }

    QTcpServer server;
    TWSocket s;
};

TEST(SocketErrors, TextsQtMappingAndPorts) {
    const std::pair<int, const char*> texts[] = {{0, "No Error"},
                                                 {10004, "Interrupted system call"},
                                                 {10061, "Connection refused"},
                                                 {10091, "Network sub-system is unusable"},
                                                 {11004, "No Data"},
                                                 {10010, "Not a WinSock error"},
                                                 {-1, "Not a WinSock error"}};
    for (const auto& [code, text] : texts)
        EXPECT_EQ(socketErrorText(code), QString::fromLatin1(text)) << code;
    EXPECT_EQ(socketErrorCode(QAbstractSocket::ConnectionRefusedError), 10061);
    EXPECT_EQ(socketErrorCode(QAbstractSocket::HostNotFoundError), 11001);
    EXPECT_EQ(socketErrorCode(QAbstractSocket::SocketTimeoutError), 10060);

    const std::pair<const char*, int> ports[] = {
        {"110", 110}, {" 8080 ", 8080}, {"pop3", 110}, {"FINGER", 79}, {"http", 80}};
    for (const auto& [text, port] : ports)
        EXPECT_EQ(resolvePort(text), port) << text;
    for (const char* bad : {"", "0", "65536", "99999999999", "12ab", "no-such-service"})
        EXPECT_FALSE(resolvePort(bad).has_value()) << bad;
}

TEST(WSocket, LookupsAndCancelIgnoringTheLateAnswer) {
    TWSocket s;
    QSignalSpy done(&s, &TWSocket::OnDnsLookupDone);
    s.DnsLookup(" 127.0.0.1 ");
    ASSERT_EQ(done.count(), 1) << "a literal completes before the call returns";
    EXPECT_EQ(done.takeFirst().at(0).toInt(), 0);
    EXPECT_EQ(s.DnsResult(), "127.0.0.1");
    EXPECT_EQ(thrownText([&] { s.DnsLookup("  "); }), "DNS lookup: invalid host name.");

    s.DnsLookup("localhost");
    ASSERT_TRUE(done.wait(kWait));
    EXPECT_EQ(done.takeFirst().at(0).toInt(), 0);
    EXPECT_EQ(s.DnsResult(), "127.0.0.1") << "IPv4 first";

    // The name is cached now, so Qt answers even after the abort: it must not count.
    s.DnsLookup("localhost");
    s.CancelDnsLookup();
    ASSERT_EQ(done.count(), 1);
    EXPECT_EQ(done.takeFirst().at(0).toInt(), 10004);
    s.CancelDnsLookup(); // nothing running: no second report
    s.DnsLookup("localhost");
    ASSERT_TRUE(done.wait(kWait));
    EXPECT_FALSE(done.wait(200)) << "exactly one answer for the live lookup";
    ASSERT_EQ(done.count(), 1);
    EXPECT_EQ(done.at(0).at(0).toInt(), 0);
}

TEST_F(WSocketTest, PropertyGuardsAndConnectMisuse) {
    TWSocket u;
    EXPECT_EQ(thrownText([&] { u.Connect(); }), "Connect: No Port Specified");
    u.setPort("110");
    EXPECT_EQ(thrownText([&] { u.Connect(); }), "Connect: No IP Address Specified");
    s.setProto("");
    EXPECT_EQ(thrownText([&] { s.Connect(); }), "Connect: No Protocol Specified");
    s.setProto("udp");
    EXPECT_EQ(thrownText([&] { s.Connect(); }),
              "WSocketResolveProto: Cannot convert protocol 'udp'");
    s.setProto("tcp");
    const QString port = s.Port();
    s.setPort("nonsense");
    EXPECT_EQ(thrownText([&] { s.Connect(); }),
              "WSocketResolvePort: Cannot convert port 'nonsense'");
    EXPECT_EQ(s.State(), wsClosed);
    EXPECT_EQ(s.Send("x", 1), -1);
    EXPECT_EQ(s.LastError(), 10057);

    s.setPort(port);
    s.Connect();
    EXPECT_EQ(s.State(), wsConnecting);
    EXPECT_EQ(thrownText([&] { s.setAddr("x"); }), "Cannot change Addr if not closed");
    EXPECT_EQ(thrownText([&] { s.setPort("1"); }), "Cannot change Port if not closed");
    EXPECT_EQ(thrownText([&] { s.setProto("tcp"); }), "Cannot change Proto if not closed");
    EXPECT_EQ(thrownText([&] { s.Connect(); }), "Connect: Socket already in use");
    EXPECT_EQ(s.Addr(), "127.0.0.1");
}

TEST_F(WSocketTest, ExchangesDataHearsThePeerCloseAndConnectsAgain) {
    QList<std::pair<int, int>> states;
    QObject::connect(&s, &TWSocket::OnChangeState, [&](TSocketState from, TSocketState to) {
        states.append({from, to});
    });
    // A handler that takes only part of what came must hear about the rest.
    QByteArray received;
    QObject::connect(&s, &TWSocket::OnDataAvailable, [&](quint16) {
        char buffer[3];
        received.append(buffer, std::max<qint64>(s.Receive(buffer, sizeof buffer), 0));
    });
    QSignalSpy sent(&s, &TWSocket::OnDataSent);
    QSignalSpy closed(&s, &TWSocket::OnSessionClosed);
    QTcpSocket* peer = connectPeer();
    ASSERT_NE(peer, nullptr);

    EXPECT_EQ(s.SendStr("hello\r\n"), 7);
    ASSERT_TRUE(sent.wait(kWait));
    ASSERT_TRUE(QTest::qWaitFor([&] { return peer->bytesAvailable() >= 7; }, kWait));
    EXPECT_EQ(peer->readAll(), "hello\r\n");

    peer->write("world, and more");
    ASSERT_TRUE(QTest::qWaitFor([&] { return received.size() == 15; }, kWait));
    EXPECT_EQ(received, "world, and more");
    EXPECT_EQ(s.ReadCount(), 15);
    EXPECT_EQ(s.RcvdCount(), 0);

    peer->disconnectFromHost();
    ASSERT_TRUE(closed.wait(kWait));
    EXPECT_EQ(closed.at(0).at(0).toInt(), 0);
    EXPECT_EQ(s.State(), wsClosed);
    EXPECT_EQ(states,
              (QList<std::pair<int, int>>{
                  {wsClosed, wsConnecting}, {wsConnecting, wsConnected}, {wsConnected, wsClosed}}));

    ASSERT_NE(connectPeer(), nullptr);
    EXPECT_EQ(s.State(), wsConnected);
    EXPECT_EQ(s.ReadCount(), 0) << "counted per connection";
}

TEST_F(WSocketTest, AbortEndsAtOnceWhileConnectingOrConnected) {
    QSignalSpy connected(&s, &TWSocket::OnSessionConnected);
    QSignalSpy closed(&s, &TWSocket::OnSessionClosed);
    s.Connect();
    s.Abort();
    ASSERT_EQ(closed.count(), 1);
    EXPECT_EQ(closed.takeFirst().at(0).toInt(), 10004);
    EXPECT_EQ(s.State(), wsClosed);
    EXPECT_FALSE(connected.wait(200)) << "an aborted attempt never reports a connection";

    server.close(); // the aborted attempt may have got through to it
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    s.setPort(QString::number(server.serverPort()));
    QTcpSocket* peer = connectPeer();
    ASSERT_NE(peer, nullptr);
    s.SendStr("queued but dropped");
    s.Abort();
    ASSERT_EQ(closed.count(), 1);
    EXPECT_EQ(closed.at(0).at(0).toInt(), 10004);
    EXPECT_TRUE(waitUntilClosed(peer));
}

TEST_F(WSocketTest, CloseWritesEverythingQueuedFirst) {
    QTcpSocket* peer = connectPeer();
    ASSERT_NE(peer, nullptr);
    QByteArray got;
    QObject::connect(peer, &QTcpSocket::readyRead, [&] { got += peer->readAll(); });
    QSignalSpy closed(&s, &TWSocket::OnSessionClosed);

    const QByteArray big(1 << 20, 'z');
    EXPECT_EQ(s.Send(big), big.size());
    s.Close();
    EXPECT_EQ(s.Send("late", 4), -1) << "nothing more once closing";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !closed.isEmpty(); }, kWait));
    EXPECT_EQ(closed.at(0).at(0).toInt(), 0);
    ASSERT_TRUE(waitUntilClosed(peer));
    EXPECT_EQ(got.size() + peer->readAll().size(), big.size());
}

TEST_F(WSocketTest, DataThenAnImmediateCloseIsDeliveredWholeBeforeTheClose) {
    // A reader that takes 8 KiB per event, as the finger and HTTP clients do.
    QByteArray received;
    qsizetype receivedAtClose = -1;
    QObject::connect(&s, &TWSocket::OnDataAvailable, [&](quint16) {
        char buffer[8192];
        received.append(buffer, std::max<qint64>(s.Receive(buffer, sizeof buffer), 0));
    });
    QSignalSpy closed(&s, &TWSocket::OnSessionClosed);
    QObject::connect(&s, &TWSocket::OnSessionClosed, [&] { receivedAtClose = received.size(); });
    QTcpSocket* peer = connectPeer();
    ASSERT_NE(peer, nullptr);
    QByteArray answer(20000, 'a');
    answer.back() = 'z';
    peer->write(answer);
    peer->disconnectFromHost();
    ASSERT_TRUE(closed.wait(kWait));
    EXPECT_EQ(receivedAtClose, answer.size());
    EXPECT_EQ(received, answer);
    EXPECT_EQ(closed.at(0).at(0).toInt(), 0);
    EXPECT_EQ(s.LastError(), 0) << "an orderly end leaves no error behind";
}

TEST_F(WSocketTest, AResetIsAnErrorAnOrderlyCloseIsNot) {
    for (const bool reset : {false, true, false}) {
        QSignalSpy closed(&s, &TWSocket::OnSessionClosed);
        QTcpSocket* peer = connectPeer();
        ASSERT_NE(peer, nullptr);
        if (reset)
            resetConnection(peer);
        else
            peer->disconnectFromHost();
        ASSERT_TRUE(closed.wait(kWait)) << reset;
        EXPECT_EQ(closed.at(0).at(0).toInt(), reset ? 10054 : 0);
        EXPECT_EQ(s.LastError(), reset ? 10054 : 0);
        EXPECT_EQ(s.State(), wsClosed);
    }
}

TEST_F(WSocketTest, CloseGivesUpOnAPeerThatStopsReading) {
    QTcpSocket* peer = connectPeer();
    ASSERT_NE(peer, nullptr);
    peer->setReadBufferSize(1); // and never reads: the kernel buffers fill up
    QSignalSpy closed(&s, &TWSocket::OnSessionClosed);
    // Far more than the two kernel buffers between us hold.
    const QByteArray big(32 << 20, 'q');
    ASSERT_EQ(s.Send(big), big.size());
    s.setCloseTimeout(300);
    s.Close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !closed.isEmpty(); }, kWait));
    EXPECT_EQ(closed.at(0).at(0).toInt(), 10060);
    EXPECT_EQ(s.LastError(), 10060);
    EXPECT_EQ(s.BufferedByteCount(), 0) << "what could not be written is dropped";
    ASSERT_NE(connectPeer(), nullptr) << "the socket can be used again";
}

} // namespace
