// ICMP echo: the packets on their own, then real sockets on loopback. The socket cases
// that need a private network run as a child of this program inside `unshare -n`.
#include "platform/icmp_echo_packet.h"
#include "platform/icmp_echo_socket.h"

#include <QCoreApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <gtest/gtest.h>

#include <grp.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using Kind = icmp::EchoOutcome::Kind;
constexpr int kWait = 10000;
constexpr quint16 kId = 0x1234;
constexpr quint16 kSeq = 7;
const QByteArray kData = QByteArray("VORN test data").leftJustified(56, ' ');

void setChecksum(QByteArray& message) {
    message[2] = message[3] = 0;
    const quint16 sum = icmp::checksum(message);
    message[2] = char(sum >> 8);
    message[3] = char(sum);
}

QByteArray echoReply(quint16 id, quint16 seq, const QByteArray& data = kData) {
    QByteArray m = icmp::buildEchoRequest(id, seq, data);
    m[0] = char(icmp::EchoReply);
    setChecksum(m);
    return m;
}

// An IPv4 header (with `optionWords` words of options) in front of an ICMP message.
QByteArray withIpHeader(const QByteArray& message, quint8 ttl = 64, int optionWords = 0) {
    QByteArray h(20 + 4 * optionWords, '\0');
    h[0] = char(0x40 | (5 + optionWords));
    h[1] = char(0x10); // type of service
    h[8] = char(ttl);
    h[9] = char(1); // ICMP
    h.replace(12, 8, QByteArray::fromHex("7f0000017f000001"));
    return h + message;
}

// An ICMP error quoting the IP header and the first eight bytes after it of `packet`.
QByteArray icmpError(quint8 type, quint8 code, const QByteArray& packet) {
    QByteArray m(8, '\0');
    m[0] = char(type);
    m[1] = char(code);
    m += packet.left((packet[0] & 0x0F) * 4 + 8);
    setChecksum(m);
    return m;
}

TEST(IcmpPacket, ChecksumRequestAndTheStatusOfEachError) {
    // RFC 1071's worked example, and an odd length padded with a zero byte.
    EXPECT_EQ(icmp::checksum(QByteArray::fromHex("0001f203f4f5f6f7")), 0x220d);
    EXPECT_EQ(icmp::checksum(QByteArray::fromHex("0001f203f4f5f6")), 0x2304);
    const QByteArray request = icmp::buildEchoRequest(kId, kSeq, kData);
    EXPECT_EQ(request.left(8).toHex(), "0800" + request.mid(2, 2).toHex() + "12340007");
    EXPECT_EQ(request.mid(8), kData);
    EXPECT_EQ(icmp::checksum(request), 0);
    // Those that readPacket's cases do not already show.
    const std::tuple<int, int, quint32> cases[] = {
        {3, 0, 11002},  {3, 2, 11004},  {3, 5, 11012}, {3, 6, 11002}, {3, 7, 11003},
        {3, 13, 11003}, {12, 0, 11015}, {4, 0, 11016}, {5, 0, 11050},
    };
    for (const auto& [type, code, status] : cases)
        EXPECT_EQ(icmp::statusOfError(quint8(type), quint8(code)), status) << type << "/" << code;
}

