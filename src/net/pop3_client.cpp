#include "net/pop3_client.h"

#include "net/wsocket.h"

#include <QPointer>

TPop3Cli::TPop3Cli(QObject* parent) : TCustomPop3Cli(parent), socket_(new TWSocket(this)) {
    connect(socket_, &TWSocket::OnDnsLookupDone, this, &TPop3Cli::onDnsLookupDone);
    connect(socket_, &TWSocket::OnSessionConnected, this, &TPop3Cli::SessionConnected);
    connect(socket_, &TWSocket::OnDataAvailable, this, &TPop3Cli::onDataAvailable);
    connect(socket_, &TWSocket::OnSessionClosed, this, &TPop3Cli::SessionClosed);
}

TPop3Cli::~TPop3Cli() {
    socket_->disconnect(this);
}

void TPop3Cli::StartDnsLookup(const QString& host) {
    socket_->DnsLookup(host);
}

void TPop3Cli::onDnsLookupDone(quint16 error) {
    DnsLookupDone(error, socket_->DnsResult());
}

void TPop3Cli::StartConnect(const QString& address, const QString& port) {
    socket_->setAddr(address);
    socket_->setProto(QStringLiteral("tcp"));
    socket_->setPort(port);
    socket_->Connect();
}

void TPop3Cli::SendBytes(const QByteArray& bytes) {
    socket_->Send(bytes);
}

void TPop3Cli::CloseConnection() {
    socket_->Close();
}

void TPop3Cli::AbortConnection() {
    socket_->Abort();
}

void TPop3Cli::onDataAvailable(quint16) {
    // Read no more than the line buffer can take, so memory stays bounded however much
    // the server sends.
    char chunk[ReceiveBufferSize];
    QPointer<TPop3Cli> self(this);
    for (;;) {
        const qsizetype space = ReceiveSpace();
        if (space <= 0)
            return;
        const qint64 n = socket_->Receive(chunk, std::min<qsizetype>(space, sizeof chunk));
        if (n <= 0)
            return;
        if (!DataReceived(chunk, n) || !self)
            return;
    }
}
