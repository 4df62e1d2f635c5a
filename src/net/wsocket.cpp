#include "net/wsocket.h"

#include "core/code_page.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QNetworkProxy>
#include <QPointer>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTimer>

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

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

TWSocket::TWSocket(QObject* parent)
    : QObject(parent), socket_(new QSslSocket(this)), closeTimer_(new QTimer(this)) {
    // The HTTP client does its own proxying; the socket always talks to Addr directly.
    socket_->setProxy(QNetworkProxy::NoProxy);
    socket_->setReadBufferSize(ReadBufferLimit);
    connect(socket_, &QSslSocket::connected, this, &TWSocket::onQtConnected);
    connect(socket_, &QSslSocket::stateChanged, this, &TWSocket::onQtStateChanged);
    connect(socket_, &QSslSocket::errorOccurred, this, &TWSocket::onQtError);
    connect(socket_, &QSslSocket::readyRead, this, &TWSocket::onQtReadyRead);
    connect(socket_, &QSslSocket::bytesWritten, this, &TWSocket::onQtBytesWritten);
    connect(socket_, &QSslSocket::encrypted, this, &TWSocket::onQtEncrypted);
    closeTimer_->setSingleShot(true);
    connect(closeTimer_, &QTimer::timeout, this, [this] {
        if (state_ == wsConnected && closing_)
            closeNow(WSAETIMEDOUT);
    });
}

TWSocket::~TWSocket() {
    if (lookupId_ >= 0)
        QHostInfo::abortHostLookup(lookupId_);
    socket_->disconnect(this);
    socket_->abort();
    releaseEndProbe();
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
    // The slot by name: given a function, Qt 6.4 loses the callback object of every lookup
    // that is aborted or outlives this socket.
    lookupId_ = QHostInfo::lookupHost(name, this, SLOT(onHostLookedUp(QHostInfo)));
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
    tls_ = Tls::Off;
    tlsErrorText_.clear();
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
    releaseEndProbe();
    endProbe_ = ::fcntl(static_cast<int>(socket_->socketDescriptor()), F_DUPFD_CLOEXEC, 0);
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
        if (tls_ == Tls::Handshake) {
            // Qt's text names the reason: an untrusted or mismatched certificate, or a
            // peer that does not speak TLS.
            tlsErrorText_ = socket_->errorString();
            failTlsLater(WSAECONNABORTED);
        } else if (error != QAbstractSocket::RemoteHostClosedError) {
            // Qt reads a reset as an end of stream too; endError() tells them apart.
            closeError_ = lastError_ = code;
        }
    }
}

