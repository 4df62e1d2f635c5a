#pragma once

#include "net/http_protocol.h"

#include <QList>
#include <QSslCertificate>

#include <vector>

class TWSocket;

// The HTTP client the program uses: the protocol state machine over a TWSocket, with TLS
// for https addresses.
class THttpCli : public TCustomHttpCli {
    Q_OBJECT

public:
    explicit THttpCli(QObject* parent = nullptr);
    ~THttpCli() override;

    // Certificates trusted for https besides the system's (a private authority).
    void setTlsCaCertificates(const QList<QSslCertificate>& certificates);
    const TWSocket& Socket() const { return *socket_; }

protected:
    void StartDnsLookup(const QString& host) override;
    void StartConnect(const QString& address, const QString& port) override;
    void StartTls(const QString& serverName) override;
    void SendBytes(const QByteArray& bytes) override;
    void AbortConnection() override;

private:
    void onDataAvailable(quint16 error);

    TWSocket* socket_;
    QList<QSslCertificate> tlsCaCertificates_;
    std::vector<char> chunk_; // each client its own: a handler may pump another's events
};
