#include "net/finger_client.h"

#include "core/code_page.h"
#include "net/wsocket.h"

#include <QPointer>

#include <algorithm>

using namespace wsock;

TFingerCli::TFingerCli(QObject* parent) : QObject(parent), socket_(new TWSocket(this)) {
    connect(socket_, &TWSocket::OnDnsLookupDone, this, &TFingerCli::dnsLookupDone);
    connect(socket_, &TWSocket::OnSessionConnected, this, &TFingerCli::sessionConnected);
    connect(socket_, &TWSocket::OnDataAvailable, this, &TFingerCli::dataAvailable);
    connect(socket_, &TWSocket::OnSessionClosed, this, &TFingerCli::sessionClosed);
}

TFingerCli::~TFingerCli() {
    socket_->disconnect(this);
}

void TFingerCli::StartQuery() {
    const qsizetype at = query_.indexOf(u'@');
    if (at < 0)
        throw FingerException(QStringLiteral("TFingerCli, Invalid Query: %1").arg(query_));
    const QString host = query_.mid(at + 1);
    if (host.isEmpty())
        throw FingerException(QStringLiteral("TFingerCli, Invalid Host in query: %1").arg(query_));
    if (!resolvePort(port_))
        throw FingerException(QStringLiteral("TFingerCli, Invalid Port: %1").arg(port_));
    if (!queryDone_)
        throw FingerException(QStringLiteral("TFingerCli, a query is already running"));
    queryDone_ = false;
    ++querySerial_;
    received_ = 0;
    limitReached_ = false;
    try {
        socket_->DnsLookup(host);
    } catch (const NetException& e) {
        queryDone_ = true;
        throw FingerException(e.message());
    }
}

void TFingerCli::dnsLookupDone(quint16 error) {
    if (queryDone_)
        return;
    if (error != NoError) {
        queryDone(error);
        return;
    }
    try {
        socket_->setAddr(socket_->DnsResult());
        socket_->setProto(QStringLiteral("tcp"));
        socket_->setPort(port_);
        socket_->Connect();
    } catch (const NetException&) {
        // Only a socket still busy can refuse here; end the query from the event loop,
        // as every other failure does, so that StartQuery never reports it.
        const quint64 serial = querySerial_;
        QMetaObject::invokeMethod(
            this,
            [this, serial] {
                if (serial == querySerial_)
                    queryDone(WSAEINVAL);
            },
            Qt::QueuedConnection);
    }
}

void TFingerCli::sessionConnected(quint16 error) {
    if (queryDone_)
        return;
    QPointer<TFingerCli> self(this);
    Q_EMIT OnSessionConnected(error);
    if (!self || queryDone_)
        return;
    if (error != NoError) {
        queryDone(error);
        if (self)
            socket_->Close();
        return;
    }
    socket_->Send(codepage::encode(query_) + "\r\n");
}

void TFingerCli::dataAvailable(quint16 error) {
    if (!queryDone_ && !limitReached_)
        Q_EMIT OnDataAvailable(error);
}

qint64 TFingerCli::Receive(char* buffer, qint64 length) {
    if (limitReached_)
        return 0;
    const qint64 n = socket_->Receive(buffer, std::min(length, MaxAnswerBytes - received_));
    if (n > 0)
        received_ += n;
    if (received_ >= MaxAnswerBytes) {
        // Dropped from the event loop: the reader is still in its receive loop now.
        limitReached_ = true;
        const quint64 serial = querySerial_;
        QMetaObject::invokeMethod(
            this,
            [this, serial] {
                if (serial == querySerial_ && !queryDone_)
                    socket_->Abort();
            },
            Qt::QueuedConnection);
    }
    return n;
}

void TFingerCli::sessionClosed(quint16 error) {
    if (queryDone_)
        return;
    // What the server sent before it hung up is part of the answer: hand it over before
    // the end, however little the reader takes per event.
    QPointer<TFingerCli> self(this);
    for (qint64 left = socket_->RcvdCount(); left > 0 && !limitReached_;) {
        Q_EMIT OnDataAvailable(NoError);
        if (!self || queryDone_)
            return;
        const qint64 now = socket_->RcvdCount();
        if (now >= left) // the reader stopped taking
            break;
        left = now;
    }
    queryDone(limitReached_ ? NoError : error);
}

void TFingerCli::Abort() {
    if (!queryDone_)
        socket_->Abort();
}

void TFingerCli::queryDone(quint16 error) {
    if (queryDone_)
        return;
    queryDone_ = true;
    ++querySerial_;
    Q_EMIT OnQueryDone(error);
}
