// TWSocket against servers on 127.0.0.1 (port 0) inside the test.
#include "net/wsocket.h"
#include "net_test.h"
#include "scripted_http_server.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

namespace {

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
    QString refused(const std::function<void()>& f) { return thrown<ESocketException>(f); }

    QTcpServer server;
    TWSocket s;
};

TEST(SocketErrors, TextsQtMappingAndPorts) {
    EXPECT_EQ(socketErrorText(11004), "No Data");
    EXPECT_EQ(socketErrorText(10010), "Not a WinSock error");
    EXPECT_EQ(socketErrorCode(QAbstractSocket::HostNotFoundError), 11001);
    EXPECT_EQ(socketErrorCode(QAbstractSocket::SocketTimeoutError), 10060);

    const std::pair<const char*, int> ports[] = {{" 8080 ", 8080}, {"pop3", 110}, {"FINGER", 79}};
    for (const auto& [text, port] : ports)
        EXPECT_EQ(resolvePort(text), port) << text;
    for (const char* bad : {"", "0", "65536", "99999999999", "12ab", "no-such-service"})
        EXPECT_FALSE(resolvePort(bad).has_value()) << bad;
}

TEST_F(WSocketTest, LookupsAndCancelIgnoringTheLateAnswer) {
    QSignalSpy done(&s, &TWSocket::OnDnsLookupDone);
    s.DnsLookup(" 127.0.0.1 ");
    ASSERT_EQ(done.count(), 1) << "a literal completes before the call returns";
    EXPECT_EQ(done.takeFirst().at(0).toInt(), 0);
    EXPECT_EQ(s.DnsResult(), "127.0.0.1");
    EXPECT_EQ(refused([&] { s.DnsLookup("  "); }), "DNS lookup: invalid host name.");

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
    EXPECT_EQ(refused([&] { u.Connect(); }), "Connect: No Port Specified");
    u.setPort("110");
    EXPECT_EQ(refused([&] { u.Connect(); }), "Connect: No IP Address Specified");
    s.setProto("");
    EXPECT_EQ(refused([&] { s.Connect(); }), "Connect: No Protocol Specified");
    s.setProto("udp");
    EXPECT_EQ(refused([&] { s.Connect(); }), "WSocketResolveProto: Cannot convert protocol 'udp'");
    s.setProto("tcp");
    const QString port = s.Port();
    s.setPort("nonsense");
    EXPECT_EQ(refused([&] { s.Connect(); }), "WSocketResolvePort: Cannot convert port 'nonsense'");
    EXPECT_EQ(s.State(), wsClosed);
    EXPECT_EQ(s.Send("x", 1), -1);
    EXPECT_EQ(s.LastError(), 10057);

    s.setPort(port);
    s.Connect();
    EXPECT_EQ(s.State(), wsConnecting);
    EXPECT_EQ(refused([&] { s.setAddr("x"); }), "Cannot change Addr if not closed");
    EXPECT_EQ(refused([&] { s.setPort("1"); }), "Cannot change Port if not closed");
    EXPECT_EQ(refused([&] { s.setProto("tcp"); }), "Cannot change Proto if not closed");
    EXPECT_EQ(refused([&] { s.Connect(); }), "Connect: Socket already in use");
    EXPECT_EQ(s.Addr(), "127.0.0.1");
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

// Data both ways; the peer's orderly close after data is delivered whole before the close
// (to a reader that takes a little at a time) and leaves no error; its reset is an error.
TEST_F(WSocketTest, ExchangesDataAndHearsTheEndOfEachConnection) {
    QList<std::pair<int, int>> states;
    QObject::connect(&s, &TWSocket::OnChangeState, [&](TSocketState from, TSocketState to) {
        states.append({from, to});
    });
    QByteArray received;
    qsizetype receivedAtClose = -1;
    QObject::connect(&s, &TWSocket::OnDataAvailable, [&](quint16) {
        char buffer[7];
        received.append(buffer, std::max<qint64>(s.Receive(buffer, sizeof buffer), 0));
    });
    QObject::connect(&s, &TWSocket::OnSessionClosed, [&] { receivedAtClose = received.size(); });
    QByteArray answer(20000, 'a');
    answer.back() = 'z';
    for (const bool reset : {false, true, false}) {
        received.clear();
        QSignalSpy sent(&s, &TWSocket::OnDataSent);
        QSignalSpy closed(&s, &TWSocket::OnSessionClosed);
        QTcpSocket* peer = connectPeer();
        ASSERT_NE(peer, nullptr);
        EXPECT_EQ(s.ReadCount() + s.RcvdCount(), 0) << "counted per connection";
        EXPECT_EQ(s.SendStr("hello\r\n"), 7);
        ASSERT_TRUE(sent.wait(kWait));
        ASSERT_TRUE(QTest::qWaitFor([&] { return peer->bytesAvailable() >= 7; }, kWait));
        EXPECT_EQ(peer->readAll(), "hello\r\n");
        if (reset) {
            resetConnection(peer);
        } else {
            peer->write(answer);
            peer->disconnectFromHost();
        }
        ASSERT_TRUE(closed.wait(kWait)) << reset;
        EXPECT_EQ(closed.at(0).at(0).toInt(), reset ? 10054 : 0);
        EXPECT_EQ(s.LastError(), reset ? 10054 : 0);
        EXPECT_EQ(s.State(), wsClosed);
        if (!reset) {
            EXPECT_EQ(receivedAtClose, answer.size());
            EXPECT_EQ(received, answer);
            EXPECT_EQ(s.ReadCount(), answer.size());
        }
    }
    EXPECT_EQ(states.mid(0, 3),
              (QList<std::pair<int, int>>{
                  {wsClosed, wsConnecting}, {wsConnecting, wsConnected}, {wsConnected, wsClosed}}));
}

// Our end: Close writes everything queued first, unless the peer stops reading; then it
// gives up after CloseTimeout, drops the rest, and the socket can be used again.
TEST_F(WSocketTest, CloseWritesWhatIsQueuedOrGivesUpOnAPeerThatStopsReading) {
    for (const bool reads : {true, false}) {
        QTcpSocket* peer = connectPeer();
        ASSERT_NE(peer, nullptr);
        QByteArray got;
        if (reads)
            QObject::connect(peer, &QTcpSocket::readyRead, [&] { got += peer->readAll(); });
        else
            peer->setReadBufferSize(1); // and never reads: the kernel buffers fill up
        QSignalSpy closed(&s, &TWSocket::OnSessionClosed);
        // Far more than the two kernel buffers between us hold, when nobody reads.
        const QByteArray big(reads ? 1 << 20 : 32 << 20, 'q');
        ASSERT_EQ(s.Send(big), big.size());
        s.setCloseTimeout(reads ? 10000 : 300);
        s.Close();
        EXPECT_EQ(s.Send("late", 4), -1) << "nothing more once closing";
        ASSERT_TRUE(QTest::qWaitFor([&] { return !closed.isEmpty(); }, kWait));
        EXPECT_EQ(closed.at(0).at(0).toInt(), reads ? 0 : 10060);
        EXPECT_TRUE(reads || s.LastError() == 10060) << s.LastError();
        EXPECT_EQ(s.BufferedByteCount(), 0);
        if (reads) {
            ASSERT_TRUE(waitUntilClosed(peer));
            EXPECT_EQ(got.size() + peer->readAll().size(), big.size());
        }
    }
    ASSERT_NE(connectPeer(), nullptr) << "the socket can be used again";
}

} // namespace
