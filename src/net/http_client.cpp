#include "net/http_client.h"

#include "net/wsocket.h"

#include <QPointer>

THttpCli::THttpCli(QObject* parent) : TCustomHttpCli(parent), socket_(new TWSocket(this)) {
    connect(socket_, &TWSocket::OnDnsLookupDone, this,
            [this](quint16 error) { DnsLookupDone(error, socket_->DnsResult()); });
    connect(socket_, &TWSocket::OnSessionConnected, this, &THttpCli::SessionConnected);
    connect(socket_, &TWSocket::OnTlsDone, this,
            [this](quint16 error) { TlsDone(error, socket_->TlsErrorText()); });
    connect(socket_, &TWSocket::OnDataAvailable, this, &THttpCli::onDataAvailable);
    connect(socket_, &TWSocket::OnSessionClosed, this, &THttpCli::SessionClosed);
}

THttpCli::~THttpCli() {
    socket_->disconnect(this);
}

void THttpCli::setTlsCaCertificates(const QList<QSslCertificate>& certificates) {
    tlsCaCertificates_ = certificates;
}

void THttpCli::StartDnsLookup(const QString& host) {
    socket_->DnsLookup(host);
}

void THttpCli::StartConnect(const QString& address, const QString& port) {
    socket_->setAddr(address);
    socket_->setProto(QStringLiteral("tcp"));
    socket_->setPort(port);
    socket_->Connect();
}

void THttpCli::StartTls(const QString& serverName) {
    socket_->setTlsCaCertificates(tlsCaCertificates_);
    socket_->StartTls(serverName);
}

void THttpCli::SendBytes(const QByteArray& bytes) {
    socket_->Send(bytes);
}

void THttpCli::AbortConnection() {
    socket_->Abort();
}

void THttpCli::onDataAvailable(quint16) {
    // Read no more than the client can take, so memory stays bounded however much the
    // server sends.
    const QPointer<THttpCli> self(this);
    for (;;) {
        const qsizetype space = ReceiveSpace();
        if (space <= 0)
            return;
        chunk_.resize(static_cast<size_t>(space));
        const qint64 n = socket_->Receive(chunk_.data(), space);
        if (n <= 0)
            return;
        if (!DataReceived(chunk_.data(), n) || !self)
            return;
    }
}
