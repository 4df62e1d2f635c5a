#include "net/http_protocol.h"

#include "core/code_page.h"
#include "net/socket_errors.h"

#include <QCoreApplication>
#include <QIODevice>

#include <cstring>

namespace {

constexpr QLatin1String kBusy("HTTP component is busy");
constexpr QLatin1String kAborted("Connection aborted on request");
constexpr QLatin1String kCannotResolve("can't resolve hostname to IP address");
constexpr QLatin1String kLineTooLong("HTTP line too long");
constexpr QLatin1String kInvalidStatusLine("Invalid status line");
constexpr QLatin1String kTooManyRedirections("Too many redirections");
constexpr QLatin1String kUnsupportedScheme("Unsupported scheme");
constexpr QLatin1String kInvalidUrl("Invalid URL");
constexpr QLatin1String kInvalidProxy("Invalid proxy address");
constexpr QLatin1String kHeaderTooLarge("HTTP header too large");
constexpr QLatin1String kTooManyHeaderLines("Too many HTTP header lines");
constexpr QLatin1String kDocumentTooLarge("HTTP document too large");
constexpr QLatin1String kNoAnswer("No answer from the server");
constexpr QLatin1String kCannotWrite("Cannot write the document: ");

// The code of every failure the client itself ends a request with (bad answers, bounds,
// redirections, TLS); socket failures keep their own code.
constexpr quint16 kClientGaveUp = wsock::WSAECONNABORTED;

QString socketFailure(quint16 error) {
    return QStringLiteral("%1 (Error #%2)").arg(socketErrorText(error)).arg(error);
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// A redirection is read back as an address, and addresses are UTF-8 on the wire.
QString decodeLocation(const QByteArray& value) {
    return value.isValidUtf8() ? QString::fromUtf8(value) : codepage::decode(value);
}

} // namespace

TCustomHttpCli::TCustomHttpCli(QObject* parent) : QObject(parent) {}

TCustomHttpCli::~TCustomHttpCli() = default;

void TCustomHttpCli::GetASync() {
    if (state_ != httpReady)
        throw EHttpException(wsock::WSAEALREADY, QString(kBusy));
    location_.clear();
    docName_.clear();
    redirections_ = 0;
    docBegun_ = false;
    state_ = httpDnsLookup;
    beginAnswer();
    HttpUrl url;
    if (const HttpUrlError error = parseHttpUrl(url_, url); error != HttpUrlError::None) {
        failUrl(error);
        return;
    }
    startRequest(url);
}

void TCustomHttpCli::Abort() {
    if (state_ == httpReady || state_ == httpDone)
        return;
    fail(kAborted, wsock::WSAEINTR);
}

void TCustomHttpCli::startRequest(const HttpUrl& url) {
    target_ = url;
    docName_ = url.documentName();
    viaProxy_ = !proxy_.trimmed().isEmpty();
    connectHost_ = url.host;
    connectPort_ = QString::number(url.port);
    state_ = httpDnsLookup;
    if (viaProxy_) {
        HttpUrl proxy;
        if (parseHttpUrl(proxy_, proxy) != HttpUrlError::None) {
            fail(kInvalidProxy, wsock::WSAEINVAL);
            return;
        }
        connectHost_ = proxy.host;
        connectPort_ = proxy.portGiven ? QString::number(proxy.port) : proxyPort_;
    }
    const quint64 epoch = ++epoch_;
    try {
        StartDnsLookup(connectHost_);
    } catch (const NetException&) {
        if (epoch == epoch_)
            fail(kCannotResolve, wsock::WSAHOST_NOT_FOUND);
    }
}

void TCustomHttpCli::DnsLookupDone(quint16 error, const QString& address) {
    if (state_ != httpDnsLookup)
        return;
    if (error != wsock::NoError) {
        fail(kCannotResolve, error);
        return;
    }
    state_ = httpConnecting;
    const quint64 epoch = epoch_;
    try {
        StartConnect(address, connectPort_);
    } catch (const NetException& e) {
        if (epoch == epoch_ && state_ == httpConnecting)
            fail(e.message(), wsock::WSAEINVAL);
    }
}

void TCustomHttpCli::SessionConnected(quint16 error) {
    if (state_ != httpConnecting)
        return;
    if (error != wsock::NoError) {
        fail(socketFailure(error), error);
        return;
    }
    if (!target_.isHttps()) {
        sendRequest();
    } else if (viaProxy_) {
        state_ = httpTunnelling;
        beginAnswer();
        const QByteArray hostAndPort = target_.hostAndPort();
        SendBytes("CONNECT " + hostAndPort + " HTTP/1.0\r\nHost: " + hostAndPort + "\r\n" +
                  proxyAuthorization() + "\r\n");
    } else {
        startTls();
    }
}

void TCustomHttpCli::startTls() {
    state_ = httpTlsHandshake;
    const quint64 epoch = epoch_;
    try {
        StartTls(target_.host);
    } catch (const NetException& e) {
        if (epoch == epoch_)
            fail(e.message(), kClientGaveUp);
    }
}

void TCustomHttpCli::TlsDone(quint16 error, const QString& errorText) {
    if (state_ != httpTlsHandshake)
        return;
    if (error != wsock::NoError) {
        fail(errorText.isEmpty() ? socketFailure(error) : errorText, error);
        return;
    }
    sendRequest();
}

QByteArray TCustomHttpCli::proxyAuthorization() const {
    if (proxyUsername_.isEmpty())
        return {};
    return "Proxy-Authorization: Basic " +
           codepage::encode(QString(proxyUsername_ + u':' + proxyPassword_)).toBase64() + "\r\n";
}

void TCustomHttpCli::sendRequest() {
    // Through a tunnel the proxy no longer reads along: the origin gets the plain form.
    const bool proxied = viaProxy_ && !target_.isHttps();
    QByteArray request = "GET " + (proxied ? target_.absolute() : target_.target) +
                         " HTTP/1.0\r\nHost: " + target_.authority() + "\r\n";
    if (noCache_)
        request += "Pragma: no-cache\r\n";
    if (proxied)
        request += proxyAuthorization();
    if (!target_.user.isEmpty())
        request +=
            "Authorization: Basic " + (target_.user + ':' + target_.password).toBase64() + "\r\n";
    request += "\r\n";
    state_ = httpWaitingHeader;
    splitter_.clear();
    beginAnswer();
    SendBytes(request);
}

void TCustomHttpCli::beginAnswer() {
    statusCode_ = 0;
    reasonPhrase_.clear();
    lastResponse_.clear();
    contentLength_ = -1;
    contentType_.clear();
    rcvdCount_ = 0;
    rcvdHeader_.clear();
    wwwAuthenticate_.clear();
    statusSeen_ = false;
    anyLineSeen_ = false;
    redirectTo_.clear();
    headerBytes_ = 0;
    headerLines_ = 0;
}

qsizetype TCustomHttpCli::ReceiveSpace() const {
    if (state_ == httpReceivingBody)
        return static_cast<qsizetype>(std::min<qint64>(64 * 1024, MaxBodySize - rcvdCount_ + 1));
    if (state_ == httpWaitingHeader || state_ == httpTunnelling)
        return splitter_.freeSpace();
    return 0;
}

bool TCustomHttpCli::DataReceived(const char* data, qsizetype length) {
    const QPointer<TCustomHttpCli> self(this);
    const quint64 epoch = epoch_;
    while (length > 0) {
        if (state_ == httpReceivingBody) {
            deliverBody(QByteArray(data, length));
            return still(self, epoch);
        }
        if (state_ != httpWaitingHeader && state_ != httpTunnelling)
            return false;
        const qsizetype taken = splitter_.append(data, length);
        data += taken;
        length -= taken;
        if (state_ == httpWaitingHeader && !anyLineSeen_) {
            const QByteArrayView start = splitter_.peekPending();
            if (start.size() >= 6 && qstrnicmp(start.data(), "<html>", 6) == 0) {
                startHeaderless();
                if (!still(self, epoch))
                    return false;
                continue;
            }
            if (start.size() < 6 && !start.contains('\n'))
                continue; // too early to tell
        }
        while (state_ == httpWaitingHeader || state_ == httpTunnelling) {
            const std::optional<QByteArray> line = splitter_.takeLine();
            if (!line)
                break;
            processHeaderLine(*line);
            if (!still(self, epoch))
                return false;
        }
        if ((state_ == httpWaitingHeader || state_ == httpTunnelling) && splitter_.isJammed()) {
            fail(kLineTooLong, kClientGaveUp);
            return false;
        }
    }
    return still(self, epoch);
}

void TCustomHttpCli::processHeaderLine(const QByteArray& line) {
    headerBytes_ += line.size() + 1;
    if (headerBytes_ > MaxHeaderSize) {
        fail(kHeaderTooLarge, kClientGaveUp);
        return;
    }
    if (line.isEmpty()) {
        if (!anyLineSeen_) // blank lines before an answer are noise
            return;
        if (state_ == httpTunnelling)
            endTunnelHeader();
        else
            endHeader();
        return;
    }
    if (++headerLines_ > MaxHeaderLines) {
        fail(kTooManyHeaderLines, kClientGaveUp);
        return;
    }
    const bool first = !anyLineSeen_;
    anyLineSeen_ = true;
    lastResponse_ = codepage::decode(line);
    if (state_ == httpTunnelling) {
        if (first && !takeStatusLine(line))
            fail(kInvalidStatusLine, kClientGaveUp);
        return;
    }
    rcvdHeader_.append(lastResponse_);
    const QPointer<TCustomHttpCli> self(this);
    const quint64 epoch = epoch_;
    if (first) {
        Q_EMIT OnHeaderBegin();
        if (!still(self, epoch))
            return;
        if (!takeStatusLine(line)) {
            fail(kInvalidStatusLine, kClientGaveUp);
            return;
        }
    } else {
        takeHeaderField(line);
    }
    Q_EMIT OnHeaderData();
    if (still(self, epoch) && statusCode_ >= 400)
        finish(wsock::NoError); // the status says all the caller needs
}

bool TCustomHttpCli::takeStatusLine(const QByteArray& line) {
    // "HTTP/1.x nnn reason"
    if (!line.startsWith("HTTP/1.0") && !line.startsWith("HTTP/1.1"))
        return false;
    if (line.size() < 12 || line[8] != ' ' || !isDigit(line[9]) || !isDigit(line[10]) ||
        !isDigit(line[11]) || (line.size() > 12 && line[12] != ' '))
        return false;
    statusCode_ = (line[9] - '0') * 100 + (line[10] - '0') * 10 + (line[11] - '0');
    reasonPhrase_ = codepage::decode(line.mid(13));
    statusSeen_ = true;
    return true;
}

void TCustomHttpCli::takeHeaderField(const QByteArray& line) {
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0)
        return;
    const QByteArray name = line.first(colon).trimmed().toLower();
    const QByteArray value = line.sliced(colon + 1).trimmed();
    if (name == "location") {
        redirectTo_ = decodeLocation(value);
    } else if (name == "content-length") {
        bool ok = false;
        const qint64 length = value.toLongLong(&ok);
        contentLength_ = ok && length >= 0 ? length : -1;
    } else if (name == "content-type") {
        contentType_ = codepage::decode(value).toLower();
    } else if (name == "www-authenticate") {
        wwwAuthenticate_.append(codepage::decode(value));
    }
}

