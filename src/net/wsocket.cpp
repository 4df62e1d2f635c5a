#include "net/wsocket.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QNetworkProxy>
#include <QPointer>
#include <QTcpSocket>

#include <netdb.h>
#include <netinet/in.h>

using namespace wsock;

quint16 socketErrorCode(QAbstractSocket::SocketError error) {
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
    case QAbstractSocket::ProxyConnectionRefusedError:
    case QAbstractSocket::ProxyAuthenticationRequiredError:
        return WSAECONNREFUSED;
    case QAbstractSocket::RemoteHostClosedError:
    case QAbstractSocket::ProxyConnectionClosedError:
        return WSAECONNRESET;
    case QAbstractSocket::HostNotFoundError:
    case QAbstractSocket::ProxyNotFoundError:
        return WSAHOST_NOT_FOUND;
    case QAbstractSocket::SocketAccessError:
        return WSAEACCES;
    case QAbstractSocket::SocketResourceError:
        return WSAENOBUFS;
    case QAbstractSocket::SocketTimeoutError:
    case QAbstractSocket::ProxyConnectionTimeoutError:
        return WSAETIMEDOUT;
    case QAbstractSocket::DatagramTooLargeError:
        return WSAEMSGSIZE;
    case QAbstractSocket::NetworkError:
        return WSAENETDOWN;
    case QAbstractSocket::AddressInUseError:
        return WSAEADDRINUSE;
    case QAbstractSocket::SocketAddressNotAvailableError:
        return WSAEADDRNOTAVAIL;
    case QAbstractSocket::UnsupportedSocketOperationError:
        return WSAEOPNOTSUPP;
    case QAbstractSocket::UnfinishedSocketOperationError:
        return WSAEINPROGRESS;
    case QAbstractSocket::OperationError:
        return WSAEINVAL;
    case QAbstractSocket::TemporaryError:
        return WSAEWOULDBLOCK;
    default:
        return WSAECONNABORTED;
    }
}

namespace {

// Qt folds timeouts and unreachable hosts into NetworkError; its message still tells.
quint16 refinedErrorCode(QAbstractSocket::SocketError error, const QString& text) {
    if (error == QAbstractSocket::NetworkError) {
        if (text.contains(QLatin1String("timed out"), Qt::CaseInsensitive))
            return WSAETIMEDOUT;
        if (text.contains(QLatin1String("Host unreachable"), Qt::CaseInsensitive))
            return WSAEHOSTUNREACH;
        if (text.contains(QLatin1String("Network unreachable"), Qt::CaseInsensitive))
            return WSAENETUNREACH;
    }
    return socketErrorCode(error);
}

// Names the program uses, so that a system without /etc/services still connects.
struct ServiceName {
    const char* name;
    quint16 port;
};
constexpr ServiceName kServices[] = {
    {"ftp", 21}, {"smtp", 25},  {"finger", 79}, {"http", 80},
    {"www", 80}, {"pop3", 110}, {"imap", 143},  {"https", 443},
};

} // namespace

std::optional<quint16> resolvePort(const QString& port) {
    const QString text = port.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    if (text.front().isDigit()) {
        bool ok = false;
        const uint number = text.toUInt(&ok, 10);
        if (!ok || number < 1 || number > 65535)
            return std::nullopt;
        return static_cast<quint16>(number);
    }
    for (const ServiceName& s : kServices) {
        if (text.compare(QLatin1String(s.name), Qt::CaseInsensitive) == 0)
            return s.port;
    }
    const QByteArray name = text.toLatin1();
    if (const servent* entry = getservbyname(name.constData(), "tcp"))
        return ntohs(static_cast<quint16>(entry->s_port));
    return std::nullopt;
}

TWSocket::TWSocket(QObject* parent) : QObject(parent), socket_(new QTcpSocket(this)) {
    // The HTTP client does its own proxying; the socket always talks to Addr directly.
    socket_->setProxy(QNetworkProxy::NoProxy);
    socket_->setReadBufferSize(ReadBufferLimit);
    connect(socket_, &QTcpSocket::connected, this, &TWSocket::onQtConnected);
    connect(socket_, &QTcpSocket::stateChanged, this, &TWSocket::onQtStateChanged);
    connect(socket_, &QTcpSocket::errorOccurred, this, &TWSocket::onQtError);
    connect(socket_, &QTcpSocket::readyRead, this, &TWSocket::onQtReadyRead);
    connect(socket_, &QTcpSocket::bytesWritten, this, &TWSocket::onQtBytesWritten);
}

TWSocket::~TWSocket() {
    if (lookupId_ >= 0)
        QHostInfo::abortHostLookup(lookupId_);
    socket_->disconnect(this);
    socket_->abort();
}

