#pragma once

#include "net/http_url.h"
#include "net/line_splitter.h"
#include "net/net_exception.h"

#include <QByteArray>
#include <QIODevice>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

enum THttpRequest : quint8 {
    httpGET,
};

enum THttpState : quint8 {
    httpReady,
    httpDnsLookup,
    httpConnecting,
    httpTunnelling,   // asking a proxy for a tunnel to an https server
    httpTlsHandshake, // securing the connection to an https server
    httpWaitingHeader,
    httpReceivingBody,
    httpAborting,
    httpDone, // finished; OnRequestDone is on its way
};

// An HTTP/1.0 client (GET only) as a state machine over a line splitter, for http and
// https addresses, directly or through a proxy. It does no networking itself: a subclass
// supplies the transport (the Start/Send/Abort hooks) and reports what the transport saw
// (DnsLookupDone, SessionConnected, TlsDone, DataReceived, SessionClosed). THttpCli is that
// subclass over a TWSocket; tests and the fuzzer drive the hooks directly.
//
// A request:
//   GetASync()   starts it and returns at once; throws EHttpException "HTTP component is
//                busy" while a request runs (until its OnRequestDone has been raised).
//   Abort()      ends a running request: StatusCode 404, "Connection aborted on request".
// Events, in this order, for each answer (a redirect gives a second header):
//   OnHeaderBegin, OnHeaderData (once per header line, LastResponse holds it),
//   OnHeaderEnd, OnDocBegin, OnDocData (per chunk, also written to RcvdStream),
//   OnDocEnd (when any body came), then OnRequestDone posted through the event loop, so
//   it always comes after the call that caused it has returned. The owner may delete the
//   client inside OnRequestDone; from any other event use deleteLater().
// Results: StatusCode and ReasonPhrase of the server, or 404 and a text for every local
// failure (the error argument of OnRequestDone is then not 0): a name that does not
// resolve, a refused connection, a reset, a TLS certificate that does not verify, an
// answer that breaks the rules or the bounds below, a bad URL, too many redirections.
// A server answer of 400 or more ends the request as soon as its status line is seen.
class TCustomHttpCli : public QObject {
    Q_OBJECT

public:
    static constexpr qsizetype ReceiveBufferSize = 8192; // the longest header line
    static constexpr qint64 MaxHeaderSize = 64 * 1024;
    static constexpr int MaxHeaderLines = 200;
    static constexpr qint64 MaxBodySize = 16 * 1024 * 1024;
    static constexpr int MaxRedirections = 5;
    static constexpr int LocalFailure = 404;

    ~TCustomHttpCli() override;

    // What to fetch: "http://", "https://" or no scheme (http); credentials in it are sent
    // as Authorization: Basic.
    const QString& URL() const { return url_; }
    void setURL(const QString& url) { url_ = url; }
    // A proxy host name or URL ("proxy", "proxy:3128", "http://proxy:3128/"), empty for
    // none; its own port wins over ProxyPort.
    const QString& Proxy() const { return proxy_; }
    void setProxy(const QString& proxy) { proxy_ = proxy; }
    const QString& ProxyPort() const { return proxyPort_; }
    void setProxyPort(const QString& port) { proxyPort_ = port; }
    // Sent as Proxy-Authorization: Basic when a proxy and a user name are set.
    const QString& ProxyUsername() const { return proxyUsername_; }
    void setProxyUsername(const QString& name) { proxyUsername_ = name; }
    const QString& ProxyPassword() const { return proxyPassword_; }
    void setProxyPassword(const QString& password) { proxyPassword_ = password; }
    bool NoCache() const { return noCache_; } // sends Pragma: no-cache
    void setNoCache(bool on) { noCache_ = on; }
    // Receives the body as it comes; the caller owns it. May be null.
    QIODevice* RcvdStream() const { return rcvdStream_.data(); }
    void setRcvdStream(QIODevice* stream) { rcvdStream_ = stream; }
    int Tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }

    int StatusCode() const { return statusCode_; }
    const QString& ReasonPhrase() const { return reasonPhrase_; }
    // The header line being reported.
    const QString& LastResponse() const { return lastResponse_; }
    // From Content-Length, -1 when the answer had none. The body is read to the close.
    qint64 ContentLength() const { return contentLength_; }
    const QString& ContentType() const { return contentType_; } // lower case
    qint64 RcvdCount() const { return rcvdCount_; }             // body bytes
    const QStringList& RcvdHeader() const { return rcvdHeader_; }
    const QStringList& WWWAuthenticate() const { return wwwAuthenticate_; }
    // Where the last redirection led, empty when there was none.
    const QString& Location() const { return location_; }
    // The page's file name from its path, "document.htm" for a folder.
    const QString& DocName() const { return docName_; }
    THttpState State() const { return state_; }

    void GetASync();
    void Abort();

