#pragma once

#include "net/net_exception.h"
#include "net/socket_errors.h"

#include <QAbstractSocket>
#include <QObject>
#include <QString>

#include <optional>

class QHostInfo;
class QTcpSocket;

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
class TWSocket : public QObject {
    Q_OBJECT

public:
    // Qt keeps at most this much unread input; beyond it the kernel holds the rest, so a
    // handler that stops reading stops the peer instead of growing memory.
    static constexpr qint64 ReadBufferLimit = 64 * 1024;

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
    // Single-byte text: characters outside Latin-1 go out as '?'.
    qint64 SendStr(const QString& text) { return Send(text.toLatin1()); }

    // Takes up to length bytes; 0 when nothing is waiting, -1 when there is no connection.
    qint64 Receive(char* buffer, qint64 length);

    // Writes what is queued, then closes; OnSessionClosed(0) follows.
    void Close();
    // Cancels a lookup, drops queued data and closes now; OnSessionClosed(WSAEINTR).
    void Abort();

Q_SIGNALS:
    void OnDnsLookupDone(quint16 error);
    void OnSessionConnected(quint16 error);
    void OnDataAvailable(quint16 error);
    void OnDataSent(quint16 error);
    void OnSessionClosed(quint16 error);
    void OnChangeState(TSocketState oldState, TSocketState newState);

private:
    void changeState(TSocketState newState);
    void requireClosed(const char* property) const;
    void onHostLookedUp(const QHostInfo& info);
    void onQtConnected();
    void onQtStateChanged(QAbstractSocket::SocketState qtState);
    void onQtError(QAbstractSocket::SocketError error);
    void onQtReadyRead();
    void onQtBytesWritten();
    void failConnect(quint16 error);
    void closeNow(quint16 error);

    QTcpSocket* socket_;
    QString addr_;
    QString port_;
    QString proto_ = QStringLiteral("tcp");
    QString dnsResult_;
    TSocketState state_ = wsClosed;
    quint16 lastError_ = wsock::NoError;
    quint16 closeError_ = wsock::NoError; // reported when the peer ends the connection
    qint64 readCount_ = 0;
    int lookupId_ = -1;
    quint64 connectSerial_ = 0;  // tells a stale queued connect failure from a live one
    bool inConnectCall_ = false; // Qt may fail a connect before connectToHost returns
    bool ignoreQt_ = false;      // our own abort: Qt's echoes of it are not news
    bool closing_ = false;       // Close is flushing the queue; nothing more may be sent
    bool receivedInEvent_ = false;
    bool readRepostPending_ = false;
};
