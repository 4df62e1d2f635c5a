#pragma once

#include "net/net_exception.h"

#include <QObject>
#include <QString>

class TWSocket;

class FingerException : public NetException {
public:
    using NetException::NetException;
};

// A finger query (RFC 1288) over a TWSocket: look up the host after the first "@" of
// Query, connect, send Query (as it stands once OnSessionConnected has been handled)
// with CR LF, and stream the answer until the server hangs up.
//
// Events, from the event loop: OnSessionConnected(error) when the connection is made or
// has failed; OnDataAvailable whenever Receive has something; OnQueryDone(error) exactly
// once per query, last, 0 when the server ended the answer. An answer is taken up to
// MaxAnswerBytes: then the connection is dropped and the query ends with 0 all the same.
class TFingerCli : public QObject {
    Q_OBJECT

public:
    static constexpr qint64 MaxAnswerBytes = 1024 * 1024;

    explicit TFingerCli(QObject* parent = nullptr);
    ~TFingerCli() override;

    const QString& Query() const { return query_; }
    void setQuery(const QString& query) { query_ = query; }
    // A number or a service name; "finger" (79) unless set.
    const QString& Port() const { return port_; }
    void setPort(const QString& port) { port_ = port; }
    bool IsRunning() const { return !queryDone_; }

    // Throws FingerException, before anything starts, for a query without "@" or a host
    // after it, a port that is no port, or while a query runs.
    void StartQuery();
    // Takes up to length bytes of the answer; 0 or less when there is nothing (more).
    qint64 Receive(char* buffer, qint64 length);
    // Ends the query at once; OnQueryDone(WSAEINTR) follows unless it had ended.
    void Abort();

Q_SIGNALS:
    void OnSessionConnected(quint16 error);
    void OnDataAvailable(quint16 error);
    void OnQueryDone(quint16 error);

private:
    void dnsLookupDone(quint16 error);
    void sessionConnected(quint16 error);
    void dataAvailable(quint16 error);
    void sessionClosed(quint16 error);
    void queryDone(quint16 error);

    TWSocket* socket_;
    QString query_;
    QString port_ = QStringLiteral("finger");
    bool queryDone_ = true;
    quint64 querySerial_ = 0;
    qint64 received_ = 0;
    bool limitReached_ = false;
};
