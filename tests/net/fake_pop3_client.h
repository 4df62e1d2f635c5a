#pragma once

#include "net/pop3_protocol.h"
#include "net/socket_errors.h"

#include <QByteArray>

#include <utility>

// The POP3 state machine on a pretend transport: the caller plays the network (a lookup
// answer, the connection, the server's bytes, the close) and reads what was sent.
class FakePop3Cli : public TCustomPop3Cli {
public:
    using TCustomPop3Cli::TCustomPop3Cli;
    using TCustomPop3Cli::ReceiveSpace;

    QByteArray sent;
    bool open = false; // connected or connecting

    // Connect with a banner; the lookup and the connection succeed at once.
    bool openSession(const QByteArray& banner) {
        setHost(QStringLiteral("mail.example.org"));
        Connect();
        DnsLookupDone(wsock::NoError, QStringLiteral("127.0.0.1"));
        SessionConnected(wsock::NoError);
        return receive(banner);
    }
    bool receive(const QByteArray& bytes) { return DataReceived(bytes.constData(), bytes.size()); }
    void peerCloses() { drop(wsock::NoError); }

protected:
    void StartDnsLookup(const QString& host) override {
        if (host.trimmed().isEmpty())
            throw ESocketException(QStringLiteral("DNS lookup: invalid host name."));
    }
    void StartConnect(const QString&, const QString&) override { open = true; }
    void SendBytes(const QByteArray& bytes) override { sent += bytes; }
    void CloseConnection() override { drop(wsock::NoError); }
    void AbortConnection() override { drop(wsock::WSAEINTR); }

private:
    void drop(quint16 error) {
        if (std::exchange(open, false))
            SessionClosed(error);
    }
};
