#include "net/pop3_protocol.h"

#include "core/code_page.h"
#include "net/socket_errors.h"

#include <QPointer>

#include <limits>

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

qint64 readNumber(QByteArrayView text, qsizetype& i) {
    constexpr qint64 max = std::numeric_limits<qint64>::max();
    qint64 value = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        const int digit = text[i] - '0';
        value = value > (max - digit) / 10 ? max : value * 10 + digit;
    }
    return value;
}

int clampToInt(qint64 value) {
    return static_cast<int>(std::min<qint64>(value, std::numeric_limits<int>::max()));
}

// Servers send mail headers raw; most are UTF-8 today, the rest single-byte.
QString decodeLine(QByteArrayView line) {
    return line.isValidUtf8() ? QString::fromUtf8(line) : codepage::decode(line);
}

QString socketFailureText(quint16 error) {
    return QStringLiteral("-ERR %1 (Winsock error #%2)").arg(socketErrorText(error)).arg(error);
}

} // namespace

Pop3Numbers parsePop3Numbers(QByteArrayView line) {
    qsizetype i = 0;
    while (i < line.size() && !isDigit(line[i]))
        ++i;
    if (i == line.size())
        return {};
    const qint64 first = readNumber(line, i);
    while (i < line.size() && line[i] == ' ')
        ++i;
    if (i == line.size() || !isDigit(line[i]))
        return {};
    return {first, readNumber(line, i)};
}

TCustomPop3Cli::TCustomPop3Cli(QObject* parent) : QObject(parent) {}

TCustomPop3Cli::~TCustomPop3Cli() = default;

void TCustomPop3Cli::requireReady() const {
    if (state_ != pop3Ready && state_ != pop3InternalReady)
        throw Pop3Exception(QStringLiteral("POP3 component not ready"));
}

void TCustomPop3Cli::raiseInvalidNow(const QString& command) {
    errorMessage_ = QStringLiteral("-ERR ") + command + QStringLiteral(" command invalid now");
    const QString text = errorMessage_;
    Q_EMIT OnDisplay(text);
    throw Pop3Exception(text);
}

void TCustomPop3Cli::Connect() {
    requireReady();
    if (connected_)
        throw Pop3Exception(QStringLiteral("POP3 component already connected"));
    requestType_ = pop3Connect;
    requestDone_ = false;
    ++requestSerial_;
    errorMessage_.clear();
    timestamp_.clear();
    statusCode_ = 0;
    inMultiLine_ = false;
    bannerRefused_ = false;
    splitter_.clear();
    ++connectionSerial_;
    changeState(pop3DnsLookup);
    try {
        StartDnsLookup(host_);
    } catch (const NetException& e) {
        // Refused before anything started (an empty host): misuse, not a request.
        if (state_ == pop3DnsLookup) {
            requestDone_ = true;
            changeState(pop3Ready);
        }
        throw Pop3Exception(e.message());
    }
}

void TCustomPop3Cli::User() {
    if (protocolState_ >= pop3WaitingPass)
        raiseInvalidNow(QStringLiteral("USER"));
    execAsync(pop3User, QStringLiteral("USER ") + userName_.trimmed(), pop3WaitingPass,
              Reply::Plain);
}

void TCustomPop3Cli::Pass() {
    if (protocolState_ >= pop3Transaction)
        raiseInvalidNow(QStringLiteral("PASS"));
    execAsync(pop3Pass, QStringLiteral("PASS ") + passWord_.trimmed(), pop3Transaction,
              Reply::Plain);
}

void TCustomPop3Cli::Stat() {
    if (protocolState_ != pop3Transaction)
        raiseInvalidNow(QStringLiteral("STAT"));
    execAsync(pop3Stat, QStringLiteral("STAT"), pop3Transaction, Reply::Numbers);
}

void TCustomPop3Cli::List() {
    if (protocolState_ != pop3Transaction)
        raiseInvalidNow(QStringLiteral("LIST"));
    if (msgNum_ == 0)
        execAsync(pop3List, QStringLiteral("LIST"), pop3Transaction, Reply::Listing);
    else
        execAsync(pop3List, QStringLiteral("LIST %1").arg(msgNum_), pop3Transaction,
                  Reply::OneListing);
}

void TCustomPop3Cli::Top() {
    if (protocolState_ != pop3Transaction)
        raiseInvalidNow(QStringLiteral("TOP"));
    if (msgLines_ < 0)
        throw Pop3Exception(QStringLiteral("Invalid MsgLines for TOP command"));
    execAsync(pop3Top, QStringLiteral("TOP %1 %2").arg(msgNum_).arg(msgLines_), pop3Transaction,
              Reply::Message);
}

