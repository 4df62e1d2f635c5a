#include "platform/icmp_echo_socket.h"

#include "platform/icmp_echo_packet.h"

#include <QPointer>
#include <QRandomGenerator>
#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>

#include <linux/errqueue.h>
#include <linux/icmp.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Packets taken per wake-up, so that a flood of other people's ICMP cannot hold the
// event loop; the notifier wakes us again for the rest.
constexpr int MaxReadsPerWake = 64;
constexpr int ReceiveBufferSize = 65536;

quint32 statusOfErrno(int error) {
    switch (error) {
    case ENETUNREACH:
    case ENETDOWN:
        return IcmpStatus::DestinationNetUnreachable;
    case EHOSTUNREACH:
    case EHOSTDOWN:
        return IcmpStatus::DestinationHostUnreachable;
    case EMSGSIZE:
        return IcmpStatus::PacketTooBig;
    case ENOBUFS:
    case ENOMEM:
    case EAGAIN:
        return IcmpStatus::NoResources;
    default:
        return IcmpStatus::GeneralFailure;
    }
}

QHostAddress addressOf(const sockaddr_in& a) {
    return QHostAddress(ntohl(a.sin_addr.s_addr));
}

bool setOption(int fd, int level, int name, int value) {
    return ::setsockopt(fd, level, name, &value, sizeof value) == 0;
}

} // namespace

IcmpEchoSocket::IcmpEchoSocket(QList<Kind> kinds, QObject* parent)
    : IcmpEcho(parent), kinds_(std::move(kinds)) {
    timeout_.setSingleShot(true);
    connect(&timeout_, &QTimer::timeout, this,
            [this] { finish(IcmpStatus::RequestTimedOut, destination_); });
}

IcmpEchoSocket::~IcmpEchoSocket() {
    delete notifier_;
    if (fd_ >= 0)
        ::close(fd_);
}

bool IcmpEchoSocket::open() {
    if (fd_ >= 0)
        return true;
    // Tried again while it fails, so that a widened ping_group_range or a granted
    // capability works without a restart.
    QStringList reasons;
    for (const Kind kind : kinds_) {
        QString reason;
        if (openKind(kind, &reason)) {
            opened_ = kind;
            openError_.clear();
            notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
            connect(notifier_, &QSocketNotifier::activated, this, &IcmpEchoSocket::readAvailable);
            return true;
        }
        reasons << reason;
    }
    openError_ = reasons.isEmpty() ? QStringLiteral("no socket kind to try") : reasons.join(u"; ");
    return false;
}

