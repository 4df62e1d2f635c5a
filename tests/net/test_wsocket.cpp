// TWSocket against servers on 127.0.0.1 (port 0) inside the test.
#include "net/wsocket.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <gtest/gtest.h>

namespace {

constexpr int kWait = 5000; // upper bound for anything that must happen

struct LocalServer {
    QTcpServer server;
    QList<QTcpSocket*> accepted;

    LocalServer() {
        EXPECT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* s = server.nextPendingConnection())
                accepted << s;
        });
    }
    QString port() const { return QString::number(server.serverPort()); }
    QTcpSocket* waitForClient() {
        (void)QTest::qWaitFor([this] { return !accepted.isEmpty(); }, kWait);
        return accepted.isEmpty() ? nullptr : accepted.takeFirst();
    }
};

template <typename F> QString thrownText(F&& f) {
    try {
        f();
    } catch (const ESocketException& e) {
        return e.message();
    }
    return QStringLiteral("(nothing thrown)");
}

void connectTo(TWSocket& s, const QString& port) {
    s.setAddr("127.0.0.1");
    s.setPort(port);
    QSignalSpy connected(&s, &TWSocket::OnSessionConnected);
    s.Connect();
    ASSERT_TRUE(connected.wait(kWait));
    ASSERT_EQ(connected.at(0).at(0).toInt(), 0);
}

} // namespace

TEST(SocketErrors, TextsAndQtMapping) {
    const std::pair<int, const char*> texts[] = {
        {0, "No Error"},
        {10004, "Interrupted system call"},
        {10061, "Connection refused"},
        {10091, "Network sub-system is unusable"},
        {11004, "No Data"},
        {10010, "Not a WinSock error"},
        {-1, "Not a WinSock error"},
    };
    for (const auto& [code, text] : texts)
        EXPECT_EQ(socketErrorText(code), QString::fromLatin1(text)) << code;
    EXPECT_EQ(socketErrorCode(QAbstractSocket::ConnectionRefusedError), 10061);
    EXPECT_EQ(socketErrorCode(QAbstractSocket::HostNotFoundError), 11001);
    EXPECT_EQ(socketErrorCode(QAbstractSocket::SocketTimeoutError), 10060);
}