TEST(IcmpPacket, WhatAReceivedPacketMeans) {
    const QByteArray ours = icmp::buildEchoRequest(kId, kSeq, kData);
    const QByteArray sent = withIpHeader(ours);
    QByteArray damaged = echoReply(kId, kSeq);
    damaged[20] = char(damaged[20] ^ 1);
    struct Case {
        const char* what;
        QByteArray packet;
        icmp::Framing framing;
        Kind kind;
        quint32 status;
    };
    const auto ip = icmp::Framing::IpHeader;
    const auto bare = icmp::Framing::IcmpOnly;
    const Case cases[] = {
        {"reply, datagram socket", echoReply(kId, kSeq), bare, Kind::Reply, 0},
        {"reply, IP options", withIpHeader(echoReply(kId, kSeq), 64, 3), ip, Kind::Reply, 0},
        {"another identifier", echoReply(kId + 1, kSeq), bare, Kind::NotOurs, 0},
        {"an earlier sequence", echoReply(kId, kSeq - 1), bare, Kind::NotOurs, 0},
        {"bad checksum", damaged, bare, Kind::NotOurs, 0},
        {"our own request on loopback", sent, ip, Kind::NotOurs, 0},
        {"truncated", echoReply(kId, kSeq).left(6), bare, Kind::NotOurs, 0},
        {"not IPv4", echoReply(kId, kSeq).prepend(QByteArray(20, '\x60')), ip, Kind::NotOurs, 0},
        {"host unreachable", withIpHeader(icmpError(3, 1, sent)), ip, Kind::Error, 11003},
        {"port unreachable", icmpError(3, 3, sent), bare, Kind::Error, 11005},
        {"fragmentation needed", icmpError(3, 4, sent), bare, Kind::Error, 11009},
        {"TTL expired", withIpHeader(icmpError(11, 0, sent)), ip, Kind::Error, 11013},
        {"reassembly time", icmpError(11, 1, sent), bare, Kind::Error, 11014},
        {"error for someone else",
         withIpHeader(icmpError(3, 1, withIpHeader(icmp::buildEchoRequest(kId + 1, kSeq, kData)))),
         ip, Kind::NotOurs, 0},
        {"error quoting no request", icmpError(3, 1, withIpHeader(echoReply(kId, kSeq))), bare,
         Kind::NotOurs, 0},
    };
    for (const Case& c : cases) {
        const icmp::EchoOutcome o = icmp::readPacket(c.packet, c.framing, kId, kSeq);
        EXPECT_EQ(o.kind, c.kind) << c.what;
        EXPECT_EQ(o.status, c.status) << c.what;
        EXPECT_EQ(o.data, o.kind == Kind::Reply ? kData : QByteArray()) << c.what;
    }
    const icmp::EchoOutcome raw =
        icmp::readPacket(withIpHeader(echoReply(kId, kSeq), 57), ip, kId, kSeq);
    EXPECT_EQ(std::pair(raw.ttl, raw.tos), std::pair(quint8(57), quint8(0x10)));
}

// --- Real sockets --------------------------------------------------------------------

IcmpEchoReply echoOnce(IcmpEchoSocket& echo, const char* to = "127.0.0.1", int timeout = kWait) {
    QSignalSpy replied(&echo, &IcmpEcho::replied);
    EXPECT_TRUE(echo.send(QHostAddress(QString::fromLatin1(to)), kData, 64, timeout))
        << echo.openError().toStdString();
    EXPECT_EQ(replied.count(), 0) << "reported before send returned";
    if (!replied.wait(kWait + timeout))
        return {IcmpStatus::GeneralFailure, {}, 0, "no reply signal", 0, 0};
    EXPECT_EQ(replied.count(), 1);
    return replied.at(0).at(0).value<IcmpEchoReply>();
}

TEST(IcmpEchoSocket, RawLoopback) {
    IcmpEchoSocket echo({IcmpEchoSocket::Kind::Raw});
    if (!echo.open())
        GTEST_SKIP() << "no raw ICMP socket (needs root or CAP_NET_RAW): "
                     << echo.openError().toStdString();
    for (int i = 0; i < 2; ++i) { // the second echo must not take the first one's reply
        const IcmpEchoReply r = echoOnce(echo);
        EXPECT_EQ(r.status, IcmpStatus::Success);
        EXPECT_EQ(r.address, QHostAddress(QHostAddress::LocalHost));
        EXPECT_EQ(r.data, kData);
        EXPECT_GT(r.ttl, 0);
    }
}