void TWSocket::requireClosed(const char* property) const {
    if (state_ != wsClosed)
        throw ESocketException(
            QStringLiteral("Cannot change %1 if not closed").arg(QLatin1String(property)));
}

void TWSocket::setAddr(const QString& addr) {
    requireClosed("Addr");
    addr_ = addr;
}

void TWSocket::setPort(const QString& port) {
    requireClosed("Port");
    port_ = port;
}

void TWSocket::setProto(const QString& proto) {
    requireClosed("Proto");
    proto_ = proto;
}

qint64 TWSocket::RcvdCount() const {
    return socket_->bytesAvailable();
}

qint64 TWSocket::BufferedByteCount() const {
    return socket_->bytesToWrite();
}

void TWSocket::changeState(TSocketState newState) {
    if (state_ == newState)
        return;
    const TSocketState oldState = state_;
    state_ = newState;
    Q_EMIT OnChangeState(oldState, newState);
}

void TWSocket::DnsLookup(const QString& host) {
    const QString name = host.trimmed();
    if (name.isEmpty())
        throw ESocketException(QStringLiteral("DNS lookup: invalid host name."));
    if (lookupId_ >= 0) {
        QHostInfo::abortHostLookup(lookupId_);
        lookupId_ = -1;
    }
    dnsResult_.clear();
    QHostAddress literal;
    if (literal.setAddress(name)) {
        dnsResult_ = literal.toString();
        lastError_ = NoError;
        Q_EMIT OnDnsLookupDone(NoError);
        return;
    }
    lookupId_ = QHostInfo::lookupHost(name, this, &TWSocket::onHostLookedUp);
}

void TWSocket::CancelDnsLookup() {
    if (lookupId_ < 0)
        return;
    // Qt still delivers a cached answer after an abort; the id check in onHostLookedUp
    // is what keeps it out.
    QHostInfo::abortHostLookup(lookupId_);
    lookupId_ = -1;
    lastError_ = WSAEINTR;
    Q_EMIT OnDnsLookupDone(WSAEINTR);
}

void TWSocket::onHostLookedUp(const QHostInfo& info) {
    if (lookupId_ < 0 || info.lookupId() != lookupId_)
        return;
    lookupId_ = -1;
    quint16 error = NoError;
    switch (info.error()) {
    case QHostInfo::NoError:
        break;
    case QHostInfo::HostNotFound:
        error = WSAHOST_NOT_FOUND;
        break;
    default:
        error = WSATRY_AGAIN;
        break;
    }
    if (error == NoError) {
        QHostAddress chosen;
        for (const QHostAddress& a : info.addresses()) {
            if (a.protocol() == QAbstractSocket::IPv4Protocol) {
                chosen = a;
                break;
            }
            if (chosen.isNull())
                chosen = a;
        }
        if (chosen.isNull())
            error = WSANO_DATA;
        else
            dnsResult_ = chosen.toString();
    }
    lastError_ = error;
    Q_EMIT OnDnsLookupDone(error);
}

void TWSocket::Connect() {
    if (state_ != wsClosed)
        throw ESocketException(QStringLiteral("Connect: Socket already in use"));
    if (port_.trimmed().isEmpty())
        throw ESocketException(QStringLiteral("Connect: No Port Specified"));
    if (addr_.trimmed().isEmpty())
        throw ESocketException(QStringLiteral("Connect: No IP Address Specified"));
    if (proto_.trimmed().isEmpty())
        throw ESocketException(QStringLiteral("Connect: No Protocol Specified"));
    const std::optional<quint16> port = resolvePort(port_);
    if (!port)
        throw ESocketException(
            QStringLiteral("WSocketResolvePort: Cannot convert port '%1'").arg(port_));
    const QString proto = proto_.trimmed().toLower();
    if (proto != QLatin1String("tcp") && proto != QLatin1String("6"))
        throw ESocketException(
            QStringLiteral("WSocketResolveProto: Cannot convert protocol '%1'").arg(proto_));

    readCount_ = 0;
    lastError_ = NoError;
    closeError_ = NoError;
    closing_ = false;
    ++connectSerial_;
    QPointer<TWSocket> self(this);
    changeState(wsConnecting);
    if (!self || state_ != wsConnecting)
        return;
    inConnectCall_ = true;
    socket_->connectToHost(addr_.trimmed(), *port);
    if (self)
        inConnectCall_ = false;
}

void TWSocket::failConnect(quint16 error) {
    lastError_ = error;
    QPointer<TWSocket> self(this);
    changeState(wsClosed);
    if (self)
        Q_EMIT OnSessionConnected(error);
}