void TCustomPop3Cli::Quit() {
    requireReady();
    if (!connected_) {
        requestType_ = pop3Quit;
        requestDone_ = false;
        ++requestSerial_;
        errorMessage_.clear();
        statusCode_ = 0;
        protocolState_ = pop3Disconnected;
        triggerRequestDone(wsock::NoError);
        return;
    }
    execAsync(pop3Quit, QStringLiteral("QUIT"), pop3Disconnected, Reply::Plain);
}

void TCustomPop3Cli::Abort() {
    changeState(pop3Abort);
    const quint64 request = requestSerial_;
    QPointer<TCustomPop3Cli> self(this);
    // Ends a lookup and the connection; the close ends a pending request with WSAEINTR.
    AbortConnection();
    // A handler of the close may already have started the next request: leave it be.
    if (!self || request != requestSerial_)
        return;
    connected_ = false;
    protocolState_ = pop3Disconnected;
    if (!requestDone_)
        failRequest(socketFailureText(wsock::WSAEINTR), wsock::WSAEINTR);
    changeState(pop3Ready);
}

void TCustomPop3Cli::execAsync(TPop3Request request, const QString& command,
                               TPop3ProtocolState nextPhase, Reply reply) {
    requireReady();
    if (!connected_)
        throw Pop3Exception(QStringLiteral("POP3 component not connected"));
    // A user name or password with a line break in it would smuggle in a second command.
    for (const QChar c : command) {
        if (c == u'\r' || c == u'\n' || c == u'\0')
            throw Pop3Exception(QStringLiteral("Invalid character in POP3 command"));
    }
    requestType_ = request;
    requestDone_ = false;
    ++requestSerial_;
    nextPhase_ = nextPhase;
    reply_ = reply;
    inMultiLine_ = false;
    errorMessage_.clear();
    changeState(pop3WaitingResponse);
    const quint64 serial = connectionSerial_;
    QPointer<TCustomPop3Cli> self(this);
    Q_EMIT OnDisplay(QStringLiteral("> ") + command);
    if (!self || serial != connectionSerial_ || state_ != pop3WaitingResponse)
        return;
    SendBytes(codepage::encode(command) + "\r\n");
}

void TCustomPop3Cli::DnsLookupDone(quint16 error, const QString& address) {
    if (state_ != pop3DnsLookup)
        return;
    if (error != wsock::NoError) {
        failRequest(socketFailureText(error), error);
        return;
    }
    changeState(pop3Connecting);
    try {
        StartConnect(address, port_);
    } catch (const NetException& e) {
        if (state_ == pop3Connecting)
            failRequest(QStringLiteral("-ERR ") + e.message(), ErrorStatus);
    }
}

void TCustomPop3Cli::SessionConnected(quint16 error) {
    if (state_ != pop3Connecting)
        return;
    if (error != wsock::NoError) {
        connected_ = false;
        failRequest(socketFailureText(error), error);
        CloseConnection();
        return;
    }
    connected_ = true;
    splitter_.clear();
    changeState(pop3WaitingBanner);
}

bool TCustomPop3Cli::DataReceived(const char* data, qsizetype length) {
    QPointer<TCustomPop3Cli> self(this);
    const quint64 serial = connectionSerial_;
    while (length > 0) {
        const qsizetype taken = splitter_.append(data, length);
        data += taken;
        length -= taken;
        while (std::optional<QByteArray> line = splitter_.takeLine()) {
            processLine(*line);
            if (!self || serial != connectionSerial_)
                return false;
        }
        if (splitter_.isJammed()) {
            lineTooLong();
            return false;
        }
    }
    return true;
}

void TCustomPop3Cli::SessionClosed(quint16 error) {
    connected_ = false;
    ++connectionSerial_;
    splitter_.clear();
    inMultiLine_ = false;
    if (!requestDone_) {
        failRequest(state_ == pop3Abort ? socketFailureText(wsock::WSAEINTR)
                    : bannerRefused_    ? errorMessage_
                                        : QStringLiteral("-ERR Disconneced unexpectedly"),
                    wsock::WSAEINTR);
    }
    protocolState_ = pop3Disconnected;
    Q_EMIT OnSessionClosed(error);
}

