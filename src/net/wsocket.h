#pragma once

#include "net/net_exception.h"
#include "net/socket_errors.h"

#include <QAbstractSocket>
#include <QList>
#include <QObject>
#include <QString>

#include <optional>

class QHostInfo;
class QSslCertificate;
class QSslSocket;
class QTimer;

enum TSocketState : quint8 {
    wsInvalidState,
    wsOpened,
    wsBound,
    wsConnecting,
    wsConnected,
    wsAccepting,
    wsListening,
    wsClosed,
};

// The error code reported for a Qt socket error.
quint16 socketErrorCode(QAbstractSocket::SocketError error);

// A port given as a number (1..65535) or a service name ("pop3", "finger", "http").
std::optional<quint16> resolvePort(const QString& port);

// An event-driven TCP client socket on the GUI thread. Every call returns at once; what
// happens later arrives as the On... signals from the event loop. Errors after a call
// has returned never throw: they come as the error argument of the events.
//
// Lifecycle: closed -> (lookup) -> connecting -> connected -> closed; a closed socket can
// connect again. Close and Abort report OnSessionClosed before they return when there
// was no queued data to flush.
//
// The end of a connection: bytes that arrived before it are offered through
// OnDataAvailable first (as long as the handler keeps taking them), then
// OnSessionClosed reports how it ended: 0 for an orderly end by either side, WSAECONNRESET
// when the peer reset it, WSAEINTR after Abort, WSAETIMEDOUT when Close gave up on a peer
// that would not take the queued data, WSAECONNABORTED after a failed TLS handshake.
// LastError keeps the error of the last failure and is not touched by an orderly end.
//
// TLS: StartTls on a connected socket (directly after the connect, or after a proxy has
// opened a tunnel) verifies the server against the system's certificates and sends the
// server name; OnTlsDone reports the handshake. From then on Send and Receive carry
// plain text through the encryption.
class TWSocket : public QObject {
    Q_OBJECT

public:
    // Qt keeps at most this much unread input; beyond it the kernel holds the rest, so a
    // handler that stops reading stops the peer instead of growing memory.
    static constexpr qint64 ReadBufferLimit = 64 * 1024;
    // How long Close waits for the peer to take what is queued before it aborts.
    static constexpr int DefaultCloseTimeout = 10000;

    explicit TWSocket(QObject* parent = nullptr);
    ~TWSocket() override;

    const QString& Addr() const { return addr_; }
    const QString& Port() const { return port_; }
    const QString& Proto() const { return proto_; }
    // These throw ESocketException unless the socket is closed.
    void setAddr(const QString& addr);
    void setPort(const QString& port);
    void setProto(const QString& proto);

    // The first address found by the last lookup, as text (IPv4 preferred).
    const QString& DnsResult() const { return dnsResult_; }
    TSocketState State() const { return state_; }
    quint16 LastError() const { return lastError_; }
    // Bytes received on the current (or last) connection.
    qint64 ReadCount() const { return readCount_; }
    // Bytes waiting to be taken with Receive.
    qint64 RcvdCount() const;
    // Bytes given to Send and not yet written to the network.
    qint64 BufferedByteCount() const;
    bool IsDnsLookupRunning() const { return lookupId_ >= 0; }
    int CloseTimeout() const { return closeTimeout_; }
    void setCloseTimeout(int milliseconds) { closeTimeout_ = qMax(milliseconds, 0); }

    // A literal address completes before the call returns; a name is looked up in the
    // background. Throws for an empty name. A lookup still running is abandoned.
    void DnsLookup(const QString& host);
    // Ends a running lookup with OnDnsLookupDone(WSAEINTR); its answer is then ignored.
    void CancelDnsLookup();

    // Connects to Addr:Port. A host name in Addr is resolved without blocking; failures
    // arrive as OnSessionConnected(error). Throws for missing or malformed properties or
    // when the socket is not closed.
    void Connect();

    // Queue bytes for writing; returns the number queued, or -1 when not connected.
    qint64 Send(const char* data, qint64 length);
    qint64 Send(const QByteArray& data) { return Send(data.constData(), data.size()); }
    // Single-byte text in the program's code page; other characters go out as '?'.
    qint64 SendStr(const QString& text);

    // Takes up to length bytes; 0 when nothing is waiting, -1 when there is no connection
    // and nothing is left over from the last one.
    qint64 Receive(char* buffer, qint64 length);

    // Writes what is queued, then closes; OnSessionClosed(0) follows, or
    // OnSessionClosed(WSAETIMEDOUT) when the queue is still not written after
    // CloseTimeout milliseconds.
    void Close();
    // Cancels a lookup, drops queued data and closes now; OnSessionClosed(WSAEINTR).
    void Abort();

    // Certificates trusted besides the system's, for the next StartTls (a private
    // authority, or a test's own).
    void setTlsCaCertificates(const QList<QSslCertificate>& certificates);
    // Starts the TLS handshake on the connected socket, verifying the certificate for
    // serverName and sending that name. Throws unless connected, not closing and not yet
    // encrypted. OnTlsDone(0) when the connection is secure; on failure OnTlsDone(error)
    // with the reason in TlsErrorText, and the socket closes.
    void StartTls(const QString& serverName);
    bool IsEncrypted() const { return tls_ == Tls::On; }
    const QString& TlsErrorText() const { return tlsErrorText_; }

Q_SIGNALS:
    void OnDnsLookupDone(quint16 error);
    void OnSessionConnected(quint16 error);
    void OnDataAvailable(quint16 error);
    void OnDataSent(quint16 error);
    void OnSessionClosed(quint16 error);
    void OnChangeState(TSocketState oldState, TSocketState newState);
    void OnTlsDone(quint16 error);

private Q_SLOTS:
    void onHostLookedUp(const QHostInfo& info);

private:
    void changeState(TSocketState newState);
    void requireClosed(const char* property) const;
    void onQtConnected();
    void onQtStateChanged(QAbstractSocket::SocketState qtState);
    void onQtError(QAbstractSocket::SocketError error);
    void onQtReadyRead();
    void onQtBytesWritten();
    void onQtEncrypted();
    void failConnect(quint16 error);
    void connectionEnded();
    void failTlsLater(quint16 error);
    void finishTls(quint16 error);
    void closeNow(quint16 error);
    quint16 endError() const;
    void releaseEndProbe();

    enum class Tls { Off, Handshake, On };

    QSslSocket* socket_;
    QTimer* closeTimer_;
    QString addr_;
    QString port_;
    QString proto_ = QStringLiteral("tcp");
    QString dnsResult_;
    TSocketState state_ = wsClosed;
    quint16 lastError_ = wsock::NoError;
    quint16 closeError_ = wsock::NoError; // a failure seen while connected
    qint64 readCount_ = 0;
    int lookupId_ = -1;
    int closeTimeout_ = DefaultCloseTimeout;
    int endProbe_ = -1; // our own descriptor of the connection, see endError()
    Tls tls_ = Tls::Off;
    QString tlsErrorText_;
    QList<QSslCertificate> tlsCaCertificates_;
    quint64 connectSerial_ = 0;  // tells a stale queued connect failure from a live one
    bool inConnectCall_ = false; // Qt may fail a connect before connectToHost returns
    bool ignoreQt_ = false;      // our own abort: Qt's echoes of it are not news
    bool closing_ = false;       // Close is flushing the queue; nothing more may be sent
    bool draining_ = false;      // the peer has ended; what it sent is being handed out
    bool receivedInEvent_ = false;
    bool readRepostPending_ = false;
};