void TWSocket::onQtConnected() {
    if (ignoreQt_ || state_ != wsConnecting)
        return;
    QPointer<TWSocket> self(this);
    changeState(wsConnected);
    if (self && state_ == wsConnected)
        Q_EMIT OnSessionConnected(NoError);
}

void TWSocket::onQtError(QAbstractSocket::SocketError error) {
    if (ignoreQt_)
        return;
    const quint16 code = refinedErrorCode(error, socket_->errorString());
    if (state_ == wsConnecting) {
        if (inConnectCall_) {
            // Keep the promise that nothing is reported before Connect returns.
            const quint64 serial = connectSerial_;
            QMetaObject::invokeMethod(
                this,
                [this, serial, code] {
                    if (serial == connectSerial_ && state_ == wsConnecting)
                        failConnect(code);
                },
                Qt::QueuedConnection);
            return;
        }
        failConnect(code);
    } else if (state_ == wsConnected) {
        lastError_ = code;
        // An orderly end by the peer is a normal close, not an error.
        closeError_ = error == QAbstractSocket::RemoteHostClosedError ? NoError : code;
    }
}

void TWSocket::onQtStateChanged(QAbstractSocket::SocketState qtState) {
    if (ignoreQt_ || qtState != QAbstractSocket::UnconnectedState)
        return;
    if (state_ == wsConnected) {
        closing_ = false;
        QPointer<TWSocket> self(this);
        changeState(wsClosed);
        if (self)
            Q_EMIT OnSessionClosed(closeError_);
    } else if (state_ == wsConnecting && !inConnectCall_) {
        // Normally errorOccurred follows at once and reports the failure; this only
        // makes sure a connect attempt that Qt gives up on silently still ends.
        const quint64 serial = connectSerial_;
        QMetaObject::invokeMethod(
            this,
            [this, serial] {
                if (serial == connectSerial_ && state_ == wsConnecting)
                    failConnect(refinedErrorCode(socket_->error(), socket_->errorString()));
            },
            Qt::QueuedConnection);
    }
}

void TWSocket::onQtReadyRead() {
    readRepostPending_ = false;
    if (ignoreQt_ || state_ != wsConnected)
        return;
    receivedInEvent_ = false;
    QPointer<TWSocket> self(this);
    Q_EMIT OnDataAvailable(NoError);
    if (!self)
        return;
    // Like a level-triggered notification: a handler that took only part of the data
    // hears about the rest, one that took nothing is not called in a loop.
    if (receivedInEvent_ && state_ == wsConnected && socket_->bytesAvailable() > 0 &&
        !readRepostPending_) {
        readRepostPending_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (readRepostPending_)
                    onQtReadyRead();
            },
            Qt::QueuedConnection);
    }
}

void TWSocket::onQtBytesWritten() {
    if (ignoreQt_ || state_ != wsConnected)
        return;
    if (socket_->bytesToWrite() == 0)
        Q_EMIT OnDataSent(NoError);
}

qint64 TWSocket::Send(const char* data, qint64 length) {
    if (state_ != wsConnected || closing_) {
        lastError_ = WSAENOTCONN;
        return -1;
    }
    if (data == nullptr || length <= 0)
        return 0;
    const qint64 written = socket_->write(data, length);
    if (written < 0)
        lastError_ = socketErrorCode(socket_->error());
    return written;
}

qint64 TWSocket::Receive(char* buffer, qint64 length) {
    if (buffer == nullptr || length <= 0)
        return 0;
    if (!socket_->isOpen() || socket_->bytesAvailable() <= 0)
        return state_ == wsConnected ? 0 : -1;
    const qint64 n = socket_->read(buffer, length);
    if (n > 0) {
        readCount_ += n;
        receivedInEvent_ = true;
    }
    return n;
}

void TWSocket::Close() {
    if (state_ == wsConnecting) {
        closeNow(NoError);
    } else if (state_ == wsConnected && !closing_) {
        closing_ = true;
        closeError_ = NoError;
        // Qt writes what is queued first; onQtStateChanged reports the end, which is
        // before this returns when nothing was queued.
        socket_->disconnectFromHost();
    }
}

void TWSocket::Abort() {
    QPointer<TWSocket> self(this);
    CancelDnsLookup();
    if (self && (state_ == wsConnecting || state_ == wsConnected))
        closeNow(WSAEINTR);
}

void TWSocket::closeNow(quint16 error) {
    ignoreQt_ = true;
    socket_->abort();
    ignoreQt_ = false;
    closing_ = false;
    readRepostPending_ = false;
    ++connectSerial_;
    if (error != NoError)
        lastError_ = error;
    QPointer<TWSocket> self(this);
    changeState(wsClosed);
    if (self)
        Q_EMIT OnSessionClosed(error);
}
