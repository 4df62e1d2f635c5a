#pragma once

#include "platform/icmp_echo.h"

#include <QObject>
#include <QString>

#include <memory>

class TWSocket;

// The text the ping tool shows for an echo's status code.
QString pingStatusText(quint32 status);
// The line the ping tool writes for a failure.
QString pingErrorLine(const QString& what);

// The ping component: looks a host up without blocking, then sends echoes to the address
// found, one at a time, through the ICMP echo service it owns.
//
// Events: OnDnsLookupDone(error) ends every lookup (at once for a dotted address, before
// DnsLookup returns; WSAEINTR when cancelled). OnEchoRequest fires as an echo goes out;
// OnEchoReply(replies) follows from the event loop, replies being 1 when the echo came
// back (Reply() holds it) and 0 when it did not (LastError() says why). OnDisplay(text)
// carries what the tool should write as a line when an echo cannot even start.
class TPing : public QObject {
    Q_OBJECT

public:
    explicit TPing(std::unique_ptr<IcmpEcho> echo, QObject* parent = nullptr);
    ~TPing() override;

    // The target of Ping: a dotted IPv4 address.
    const QString& Address() const { return address_; }
    void setAddress(const QString& address) { address_ = address; }
    int Size() const { return size_; } // data bytes per echo
    void setSize(int size);
    int Timeout() const { return timeout_; } // ms
    void setTimeout(int ms) { timeout_ = ms; }
    int TTL() const { return ttl_; }
    void setTTL(int ttl) { ttl_ = ttl; }

    // The address found by the last lookup.
    const QString& DnsResult() const;
    const IcmpEchoReply& Reply() const { return reply_; }
    quint32 LastError() const { return lastError_; }
    bool IsDnsLookupRunning() const;
    bool IsEchoRunning() const { return echoRunning_; }

    // Throws ESocketException for an empty host name.
    void DnsLookup(const QString& host);
    void CancelDnsLookup();

    // Sends one echo to Address. Returns false when it cannot start (an address that is
    // not IPv4, no ICMP socket): OnDisplay has said why and no OnEchoReply follows.
    bool Ping();
    // Forgets the echo under way: no OnEchoReply for it.
    void CancelEcho();

    // The data of every request: Size bytes of spaces with the program's mark in front.
    QByteArray RequestData() const;

Q_SIGNALS:
    void OnDnsLookupDone(quint16 error);
    void OnEchoRequest();
    void OnEchoReply(int replies);
    void OnDisplay(const QString& text);

private:
    void echoReplied(const IcmpEchoReply& reply);

    std::unique_ptr<IcmpEcho> echo_;
    TWSocket* lookup_;
    QString address_;
    int size_ = IcmpEcho::DefaultDataSize;
    int timeout_ = IcmpEcho::DefaultTimeout;
    int ttl_ = IcmpEcho::DefaultTtl;
    IcmpEchoReply reply_;
    quint32 lastError_ = IcmpStatus::Success;
    bool echoRunning_ = false;
};
