#include "tools/ping.h"

#include "net/wsocket.h"

#include <QPointer>

#include <algorithm>

namespace {

// The most data one IPv4 echo can carry.
constexpr int MaxSize = 65507 - 8;
const QByteArray RequestMark = QByteArrayLiteral("VORN ICMP echo request");

} // namespace

QString pingStatusText(quint32 status) {
    static const std::pair<quint32, const char*> texts[] = {
        {0, "No error"},
        {11001, "Buffer too small"},
        {11002, "Destination network unreachable"},
        {11003, "Destination host unreachable"},
        {11004, "Destination protocol unreachable"},
        {11005, "Destination port unreachable"},
        {11006, "No resources"},
        {11007, "Bad option"},
        {11008, "Hardware error"},
        {11009, "Packet too big"},
        {11010, "Request timed out"},
        {11011, "Bad request"},
        {11012, "Bad route"},
        {11013, "TTL expired in transit"},
        {11014, "TTL expired in reassembly"},
        {11015, "Parameter problem"},
        {11016, "Source quench"},
        {11017, "Option too big"},
        {11018, "Bad Destination"},
        {11019, "Address deleted"},
        {11020, "Spec MTU change"},
        {11021, "MTU change"},
        {11050, "General failure"},
        {11255, "Pending"},
    };
    for (const auto& [code, text] : texts) {
        if (code == status)
            return QString::fromLatin1(text);
    }
    return QStringLiteral("ICMP error #") + QString::number(status);
}

QString pingErrorLine(const QString& what) {
    return QStringLiteral("Error - ") + what;
}

TPing::TPing(std::unique_ptr<IcmpEcho> echo, QObject* parent)
    : QObject(parent), echo_(std::move(echo)), lookup_(new TWSocket(this)) {
    connect(lookup_, &TWSocket::OnDnsLookupDone, this, &TPing::OnDnsLookupDone);
    connect(echo_.get(), &IcmpEcho::replied, this, &TPing::echoReplied);
}

TPing::~TPing() {
    echo_->disconnect(this);
}

void TPing::setSize(int size) {
    size_ = std::clamp(size, 0, MaxSize);
}

const QString& TPing::DnsResult() const {
    return lookup_->DnsResult();
}

bool TPing::IsDnsLookupRunning() const {
    return lookup_->IsDnsLookupRunning();
}

void TPing::DnsLookup(const QString& host) {
    lookup_->DnsLookup(host);
}

void TPing::CancelDnsLookup() {
    lookup_->CancelDnsLookup();
}

QByteArray TPing::RequestData() const {
    QByteArray data(size_, ' ');
    std::copy_n(RequestMark.constData(), std::min<qsizetype>(size_, RequestMark.size()),
                data.data());
    return data;
}

bool TPing::Ping() {
    CancelEcho();
    QHostAddress target;
    if (!target.setAddress(address_.trimmed()) ||
        target.protocol() != QAbstractSocket::IPv4Protocol) {
        lastError_ = IcmpStatus::BadDestination;
        Q_EMIT OnDisplay(QStringLiteral("Invalid host address"));
        return false;
    }
    if (!echo_->open()) {
        lastError_ = IcmpStatus::GeneralFailure;
        Q_EMIT OnDisplay(
            pingErrorLine(QStringLiteral("Unable to get ping handle (") + echo_->openError() +
                          QStringLiteral("). To let every user ping: sudo sysctl -w "
                                         "net.ipv4.ping_group_range=\"0 2147483647\"")));
        return false;
    }
    QPointer<TPing> self(this);
    Q_EMIT OnEchoRequest();
    if (!self)
        return false;
    echoRunning_ = echo_->send(target, RequestData(), ttl_, timeout_);
    return echoRunning_;
}

void TPing::CancelEcho() {
    echoRunning_ = false;
    echo_->cancel();
}

void TPing::echoReplied(const IcmpEchoReply& reply) {
    echoRunning_ = false;
    reply_ = reply;
    lastError_ = reply.status;
    Q_EMIT OnEchoReply(reply.status == IcmpStatus::Success ? 1 : 0);
}
