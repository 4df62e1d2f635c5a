#include "platform/icmp_echo_packet.h"

#include "platform/icmp_echo.h"

namespace icmp {

namespace {

constexpr qsizetype MinIpHeader = 20;
constexpr quint8 IcmpProtocol = 1;

quint8 byteAt(QByteArrayView bytes, qsizetype i) {
    return static_cast<quint8>(bytes[i]);
}

quint16 word(QByteArrayView bytes, qsizetype i) {
    return static_cast<quint16>(byteAt(bytes, i) << 8 | byteAt(bytes, i + 1));
}

// The ICMP message inside an IPv4 packet, or empty when the header does not hold up.
QByteArrayView skipIpHeader(QByteArrayView packet, quint8* ttl = nullptr, quint8* tos = nullptr) {
    if (packet.size() < MinIpHeader || byteAt(packet, 0) >> 4 != 4)
        return {};
    const qsizetype headerSize = (byteAt(packet, 0) & 0x0F) * 4;
    if (headerSize < MinIpHeader || headerSize > packet.size() || byteAt(packet, 9) != IcmpProtocol)
        return {};
    if (ttl)
        *ttl = byteAt(packet, 8);
    if (tos)
        *tos = byteAt(packet, 1);
    return packet.sliced(headerSize);
}

} // namespace

quint16 checksum(QByteArrayView bytes) {
    quint32 sum = 0;
    qsizetype i = 0;
    for (; i + 1 < bytes.size(); i += 2)
        sum += word(bytes, i);
    if (i < bytes.size())
        sum += quint32(byteAt(bytes, i)) << 8;
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<quint16>(~sum);
}

QByteArray buildEchoRequest(quint16 identifier, quint16 sequence, QByteArrayView data) {
    QByteArray packet(HeaderSize, '\0');
    packet[0] = char(EchoRequest);
    packet[4] = char(identifier >> 8);
    packet[5] = char(identifier);
    packet[6] = char(sequence >> 8);
    packet[7] = char(sequence);
    packet.append(data);
    const quint16 sum = checksum(packet);
    packet[2] = char(sum >> 8);
    packet[3] = char(sum);
    return packet;
}

bool isOurRequest(QByteArrayView icmpMessage, quint16 identifier, quint16 sequence) {
    return icmpMessage.size() >= HeaderSize && byteAt(icmpMessage, 0) == EchoRequest &&
           word(icmpMessage, 4) == identifier && word(icmpMessage, 6) == sequence;
}

quint32 statusOfError(quint8 type, quint8 code) {
    using namespace IcmpStatus;
    switch (type) {
    case DestinationUnreachable:
        switch (code) {
        case 0:  // network
        case 6:  // network unknown
        case 9:  // network administratively prohibited
        case 11: // network unreachable for the type of service
            return DestinationNetUnreachable;
        case 2:
            return DestinationProtocolUnreachable;
        case 3:
            return DestinationPortUnreachable;
        case 4: // fragmentation needed but not allowed
            return PacketTooBig;
        case 5: // source route failed
            return BadRoute;
        default:
            return DestinationHostUnreachable;
        }
    case TimeExceeded:
        return code == 1 ? TtlExpiredReassembly : TtlExpiredTransit;
    case ParameterProblem:
        return IcmpStatus::ParameterProblem;
    case SourceQuench:
        return IcmpStatus::SourceQuench;
    default:
        return GeneralFailure;
    }
}

EchoOutcome readPacket(QByteArrayView packet, Framing framing, quint16 identifier,
                       quint16 sequence) {
    EchoOutcome outcome;
    const QByteArrayView message =
        framing == Framing::IpHeader ? skipIpHeader(packet, &outcome.ttl, &outcome.tos) : packet;
    if (message.size() < HeaderSize || checksum(message) != 0)
        return {};
    const quint8 type = byteAt(message, 0);
    switch (type) {
    case EchoReply:
        if (word(message, 4) != identifier || word(message, 6) != sequence)
            return {};
        outcome.kind = EchoOutcome::Kind::Reply;
        outcome.data = message.sliced(HeaderSize).toByteArray();
        return outcome;
    case DestinationUnreachable:
    case SourceQuench:
    case TimeExceeded:
    case ParameterProblem: {
        // The error quotes the IP header of our request and the start of its ICMP part.
        const QByteArrayView quoted = skipIpHeader(message.sliced(HeaderSize));
        if (!isOurRequest(quoted, identifier, sequence))
            return {};
        outcome.kind = EchoOutcome::Kind::Error;
        outcome.status = statusOfError(type, byteAt(message, 1));
        return outcome;
    }
    default:
        return {};
    }
}

} // namespace icmp