// Runs one of the DISABLED_InPrivateNetwork cases in a child of this program inside a
// network namespace of its own, where the test may set what it needs.
void runInPrivateNetwork(const char* test) {
    if (geteuid() != 0)
        GTEST_SKIP() << "making a private network namespace needs root";
    const QString unshare = QStandardPaths::findExecutable("unshare");
    if (unshare.isEmpty())
        GTEST_SKIP() << "unshare (util-linux) is not installed";
    QProcess child;
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(
        unshare,
        {"--net", "--", QCoreApplication::applicationFilePath(), "--gtest_also_run_disabled_tests",
         QStringLiteral("--gtest_filter=DISABLED_InPrivateNetwork.%1").arg(QLatin1String(test))});
    ASSERT_TRUE(child.waitForFinished(120000));
    const QByteArray output = child.readAll();
    if (output.contains("unshare failed"))
        GTEST_SKIP() << "no private network namespace here: " << output.toStdString();
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
}

TEST(IcmpEchoSocket, RawTimeOutAndErrorsInPrivateNetwork) {
    runInPrivateNetwork("RawTimeOutAndErrors");
}
TEST(IcmpEchoSocket, DatagramAsOrdinaryUserInPrivateNetwork) {
    runInPrivateNetwork("DatagramAsOrdinaryUser");
}

// --- The cases that run inside the namespace ------------------------------------------

constexpr gid_t kNobody = 65534;