Q_SIGNALS:
    void OnHeaderBegin();
    void OnHeaderData();
    void OnHeaderEnd();
    void OnDocBegin();
    void OnDocData(const QByteArray& chunk);
    void OnDocEnd();
    void OnRequestDone(THttpRequest request, quint16 error);

protected:
    explicit TCustomHttpCli(QObject* parent = nullptr);

    // The transport. StartDnsLookup and StartConnect may throw NetException for input
    // they cannot use; every answer may come before the call returns.
    virtual void StartDnsLookup(const QString& host) = 0;
    virtual void StartConnect(const QString& address, const QString& port) = 0;
    // TLS on the open connection, for that server name; TlsDone answers.
    virtual void StartTls(const QString& serverName) = 0;
    virtual void SendBytes(const QByteArray& bytes) = 0;
    // Drops a lookup and the connection at once.
    virtual void AbortConnection() = 0;

    // What the transport saw.
    void DnsLookupDone(quint16 error, const QString& address);
    void SessionConnected(quint16 error);
    void TlsDone(quint16 error, const QString& errorText);
    // Bytes from the server. Returns false once the client stopped taking them; the
    // transport then drops the rest.
    bool DataReceived(const char* data, qsizetype length);
    // How much DataReceived can take now; read no more than this at a time.
    qsizetype ReceiveSpace() const;
    void SessionClosed(quint16 error);

private:
    void startRequest(const HttpUrl& url);
    void startTls();
    void sendRequest();
    QByteArray proxyAuthorization() const;
    void beginAnswer();
    void processHeaderLine(const QByteArray& line);
    bool takeStatusLine(const QByteArray& line);
    void takeHeaderField(const QByteArray& line);
    void endHeader();
    void endTunnelHeader();
    void startHeaderless();
    void deliverBody(const QByteArray& bytes);
    void closeHeaderUnfinished(quint16 error);
    void dropConnection();
    void fail(const QString& reason, quint16 error);
    void failUrl(HttpUrlError error);
    void finish(quint16 error);
    // True while nothing has moved the client on since `epoch` was taken.
    bool still(const QPointer<TCustomHttpCli>& self, quint64 epoch) const {
        return self && epoch == epoch_;
    }

    QString url_;
    QString proxy_;
    QString proxyPort_ = QStringLiteral("80");
    QString proxyUsername_;
    QString proxyPassword_;
    bool noCache_ = false;
    QPointer<QIODevice> rcvdStream_;
    int tag_ = 0;

    int statusCode_ = 0;
    QString reasonPhrase_;
    QString lastResponse_;
    qint64 contentLength_ = -1;
    QString contentType_;
    qint64 rcvdCount_ = 0;
    QStringList rcvdHeader_;
    QStringList wwwAuthenticate_;
    QString location_;
    QString docName_;
    THttpState state_ = httpReady;

    HttpUrl target_;        // the page being fetched now
    bool viaProxy_ = false; // the connection goes to the proxy
    QString connectHost_;   // where the connection goes
    QString connectPort_;
    bool statusSeen_ = false;  // this answer's status line has come
    bool anyLineSeen_ = false; // this answer has begun
    QString redirectTo_;       // this answer's Location
    qint64 headerBytes_ = 0;
    int headerLines_ = 0;
    int redirections_ = 0;
    bool docBegun_ = false;
    quint64 epoch_ = 0; // changes whenever a connection or a request ends or starts
    LineSplitter splitter_{ReceiveBufferSize, LineSplitter::LineEnd::Lf};
};
