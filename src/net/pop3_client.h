#pragma once

#include "net/pop3_protocol.h"

class TWSocket;

// The POP3 client the program uses: the protocol state machine over a TWSocket.
class TPop3Cli : public TCustomPop3Cli {
    Q_OBJECT

public:
    explicit TPop3Cli(QObject* parent = nullptr);
    ~TPop3Cli() override;

    const TWSocket& Socket() const { return *socket_; }

protected:
    void StartDnsLookup(const QString& host) override;
    void StartConnect(const QString& address, const QString& port) override;
    void SendBytes(const QByteArray& bytes) override;
    void CloseConnection() override;
    void AbortConnection() override;

private:
    void onDnsLookupDone(quint16 error);
    void onDataAvailable(quint16 error);

    TWSocket* socket_;
};