void TCustomHttpCli::endHeader() {
    if (statusCode_ >= 100 && statusCode_ < 200) {
        beginAnswer(); // an interim answer; the real one follows
        return;
    }
    const bool redirect =
        statusCode_ >= 300 && statusCode_ < 400 && statusCode_ != 304 && !redirectTo_.isEmpty();
    const QPointer<TCustomHttpCli> self(this);
    const quint64 epoch = epoch_;
    Q_EMIT OnHeaderEnd();
    if (!still(self, epoch))
        return;
    if (redirect) {
        if (++redirections_ > MaxRedirections) {
            fail(kTooManyRedirections, kClientGaveUp);
            return;
        }
        HttpUrl next;
        if (const HttpUrlError error = resolveHttpLocation(target_, redirectTo_, next);
            error != HttpUrlError::None) {
            failUrl(error);
            return;
        }
        location_ = QString::fromLatin1(next.absolute());
        dropConnection();
        startRequest(next);
        return;
    }
    state_ = httpReceivingBody;
    deliverBody(splitter_.takePending());
}

void TCustomHttpCli::endTunnelHeader() {
    if (statusCode_ < 200 || statusCode_ >= 300) {
        finish(wsock::NoError); // the proxy's refusal is the answer
        return;
    }
    splitter_.clear();
    startTls();
}

