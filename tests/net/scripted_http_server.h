#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSslCertificate>
#include <QSslKey>
#include <QTcpServer>

#include <functional>
#include <memory>
#include <optional>

class QTcpSocket;

struct TestCertificate {
    QSslCertificate certificate;
    QSslKey key;
};
// A fresh self-signed certificate for "localhost" and 127.0.0.1, made with the openssl
// command; nothing when that fails.
std::optional<TestCertificate> makeTestCertificate();

// An HTTP server for tests on 127.0.0.1, port picked by the system, plain or over TLS.
// It reads each request head (up to the empty line) and answers it from a responder.
class ScriptedHttpServer : public QObject {
    Q_OBJECT

public:
    struct Answer {
        QByteArray bytes;
        enum End { Close, Reset, StayOpen } end = Close;
    };
    using Responder = std::function<Answer(const QByteArray& head)>;

    // Speaks TLS when given a certificate.
    explicit ScriptedHttpServer(const std::optional<TestCertificate>& tls = std::nullopt);

    bool listen() { return server_->listen(QHostAddress::LocalHost, 0); }
    quint16 port() const { return server_->serverPort(); }
    // "scheme://host:port" + path, host "127.0.0.1" unless given.
    QString url(const QString& path, const QString& host = QStringLiteral("127.0.0.1")) const;

    void setResponder(Responder responder) { responder_ = std::move(responder); }
    void setAnswer(const QByteArray& bytes, Answer::End end = Answer::Close) {
        responder_ = [bytes, end](const QByteArray&) { return Answer{bytes, end}; };
    }
    // Every request head received, with its line ends.
    const QList<QByteArray>& heads() const { return heads_; }
    // The connection of the last request, for sending more.
    QTcpSocket* lastClient() const { return lastClient_; }

private:
    void accept();

    std::unique_ptr<QTcpServer> server_;
    bool tls_ = false;
    Responder responder_;
    QList<QByteArray> heads_;
    QTcpSocket* lastClient_ = nullptr;
};

// Ends a connection with a reset instead of an orderly close.
void resetConnection(QTcpSocket* socket);

// A proxy that opens CONNECT tunnels to 127.0.0.1 and relays both ways. It records each
// CONNECT head and the first bytes the client sends through the tunnel.
class ScriptedTunnelProxy : public QObject {
    Q_OBJECT

public:
    ScriptedTunnelProxy();
    bool listen() { return server_.listen(QHostAddress::LocalHost, 0); }
    quint16 port() const { return server_.serverPort(); }
    // Answered to a CONNECT instead of opening the tunnel, when set.
    void setRefusal(const QByteArray& answer) { refusal_ = answer; }
    const QList<QByteArray>& heads() const { return heads_; }
    const QByteArray& firstTunnelBytes() const { return firstTunnelBytes_; }

private:
    QTcpServer server_;
    QByteArray refusal_;
    QList<QByteArray> heads_;
    QByteArray firstTunnelBytes_;
};