bool IcmpEchoSocket::openKind(Kind kind, QString* error) {
    const bool datagram = kind == Kind::Datagram;
    const QString name =
        datagram ? QStringLiteral("ICMP datagram socket") : QStringLiteral("raw socket");
    const int fd = ::socket(
        AF_INET, (datagram ? SOCK_DGRAM : SOCK_RAW) | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_ICMP);
    if (fd < 0) {
        *error = name + QStringLiteral(": ") + qt_error_string(errno);
        return false;
    }
    bool ok = true;
    if (datagram) {
        // The kernel puts its own identifier (the socket's port) into every request and
        // hands us only replies carrying it; binding makes it known before the first echo.
        sockaddr_in local{};
        local.sin_family = AF_INET;
        socklen_t length = sizeof local;
        ok = ::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) == 0 &&
             ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length) == 0 &&
             setOption(fd, IPPROTO_IP, IP_RECVERR, 1) && setOption(fd, IPPROTO_IP, IP_RECVTTL, 1) &&
             setOption(fd, IPPROTO_IP, IP_RECVTOS, 1);
        identifier_ = ntohs(local.sin_port);
    } else {
        identifier_ = static_cast<quint16>(QRandomGenerator::global()->bounded(1, 0x10000));
        // A raw socket sees every ICMP message of the host; only these can concern us.
        icmp_filter filter{};
        filter.data =
            ~((1U << ICMP_ECHOREPLY) | (1U << ICMP_DEST_UNREACH) | (1U << ICMP_SOURCE_QUENCH) |
              (1U << ICMP_TIME_EXCEEDED) | (1U << ICMP_PARAMETERPROB));
        ok = ::setsockopt(fd, SOL_RAW, ICMP_FILTER, &filter, sizeof filter) == 0;
    }
    if (!ok) {
        *error = name + QStringLiteral(": ") + qt_error_string(errno);
        ::close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

bool IcmpEchoSocket::send(const QHostAddress& destination, const QByteArray& data, int ttl,
                          int timeoutMs) {
    cancel();
    if (!open())
        return false;
    ++sequence_;
    waiting_ = true;
    destination_ = destination;
    sentAt_.start();
    timeout_.start(timeoutMs > 0 ? timeoutMs : DefaultTimeout);

    bool ipv4 = false;
    const quint32 address = destination.toIPv4Address(&ipv4);
    if (!ipv4) {
        finishLater(IcmpStatus::BadDestination);
        return true;
    }
    setOption(fd_, IPPROTO_IP, IP_TTL, std::clamp(ttl, 1, 255));
    const QByteArray packet = icmp::buildEchoRequest(identifier_, sequence_, data);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(address);
    if (::sendto(fd_, packet.constData(), packet.size(), 0, reinterpret_cast<sockaddr*>(&to),
                 sizeof to) < 0)
        finishLater(statusOfErrno(errno));
    return true;
}

void IcmpEchoSocket::cancel() {
    waiting_ = false;
    ++echoSerial_;
    timeout_.stop();
}

void IcmpEchoSocket::finishLater(quint32 status) {
    const quint64 serial = echoSerial_;
    QMetaObject::invokeMethod(
        this,
        [this, serial, status] {
            if (waiting_ && serial == echoSerial_)
                finish(status, destination_);
        },
        Qt::QueuedConnection);
}

void IcmpEchoSocket::finish(quint32 status, const QHostAddress& from, const QByteArray& data,
                            quint8 ttl, quint8 tos) {
    IcmpEchoReply reply;
    reply.status = status;
    reply.address = from;
    reply.roundTripTime = static_cast<quint32>(sentAt_.elapsed());
    reply.data = data;
    reply.ttl = ttl;
    reply.tos = tos;
    cancel();
    Q_EMIT replied(reply);
}

void IcmpEchoSocket::readAvailable() {
    QPointer<IcmpEchoSocket> self(this);
    for (const bool errorQueue : {false, true}) {
        if (errorQueue && opened_ != Kind::Datagram)
            break;
        for (int i = 0; i < MaxReadsPerWake; ++i) {
            const bool more = readOne(errorQueue);
            if (!self)
                return;
            if (!more)
                break;
        }
    }
}

bool IcmpEchoSocket::readOne(bool errorQueue) {
    buffer_.resize(ReceiveBufferSize);
    sockaddr_in from{};
    iovec part{buffer_.data(), static_cast<size_t>(buffer_.size())};
    alignas(cmsghdr) char control[512];
    msghdr message{};
    message.msg_name = &from;
    message.msg_namelen = sizeof from;
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    const ssize_t n = ::recvmsg(fd_, &message, MSG_DONTWAIT | (errorQueue ? MSG_ERRQUEUE : 0));
    if (n < 0) // a pending socket error is taken by the call that reports it
        return errno != EAGAIN && errno != EWOULDBLOCK;
    if (!waiting_)
        return true;
    const QByteArrayView packet(buffer_.constData(), n);

    const sock_extended_err* error = nullptr;
    quint8 ttl = 0;
    quint8 tos = 0;
    for (cmsghdr* c = CMSG_FIRSTHDR(&message); c; c = CMSG_NXTHDR(&message, c)) {
        if (c->cmsg_level != IPPROTO_IP)
            continue;
        if (c->cmsg_type == IP_RECVERR)
            error = reinterpret_cast<const sock_extended_err*>(CMSG_DATA(c));
        else if (c->cmsg_type == IP_TTL)
            ttl = static_cast<quint8>(*reinterpret_cast<const int*>(CMSG_DATA(c)));
        else if (c->cmsg_type == IP_TOS)
            tos = *reinterpret_cast<const quint8*>(CMSG_DATA(c));
    }

    if (errorQueue) {
        // The queue hands back our own request as the error quoted it.
        if (!error || !icmp::isOurRequest(packet, identifier_, sequence_))
            return true;
        const auto* offender = reinterpret_cast<const sockaddr_in*>(SO_EE_OFFENDER(error));
        const QHostAddress reporter =
            offender->sin_family == AF_INET ? addressOf(*offender) : destination_;
        finish(error->ee_origin == SO_EE_ORIGIN_ICMP
                   ? icmp::statusOfError(error->ee_type, error->ee_code)
                   : statusOfErrno(static_cast<int>(error->ee_errno)),
               reporter);
        return true;
    }

    const icmp::Framing framing =
        opened_ == Kind::Raw ? icmp::Framing::IpHeader : icmp::Framing::IcmpOnly;
    const icmp::EchoOutcome outcome = icmp::readPacket(packet, framing, identifier_, sequence_);
    const QHostAddress source = addressOf(from);
    switch (outcome.kind) {
    case icmp::EchoOutcome::Kind::NotOurs:
        break;
    case icmp::EchoOutcome::Kind::Reply:
        // Our numbers from another host are a coincidence, not an answer.
        if (source == destination_) {
            finish(IcmpStatus::Success, source, outcome.data,
                   framing == icmp::Framing::IpHeader ? outcome.ttl : ttl,
                   framing == icmp::Framing::IpHeader ? outcome.tos : tos);
        }
        break;
    case icmp::EchoOutcome::Kind::Error:
        finish(outcome.status, source);
        break;
    }
    return true;
}