void TCustomPop3Cli::processLine(const QByteArray& raw) {
    if (bannerRefused_)
        return;
    lastResponse_ = decodeLine(raw);
    const quint64 serial = connectionSerial_;
    QPointer<TCustomPop3Cli> self(this);
    Q_EMIT OnDisplay(QStringLiteral("< ") + lastResponse_);
    if (!self || serial != connectionSerial_)
        return;
    if (state_ == pop3WaitingBanner)
        handleBanner(raw);
    else if (state_ == pop3WaitingResponse && inMultiLine_)
        handleMultiLine(raw);
    else if (state_ == pop3WaitingResponse)
        handleFirstLine(raw);
    // Anything else is a line nobody asked for.
}

void TCustomPop3Cli::handleBanner(const QByteArray& raw) {
    if (!raw.startsWith('+')) {
        // The close ends the request; the refusal stays in ErrorMessage to say why.
        errorMessage_ = lastResponse_;
        statusCode_ = ErrorStatus;
        bannerRefused_ = true;
        CloseConnection();
        return;
    }
    const qsizetype open = lastResponse_.indexOf(u'<');
    const qsizetype close = lastResponse_.indexOf(u'>');
    timestamp_ = open >= 0 && close > open ? lastResponse_.mid(open, close - open + 1) : QString();
    statusCode_ = 0;
    protocolState_ = pop3WaitingUser;
    changeState(pop3Connected);
    const quint64 serial = connectionSerial_;
    QPointer<TCustomPop3Cli> self(this);
    Q_EMIT OnSessionConnected(wsock::NoError);
    if (self && serial == connectionSerial_)
        triggerRequestDone(wsock::NoError);
}

void TCustomPop3Cli::handleFirstLine(const QByteArray& raw) {
    if (!raw.startsWith('+')) {
        failRequest(lastResponse_, ErrorStatus);
        return;
    }
    statusCode_ = 0;
    protocolState_ = nextPhase_;
    switch (reply_) {
    case Reply::Listing:
        inMultiLine_ = true;
        Q_EMIT OnListBegin();
        break;
    case Reply::Message:
        inMultiLine_ = true;
        Q_EMIT OnMessageBegin();
        break;
    case Reply::Numbers:      // STAT: count and size
    case Reply::OneListing: { // LIST n: number and size
        const Pop3Numbers n = parsePop3Numbers(raw);
        (reply_ == Reply::Numbers ? msgCount_ : msgNum_) = clampToInt(n.first);
        msgSize_ = n.second;
        triggerRequestDone(wsock::NoError);
        break;
    }
    case Reply::Plain:
        triggerRequestDone(wsock::NoError);
        // The session is over; do not leave it to the server to hang up.
        if (requestType_ == pop3Quit)
            CloseConnection();
        break;
    }
}

void TCustomPop3Cli::handleMultiLine(const QByteArray& raw) {
    if (!connected_) {
        inMultiLine_ = false;
        failRequest(QStringLiteral("-ERR Disconneced unexpectedly"), ErrorStatus);
        return;
    }
    const bool listing = reply_ == Reply::Listing;
    if (raw == ".") {
        inMultiLine_ = false;
        const quint64 serial = connectionSerial_;
        QPointer<TCustomPop3Cli> self(this);
        if (listing)
            Q_EMIT OnListEnd();
        else
            Q_EMIT OnMessageEnd();
        if (self && serial == connectionSerial_)
            triggerRequestDone(wsock::NoError);
        return;
    }
    const QByteArrayView line = raw.startsWith("..") ? QByteArrayView(raw).sliced(1) : raw;
    lastResponse_ = decodeLine(line);
    if (listing) {
        const Pop3Numbers n = parsePop3Numbers(line);
        msgNum_ = clampToInt(n.first);
        msgSize_ = n.second;
        Q_EMIT OnListLine(lastResponse_);
    } else {
        Q_EMIT OnMessageLine(lastResponse_);
    }
}

void TCustomPop3Cli::lineTooLong() {
    // Nothing in POP3 comes close to this length: the server is broken or hostile, and
    // whatever follows on this connection cannot be trusted to line up.
    failRequest(
        QStringLiteral("-ERR Reply line longer than %1 characters").arg(splitter_.maxLineLength()),
        ErrorStatus);
    AbortConnection();
}

void TCustomPop3Cli::failRequest(const QString& message, quint16 error) {
    if (requestDone_)
        return;
    errorMessage_ = message;
    statusCode_ = ErrorStatus;
    triggerRequestDone(error);
}

void TCustomPop3Cli::triggerRequestDone(quint16 error) {
    if (requestDone_)
        return;
    requestDone_ = true;
    changeState(pop3Ready);
    const TPop3Request request = requestType_;
    QMetaObject::invokeMethod(
        this, [this, request, error] { Q_EMIT OnRequestDone(request, error); },
        Qt::QueuedConnection);
}
