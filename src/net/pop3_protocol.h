#pragma once

#include "net/line_splitter.h"
#include "net/net_exception.h"

#include <QByteArrayView>
#include <QObject>
#include <QString>

enum TPop3ProtocolState : quint8 {
    pop3Disconnected = 0,
    pop3WaitingUser = 1,
    pop3WaitingPass = 2,
    pop3Transaction = 3,
};

enum TPop3Request : quint8 {
    pop3Connect = 0,
    pop3User = 1,
    pop3Pass = 2,
    pop3Quit = 4,
    pop3Stat = 5,
    pop3List = 6,
    pop3Top = 8,
};

enum TPop3State : quint8 {
    pop3Ready,
    pop3DnsLookup,
    pop3Connecting,
    pop3Connected, // right after the banner, until the request is done
    pop3InternalReady,
    pop3WaitingBanner,
    pop3WaitingResponse,
    pop3Abort,
};

// The two numbers of a STAT or LIST reply: the first run of digits, then, after blanks,
// the second. Both are 0 unless both are there; huge values stop at the type's maximum.
struct Pop3Numbers {
    qint64 first = 0;
    qint64 second = 0;
};
Pop3Numbers parsePop3Numbers(QByteArrayView line);

// The POP3 client (RFC 1939, the commands the program uses) as a state machine over a
// line splitter. It does no networking itself: a subclass supplies the transport (the
// Start/Send/Close hooks) and reports what the transport saw (DnsLookupDone,
// SessionConnected, DataReceived, SessionClosed). TPop3Cli is that subclass over a
// TWSocket; tests and the fuzzer drive the hooks directly.
//
// One request at a time. Misuse throws Pop3Exception before anything is sent; every
// request that started ends with exactly one OnRequestDone, posted through the event
// loop, so it always arrives after the call that started it has returned.
class TCustomPop3Cli : public QObject {
    Q_OBJECT

public:
    static constexpr qsizetype ReceiveBufferSize = 4096;
    static constexpr int ErrorStatus = 500;

    ~TCustomPop3Cli() override;

    const QString& Host() const { return host_; }
    void setHost(const QString& host) { host_ = host; }
    const QString& Port() const { return port_; } // a number or a service name
    void setPort(const QString& port) { port_ = port; }
    const QString& UserName() const { return userName_; }
    void setUserName(const QString& name) { userName_ = name; }
    const QString& PassWord() const { return passWord_; }
    void setPassWord(const QString& password) { passWord_ = password; }
    int MsgNum() const { return msgNum_; } // 0 = all messages for List
    void setMsgNum(int number) { msgNum_ = number; }
    int MsgLines() const { return msgLines_; } // body lines for Top
    void setMsgLines(int lines) { msgLines_ = lines; }

    int MsgCount() const { return msgCount_; }
    qint64 MsgSize() const { return msgSize_; }
    const QString& LastResponse() const { return lastResponse_; }
    const QString& ErrorMessage() const { return errorMessage_; }
    // The APOP time stamp of the banner, "<...>", or empty.
    const QString& Timestamp() const { return timestamp_; }
    // 0 after a "+" reply, ErrorStatus after any other reply or a local failure.
    int StatusCode() const { return statusCode_; }
    TPop3Request RequestType() const { return requestType_; }
    TPop3State State() const { return state_; }
    TPop3ProtocolState ProtocolState() const { return protocolState_; }
    bool Connected() const { return connected_; }

    void Connect();
    void User();
    void Pass();
    void Stat();
    void List();
    void Top();
    void Quit();
    void Abort();

Q_SIGNALS:
    void OnSessionConnected(quint16 error);
    void OnSessionClosed(quint16 error);
    void OnRequestDone(TPop3Request request, quint16 error);
    void OnMessageBegin();
    void OnMessageLine(const QString& line);
    void OnMessageEnd();
    void OnListBegin();
    void OnListLine(const QString& line);
    void OnListEnd();
    // Every line sent ("> " + command) and received ("< " + line).
    void OnDisplay(const QString& text);

protected:
    explicit TCustomPop3Cli(QObject* parent = nullptr);

    // The transport. StartDnsLookup and StartConnect may throw NetException for input
    // they cannot use; their answers may come before they return.
    virtual void StartDnsLookup(const QString& host) = 0;
    virtual void StartConnect(const QString& address, const QString& port) = 0;
    virtual void SendBytes(const QByteArray& bytes) = 0;
    // Flushes and closes; SessionClosed follows when a connection was open.
    virtual void CloseConnection() = 0;
    // Drops a lookup and the connection at once; SessionClosed before it returns when a
    // connection was open or opening.
    virtual void AbortConnection() = 0;

    // What the transport saw.
    void DnsLookupDone(quint16 error, const QString& address);
    void SessionConnected(quint16 error);
    // Bytes from the server. Returns false once the client stopped taking them (the
    // connection was closed meanwhile); the transport then drops the rest.
    bool DataReceived(const char* data, qsizetype length);
    // How much the receive buffer can take now; read no more than this at a time.
    qsizetype ReceiveSpace() const { return splitter_.freeSpace(); }
    void SessionClosed(quint16 error);

private:
    enum class Reply { Plain, Numbers, OneListing, Listing, Message };

    void requireReady() const;
    [[noreturn]] void raiseInvalidNow(const QString& command);
    void execAsync(TPop3Request request, const QString& command, TPop3ProtocolState nextPhase,
                   Reply reply);
    void changeState(TPop3State state) { state_ = state; }
    void processLine(const QByteArray& raw);
    void handleBanner(const QByteArray& raw);
    void handleFirstLine(const QByteArray& raw);
    void handleMultiLine(const QByteArray& raw);
    void lineTooLong();
    void failRequest(const QString& message, quint16 error);
    void triggerRequestDone(quint16 error);

    QString host_;
    QString port_ = QStringLiteral("pop3");
    QString userName_;
    QString passWord_;
    int msgNum_ = 0;
    int msgLines_ = 0;
    int msgCount_ = 0;
    qint64 msgSize_ = 0;
    QString lastResponse_;
    QString errorMessage_;
    QString timestamp_;
    int statusCode_ = 0;
    TPop3Request requestType_ = pop3Connect;
    TPop3State state_ = pop3Ready;
    TPop3ProtocolState protocolState_ = pop3Disconnected;
    TPop3ProtocolState nextPhase_ = pop3Disconnected;
    Reply reply_ = Reply::Plain;
    bool connected_ = false;
    bool requestDone_ = true; // no request is running
    bool inMultiLine_ = false;
    bool bannerRefused_ = false;   // nothing more is read until the close
    quint64 connectionSerial_ = 0; // changes whenever the connection under us ends
    quint64 requestSerial_ = 0;    // changes whenever a request starts
    LineSplitter splitter_{ReceiveBufferSize};
};
