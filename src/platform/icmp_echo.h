#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>

// The outcome of one echo, numbered the way the ping tool has always shown it: 0 is a
// reply to our request, anything else says why there was none.
namespace IcmpStatus {
constexpr quint32 Success = 0;
constexpr quint32 DestinationNetUnreachable = 11002;
constexpr quint32 DestinationHostUnreachable = 11003;
constexpr quint32 DestinationProtocolUnreachable = 11004;
constexpr quint32 DestinationPortUnreachable = 11005;
constexpr quint32 NoResources = 11006;
constexpr quint32 PacketTooBig = 11009;
constexpr quint32 RequestTimedOut = 11010;
constexpr quint32 BadRoute = 11012;
constexpr quint32 TtlExpiredTransit = 11013;
constexpr quint32 TtlExpiredReassembly = 11014;
constexpr quint32 ParameterProblem = 11015;
constexpr quint32 SourceQuench = 11016;
constexpr quint32 BadDestination = 11018;
constexpr quint32 GeneralFailure = 11050;
} // namespace IcmpStatus

struct IcmpEchoReply {
    quint32 status = IcmpStatus::Success;
    QHostAddress address;      // who answered: the destination, or the router that reported
    quint32 roundTripTime = 0; // ms
    QByteArray data;           // the data that came back (a success only)
    quint8 ttl = 0;            // of the reply's IP header, when known
    quint8 tos = 0;
};

// Sends ICMP echo requests to IPv4 hosts and reports what came of them, without ever
// blocking the caller. One echo at a time; the socket is opened by the first echo.
class IcmpEcho : public QObject {
    Q_OBJECT

public:
    static constexpr int DefaultDataSize = 56;
    static constexpr int DefaultTimeout = 4000; // ms
    static constexpr int DefaultTtl = 64;

    using QObject::QObject;

    // Opens the socket unless it is open. Returns false when no ICMP socket can be
    // opened; openError() then says why. Tried again at every call while it fails.
    virtual bool open() = 0;
    virtual QString openError() const = 0;

    // Starts one echo. Its outcome arrives as replied(), always from the event loop after
    // this has returned: a reply, an error reported by the network, or RequestTimedOut
    // once timeoutMs has passed (DefaultTimeout when not positive). An echo still
    // waiting is forgotten. Opens the socket first; returns false, with nothing to
    // follow, when that fails.
    virtual bool send(const QHostAddress& destination, const QByteArray& data, int ttl,
                      int timeoutMs) = 0;
    // Forgets the echo waiting, if any: no replied() for it.
    virtual void cancel() = 0;

Q_SIGNALS:
    void replied(const IcmpEchoReply& reply);
};