void TWSocket::onQtStateChanged(QAbstractSocket::SocketState qtState) {
    if (ignoreQt_ || qtState != QAbstractSocket::UnconnectedState)
        return;
    if (state_ == wsConnected) {
        connectionEnded();
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

qint64 TWSocket::SendStr(const QString& text) {
    return Send(codepage::encode(text));
}

qint64 TWSocket::Send(const char* data, qint64 length) {
    if (state_ != wsConnected || closing_ || draining_) {
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
    } else if (state_ == wsConnected && !closing_ && !draining_) {
        closing_ = true;
        // A peer that stops reading would hold the queue, and the socket, for ever.
        closeTimer_->start(closeTimeout_);
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
    closeTimer_->stop();
    ignoreQt_ = true;
    socket_->abort();
    ignoreQt_ = false;
    releaseEndProbe();
    closing_ = false;
    draining_ = false;
    tls_ = Tls::Off;
    readRepostPending_ = false;
    ++connectSerial_;
    if (error != NoError)
        lastError_ = error;
    QPointer<TWSocket> self(this);
    changeState(wsClosed);
    if (self)
        Q_EMIT OnSessionClosed(error);
}

void TWSocket::connectionEnded() {
    closeTimer_->stop();
    const quint16 error = closeError_ != NoError ? closeError_ : endError();
    releaseEndProbe();
    if (error != NoError)
        lastError_ = error;
    closing_ = false;
    readRepostPending_ = false;
    QPointer<TWSocket> self(this);
    if (tls_ == Tls::Handshake) {
        finishTls(error != NoError ? error : WSAECONNABORTED);
        if (!self || state_ != wsConnected)
            return;
    }
    // What came before the end is still the peer's answer: hand it out first, for as long
    // as the handler takes some of it each time.
    draining_ = true;
    while (socket_->bytesAvailable() > 0) {
        receivedInEvent_ = false;
        Q_EMIT OnDataAvailable(NoError);
        if (!self || state_ != wsConnected) // deleted, or aborted and reported already
            return;
        if (!receivedInEvent_)
            break;
    }
    draining_ = false;
    changeState(wsClosed);
    if (self)
        Q_EMIT OnSessionClosed(error);
}

quint16 TWSocket::endError() const {
    // Qt takes a reset for an end of stream, and closes its descriptor before saying so.
    // Ours keeps the connection alive long enough to ask the kernel how it ended: a reset
    // leaves it closed, an orderly end by the peer half-open.
    tcp_info info{};
    socklen_t length = sizeof info;
    if (endProbe_ < 0 || ::getsockopt(endProbe_, IPPROTO_TCP, TCP_INFO, &info, &length) != 0)
        return NoError;
    return info.tcpi_state == TCP_CLOSE ? WSAECONNRESET : NoError;
}

void TWSocket::releaseEndProbe() {
    // Qt's close only ends the connection once this descriptor is gone too, so it goes in
    // the same step.
    if (endProbe_ >= 0)
        ::close(endProbe_);
    endProbe_ = -1;
}

void TWSocket::setTlsCaCertificates(const QList<QSslCertificate>& certificates) {
    tlsCaCertificates_ = certificates;
}

void TWSocket::StartTls(const QString& serverName) {
    if (state_ != wsConnected || closing_ || draining_)
        throw ESocketException(QStringLiteral("StartTls: Socket not connected"));
    if (tls_ != Tls::Off)
        throw ESocketException(QStringLiteral("StartTls: TLS already started"));
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.addCaCertificates(tlsCaCertificates_);
    configuration.setPeerVerifyMode(QSslSocket::VerifyPeer);
    socket_->setSslConfiguration(configuration);
    // We connect to an address; the name is what the certificate must carry and what the
    // server is told it is (SNI).
    socket_->setPeerVerifyName(serverName);
    tls_ = Tls::Handshake;
    tlsErrorText_.clear();
    if (!QSslSocket::supportsSsl()) {
        tlsErrorText_ = QStringLiteral("TLS is not available on this system");
        failTlsLater(WSAEOPNOTSUPP);
        return;
    }
    socket_->startClientEncryption();
}

void TWSocket::onQtEncrypted() {
    if (ignoreQt_ || state_ != wsConnected || tls_ != Tls::Handshake)
        return;
    finishTls(NoError);
}

void TWSocket::failTlsLater(quint16 error) {
    closeError_ = lastError_ = error;
    // Qt closes after a failed handshake; should that hang on the peer, this ends it.
    const quint64 serial = connectSerial_;
    QMetaObject::invokeMethod(
        this,
        [this, serial, error] {
            if (serial != connectSerial_ || state_ != wsConnected || tls_ != Tls::Handshake)
                return;
            QPointer<TWSocket> self(this);
            finishTls(error);
            if (self && serial == connectSerial_ && state_ == wsConnected)
                closeNow(error);
        },
        Qt::QueuedConnection);
}

void TWSocket::finishTls(quint16 error) {
    if (tls_ != Tls::Handshake)
        return;
    tls_ = error == NoError ? Tls::On : Tls::Off;
    if (error != NoError && tlsErrorText_.isEmpty())
        tlsErrorText_ = socketErrorText(error);
    Q_EMIT OnTlsDone(error);
}
