#pragma once

#include "net/http_protocol.h"
#include "net/socket_errors.h"

#include <QByteArray>
#include <QStringList>

#include <utility>

// The HTTP state machine on a pretend transport that answers at once: every lookup finds
// 192.0.2.1, every connect and TLS handshake succeeds. The caller plays the server's bytes
// and its close, and reads what was sent.
class FakeHttpCli : public TCustomHttpCli {
public:
    using TCustomHttpCli::ReceiveSpace;
    using TCustomHttpCli::TCustomHttpCli;

    QByteArray sent;
    QStringList calls; // "lookup host", "connect address:port", "tls name"
    bool open = false;

    bool receive(const QByteArray& bytes) { return DataReceived(bytes.constData(), bytes.size()); }
    void peerCloses(quint16 error = wsock::NoError) {
        if (std::exchange(open, false))
            SessionClosed(error);
    }

protected:
    void StartDnsLookup(const QString& host) override {
        calls << "lookup " + host;
        DnsLookupDone(wsock::NoError, QStringLiteral("192.0.2.1"));
    }
    void StartConnect(const QString& address, const QString& port) override {
        calls << "connect " + address + ":" + port;
        open = true;
        SessionConnected(wsock::NoError);
    }
    void StartTls(const QString& serverName) override {
        calls << "tls " + serverName;
        TlsDone(wsock::NoError, {});
    }
    void SendBytes(const QByteArray& bytes) override { sent += bytes; }
    void AbortConnection() override {
        if (std::exchange(open, false))
            SessionClosed(wsock::WSAEINTR);
    }
};