TEST(SocketPorts, NumbersAndServiceNames) {
    EXPECT_EQ(resolvePort("110"), 110);
    EXPECT_EQ(resolvePort(" 8080 "), 8080);
    EXPECT_EQ(resolvePort("pop3"), 110);
    EXPECT_EQ(resolvePort("FINGER"), 79);
    EXPECT_EQ(resolvePort("http"), 80);
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

TEST(WSocket, PropertyGuardsAndConnectMisuse) {
    TWSocket s;
    EXPECT_EQ(thrownText([&] { s.Connect(); }), "Connect: No Port Specified");
    s.setPort("110");
    EXPECT_EQ(thrownText([&] { s.Connect(); }), "Connect: No IP Address Specified");
    s.setAddr("127.0.0.1");
    s.setProto("");
    EXPECT_EQ(thrownText([&] { s.Connect(); }), "Connect: No Protocol Specified");
    s.setProto("udp");
    EXPECT_EQ(thrownText([&] { s.Connect(); }),
              "WSocketResolveProto: Cannot convert protocol 'udp'");
    s.setProto("tcp");
    s.setPort("nonsense");
    EXPECT_EQ(thrownText([&] { s.Connect(); }),
              "WSocketResolvePort: Cannot convert port 'nonsense'");
    EXPECT_EQ(s.State(), wsClosed);
    EXPECT_EQ(s.Send("x", 1), -1);
    EXPECT_EQ(s.LastError(), 10057);

    LocalServer server;
    s.setPort(server.port());
    s.Connect();
    EXPECT_EQ(s.State(), wsConnecting);
    EXPECT_EQ(thrownText([&] { s.setAddr("x"); }), "Cannot change Addr if not closed");
    EXPECT_EQ(thrownText([&] { s.setPort("1"); }), "Cannot change Port if not closed");
    EXPECT_EQ(thrownText([&] { s.setProto("tcp"); }), "Cannot change Proto if not closed");
    EXPECT_EQ(thrownText([&] { s.Connect(); }), "Connect: Socket already in use");
    EXPECT_EQ(s.Addr(), "127.0.0.1");
}

TEST(WSocket, ConnectsExchangesDataHearsThePeerCloseAndConnectsAgain) {
    LocalServer server;
    TWSocket s;
    QList<std::pair<int, int>> states;
    QObject::connect(&s, &TWSocket::OnChangeState, [&](TSocketState from, TSocketState to) {
        states.append({from, to});
    });
    QByteArray received;
    QObject::connect(&s, &TWSocket::OnDataAvailable, [&](quint16) {
        char buffer[3];
        qint64 n;
        while ((n = s.Receive(buffer, sizeof buffer)) > 0)
            received.append(buffer, n);
    });
    QSignalSpy connected(&s, &TWSocket::OnSessionConnected);
    QSignalSpy sent(&s, &TWSocket::OnDataSent);
    QSignalSpy closed(&s, &TWSocket::OnSessionClosed);

    s.setAddr("127.0.0.1");
    s.setPort(server.port());
    s.Connect();
    EXPECT_EQ(connected.count(), 0) << "reported from the event loop only";
    ASSERT_TRUE(connected.wait(kWait));
    EXPECT_EQ(connected.at(0).at(0).toInt(), 0);
    QTcpSocket* peer = server.waitForClient();
    ASSERT_NE(peer, nullptr);

    EXPECT_EQ(s.SendStr("hello\r\n"), 7);
    ASSERT_TRUE(sent.wait(kWait));
    ASSERT_TRUE(QTest::qWaitFor([&] { return peer->bytesAvailable() >= 7; }, kWait));
    EXPECT_EQ(peer->readAll(), "hello\r\n");

    peer->write("world, and more");
    ASSERT_TRUE(QTest::qWaitFor([&] { return received.size() == 15; }, kWait));
    EXPECT_EQ(received, "world, and more");
    EXPECT_EQ(s.ReadCount(), 15);

    peer->disconnectFromHost();
    ASSERT_TRUE(closed.wait(kWait));
    EXPECT_EQ(closed.at(0).at(0).toInt(), 0);
    EXPECT_EQ(s.State(), wsClosed);
    EXPECT_EQ(states,
              (QList<std::pair<int, int>>{
                  {wsClosed, wsConnecting}, {wsConnecting, wsConnected}, {wsConnected, wsClosed}}));

    connectTo(s, server.port());
    EXPECT_EQ(s.State(), wsConnected);
    EXPECT_EQ(s.ReadCount(), 0) << "counted per connection";
}

TEST(WSocket, AbortEndsAtOnceWhileConnectingOrConnected) {
    LocalServer server;
    TWSocket s;
    QSignalSpy connected(&s, &TWSocket::OnSessionConnected);
    QSignalSpy closed(&s, &TWSocket::OnSessionClosed);
    s.setAddr("127.0.0.1");
    s.setPort(server.port());
    s.Connect();
    s.Abort();
    ASSERT_EQ(closed.count(), 1);
    EXPECT_EQ(closed.takeFirst().at(0).toInt(), 10004);
    EXPECT_EQ(s.State(), wsClosed);
    EXPECT_FALSE(connected.wait(200)) << "an aborted attempt never reports a connection";

    LocalServer second; // the aborted attempt may have reached the first one
    connectTo(s, second.port());
    QTcpSocket* peer = second.waitForClient();
    ASSERT_NE(peer, nullptr);
    s.SendStr("queued but dropped");
    s.Abort();
    ASSERT_EQ(closed.count(), 1);
    EXPECT_EQ(closed.at(0).at(0).toInt(), 10004);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return peer->state() == QAbstractSocket::UnconnectedState; }, kWait));
}

TEST(WSocket, CloseWritesEverythingQueuedFirst) {
    LocalServer server;
    TWSocket s;
    connectTo(s, server.port());
    QTcpSocket* peer = server.waitForClient();
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
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return peer->state() == QAbstractSocket::UnconnectedState; }, kWait));
    got += peer->readAll();
    EXPECT_EQ(got.size(), big.size());
}

TEST(WSocket, AHandlerThatReadsOnlyPartHearsAboutTheRest) {
    LocalServer server;
    TWSocket s;
    qint64 total = 0;
    int events = 0;
    QObject::connect(&s, &TWSocket::OnDataAvailable, [&](quint16) {
        ++events;
        char buffer[100];
        const qint64 n = s.Receive(buffer, sizeof buffer);
        total += std::max<qint64>(n, 0);
    });
    connectTo(s, server.port());
    QTcpSocket* peer = server.waitForClient();
    ASSERT_NE(peer, nullptr);
    peer->write(QByteArray(10000, 'q'));
    ASSERT_TRUE(QTest::qWaitFor([&] { return total == 10000; }, kWait));
    EXPECT_GE(events, 100);
    EXPECT_EQ(s.RcvdCount(), 0);
}