void TCustomHttpCli::startHeaderless() {
    // An old server's bare page: no header at all.
    anyLineSeen_ = true;
    const QPointer<TCustomHttpCli> self(this);
    const quint64 epoch = epoch_;
    Q_EMIT OnHeaderBegin();
    if (!still(self, epoch))
        return;
    statusCode_ = 200;
    reasonPhrase_ = QStringLiteral("OK");
    contentType_ = QStringLiteral("text/html");
    Q_EMIT OnHeaderEnd();
    if (!still(self, epoch))
        return;
    state_ = httpReceivingBody;
    deliverBody(splitter_.takePending());
}

void TCustomHttpCli::deliverBody(const QByteArray& bytes) {
    const qint64 room = MaxBodySize - rcvdCount_;
    const QByteArray chunk = bytes.size() > room ? bytes.first(room) : bytes;
    if (!chunk.isEmpty()) {
        const QPointer<TCustomHttpCli> self(this);
        const quint64 epoch = epoch_;
        if (!docBegun_) {
            docBegun_ = true;
            Q_EMIT OnDocBegin();
            if (!still(self, epoch))
                return;
        }
        rcvdCount_ += chunk.size();
        if (rcvdStream_ && rcvdStream_->write(chunk) != chunk.size()) {
            fail(QString(kCannotWrite) + rcvdStream_->errorString(), kClientGaveUp);
            return;
        }
        Q_EMIT OnDocData(chunk);
        if (!still(self, epoch))
            return;
    }
    if (bytes.size() > room)
        fail(kDocumentTooLarge, kClientGaveUp); // a stream that never ends ends here
}