void writeSysctl(const char* name, const char* value) {
    QFile f(QStringLiteral("/proc/sys/net/ipv4/") + QLatin1String(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << name;
    ASSERT_GT(f.write(value), 0) << name;
}

void bringLoopbackUp() {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ifreq request{};
    qstrncpy(request.ifr_name, "lo", IFNAMSIZ);
    ASSERT_EQ(::ioctl(fd, SIOCGIFFLAGS, &request), 0);
    request.ifr_flags |= IFF_UP;
    ASSERT_EQ(::ioctl(fd, SIOCSIFFLAGS, &request), 0);
    ::close(fd);
}

void becomeNobody() {
    ASSERT_EQ(::setgroups(0, nullptr), 0);
    ASSERT_EQ(::setgid(kNobody), 0);
    ASSERT_EQ(::setuid(kNobody), 0);
    // Changing user makes the process undumpable, which the leak checker's tracer needs.
    ::prctl(PR_SET_DUMPABLE, 1);
}

// A raw socket that stands in for the network: it reads the requests going to loopback
// and answers them as a test wants. Opened while still root; it keeps working after.
class Responder {
public:
    Responder() : fd_(::socket(AF_INET, SOCK_RAW | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_ICMP)) {}
    ~Responder() { ::close(fd_); }
    bool isOpen() const { return fd_ >= 0; }

    // The next echo request seen (IP header first), within the bound.
    QByteArray nextRequest() {
        QByteArray found;
        (void)QTest::qWaitFor(
            [&] {
                char buffer[2048];
                for (ssize_t n; (n = ::recv(fd_, buffer, sizeof buffer, 0)) > 0;) {
                    const QByteArray packet(buffer, n);
                    if (quint8(packet.at((packet[0] & 0x0F) * 4)) == icmp::EchoRequest) {
                        found = packet;
                        return true;
                    }
                }
                return false;
            },
            kWait);
        return found;
    }
    void sendToLoopback(const QByteArray& message) {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ASSERT_GT(::sendto(fd_, message.constData(), message.size(), 0,
                           reinterpret_cast<sockaddr*>(&to), sizeof to),
                  0);
    }

private:
    int fd_;
};

// A number of the ICMP header of a packet that starts with its IP header.
quint16 icmpWord(const QByteArray& packet, int at) {
    const int i = (packet[0] & 0x0F) * 4 + at;
    return quint16(quint8(packet[i]) << 8 | quint8(packet[i + 1]));
}

TEST(DISABLED_InPrivateNetwork, RawTimeOutAndErrors) {
    ASSERT_NO_FATAL_FAILURE(bringLoopbackUp());
    // Nobody answers but the responder.
    ASSERT_NO_FATAL_FAILURE(writeSysctl("icmp_echo_ignore_all", "1"));
    IcmpEchoSocket echo({IcmpEchoSocket::Kind::Raw});
    EXPECT_EQ(echoOnce(echo, "127.0.0.1", 200).status, IcmpStatus::RequestTimedOut);

    // Someone else's reply and a stale one first: neither counts, the error that quotes
    // this very request does.
    Responder network;
    ASSERT_TRUE(network.isOpen());
    QSignalSpy replied(&echo, &IcmpEcho::replied);
    ASSERT_TRUE(echo.send(QHostAddress(QHostAddress::LocalHost), kData, 64, kWait));
    const QByteArray request = network.nextRequest();
    ASSERT_FALSE(request.isEmpty());
    const quint16 id = icmpWord(request, 4);
    const quint16 seq = icmpWord(request, 6);
    network.sendToLoopback(echoReply(id + 1, seq));
    network.sendToLoopback(echoReply(id, seq - 1));
    network.sendToLoopback(icmpError(icmp::TimeExceeded, 0, request));
    ASSERT_TRUE(replied.wait(kWait));
    EXPECT_EQ(replied.at(0).at(0).value<IcmpEchoReply>().status, IcmpStatus::TtlExpiredTransit);

    // Unreachable networks are known before anything is sent.
    ASSERT_TRUE(echo.send(QHostAddress("192.0.2.1"), kData, 64, kWait));
    ASSERT_TRUE(replied.wait(kWait));
    EXPECT_EQ(replied.at(1).at(0).value<IcmpEchoReply>().status,
              IcmpStatus::DestinationNetUnreachable);
}

TEST(DISABLED_InPrivateNetwork, DatagramAsOrdinaryUser) {
    ASSERT_NO_FATAL_FAILURE(bringLoopbackUp());
    ASSERT_NO_FATAL_FAILURE(writeSysctl("ping_group_range", "65534 65534"));
    ASSERT_NO_FATAL_FAILURE(writeSysctl("icmp_echo_ignore_all", "1"));
    Responder network;
    ASSERT_TRUE(network.isOpen());
    ASSERT_NO_FATAL_FAILURE(becomeNobody());
    IcmpEchoSocket rawOnly({IcmpEchoSocket::Kind::Raw});
    EXPECT_FALSE(rawOnly.open());
    EXPECT_EQ(rawOnly.openError(), "raw socket: Operation not permitted");

    // The responder answers the first echo and reports the second one's host unreachable.
    IcmpEchoSocket echo;
    QSignalSpy replied(&echo, &IcmpEcho::replied);
    for (const bool answer : {true, false}) {
        ASSERT_TRUE(echo.send(QHostAddress(QHostAddress::LocalHost), kData, 64, kWait));
        const QByteArray request = network.nextRequest();
        ASSERT_FALSE(request.isEmpty());
        network.sendToLoopback(answer ? echoReply(icmpWord(request, 4), icmpWord(request, 6))
                                      : icmpError(icmp::DestinationUnreachable, 1, request));
        ASSERT_TRUE(replied.wait(kWait));
    }
    EXPECT_EQ(echo.openedKind(), IcmpEchoSocket::Kind::Datagram);
    const auto ok = replied.at(0).at(0).value<IcmpEchoReply>();
    EXPECT_EQ(std::pair(ok.status, ok.data), std::pair(IcmpStatus::Success, kData));
    const auto error = replied.at(1).at(0).value<IcmpEchoReply>();
    EXPECT_EQ(error.status, IcmpStatus::DestinationHostUnreachable);
    EXPECT_EQ(error.address, QHostAddress(QHostAddress::LocalHost));
}

} // namespace
