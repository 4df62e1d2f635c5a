#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

// ICMP echo packets (RFC 792) built and read without a socket, so that every case a
// network may deliver can be tried on its own.
namespace icmp {

constexpr quint8 EchoReply = 0;
constexpr quint8 DestinationUnreachable = 3;
constexpr quint8 SourceQuench = 4;
constexpr quint8 EchoRequest = 8;
constexpr quint8 TimeExceeded = 11;
constexpr quint8 ParameterProblem = 12;
constexpr qsizetype HeaderSize = 8;

// The Internet checksum: 0 over a packet whose checksum field is right.
quint16 checksum(QByteArrayView bytes);

QByteArray buildEchoRequest(quint16 identifier, quint16 sequence, QByteArrayView data);

// How a socket hands over what it received.
enum class Framing {
    IpHeader, // raw socket: the IPv4 header, then the ICMP message
    IcmpOnly, // ICMP datagram socket: the ICMP message alone
};

// What a received packet means to the echo (identifier, sequence) being waited for.
struct EchoOutcome {
    enum class Kind {
        NotOurs, // someone else's, our own request seen on loopback, or damaged
        Reply,   // the echo came back
        Error,   // the network says why it will not
    };
    Kind kind = Kind::NotOurs;
    quint32 status = 0; // IcmpStatus code of an Error
    QByteArray data;    // what came back with a Reply
    quint8 ttl = 0;     // from the IP header, when there was one
    quint8 tos = 0;
};

EchoOutcome readPacket(QByteArrayView packet, Framing framing, quint16 identifier,
                       quint16 sequence);

// Whether the start of an ICMP message, as quoted back by an error, is our request.
bool isOurRequest(QByteArrayView icmpMessage, quint16 identifier, quint16 sequence);

// The IcmpStatus code of an ICMP error message.
quint32 statusOfError(quint8 type, quint8 code);

} // namespace icmp