void TCustomHttpCli::SessionClosed(quint16 error) {
    switch (state_) {
    case httpReceivingBody:
        if (error != wsock::NoError)
            fail(socketFailure(error), error); // the page is cut short
        else
            finish(wsock::NoError);
        break;
    case httpWaitingHeader:
    case httpTunnelling:
        closeHeaderUnfinished(error);
        break;
    case httpConnecting:
    case httpTlsHandshake:
        fail(socketFailure(error != wsock::NoError ? error : kClientGaveUp),
             error != wsock::NoError ? error : kClientGaveUp);
        break;
    default:
        break; // a close we caused, or none that matters now
    }
}

void TCustomHttpCli::closeHeaderUnfinished(quint16 error) {
    if (error != wsock::NoError) {
        fail(socketFailure(error), error);
        return;
    }
    // A last line without its line end still counts.
    if (splitter_.pending() > 0) {
        const QPointer<TCustomHttpCli> self(this);
        const quint64 epoch = epoch_;
        processHeaderLine(splitter_.takePending());
        if (!still(self, epoch) || (state_ != httpWaitingHeader && state_ != httpTunnelling))
            return;
    }
    // A status without the rest of its header stands, with no body; a refusing proxy's
    // status too. Nothing at all is a failure.
    const bool tunnelOpened = state_ == httpTunnelling && statusCode_ >= 200 && statusCode_ < 300;
    if (statusSeen_ && !tunnelOpened)
        finish(wsock::NoError);
    else
        fail(kNoAnswer, kClientGaveUp);
}

void TCustomHttpCli::dropConnection() {
    ++epoch_;
    splitter_.clear();
    // Whatever the transport reports while it lets go is not news.
    state_ = httpAborting;
    AbortConnection();
}

void TCustomHttpCli::failUrl(HttpUrlError error) {
    fail(error == HttpUrlError::UnsupportedScheme ? kUnsupportedScheme : kInvalidUrl,
         wsock::WSAEINVAL);
}

void TCustomHttpCli::fail(const QString& reason, quint16 error) {
    if (state_ == httpReady || state_ == httpDone)
        return;
    statusCode_ = LocalFailure;
    reasonPhrase_ = reason;
    finish(error);
}

void TCustomHttpCli::finish(quint16 error) {
    if (state_ == httpReady || state_ == httpDone)
        return;
    dropConnection();
    state_ = httpDone;
    const QPointer<TCustomHttpCli> self(this);
    if (std::exchange(docBegun_, false)) {
        Q_EMIT OnDocEnd();
        if (!self)
            return;
    }
    // Posted through the application rather than this object, so that the owner may
    // delete the client inside OnRequestDone.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [self, error] {
            if (!self || self->state_ != httpDone)
                return;
            self->state_ = httpReady;
            Q_EMIT self->OnRequestDone(httpGET, error);
        },
        Qt::QueuedConnection);
}
