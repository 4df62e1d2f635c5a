#include "scripted_http_server.h"

#include <QFile>
#include <QProcess>
#include <QSslServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <sys/socket.h>

// QSslServer offers a connection once its handshake is done, which is what
// pendingConnectionAvailable (unlike newConnection) waits for.
ScriptedHttpServer::ScriptedHttpServer(const std::optional<TestCertificate>& tls)
    : server_(tls ? std::make_unique<QSslServer>() : std::make_unique<QTcpServer>()),
      tls_(tls.has_value()) {
    if (tls) {
        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        configuration.setLocalCertificate(tls->certificate);
        configuration.setPrivateKey(tls->key);
        configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
        static_cast<QSslServer&>(*server_).setSslConfiguration(configuration);
    }
    connect(server_.get(), &QTcpServer::pendingConnectionAvailable, this,
            &ScriptedHttpServer::accept);
}

QString ScriptedHttpServer::url(const QString& path, const QString& host) const {
    return QStringLiteral("%1://%2:%3%4").arg(tls_ ? "https" : "http", host).arg(port()).arg(path);
}

void ScriptedHttpServer::accept() {
    while (QTcpSocket* client = server_->nextPendingConnection()) {
        auto pending = std::make_shared<QByteArray>();
        connect(client, &QTcpSocket::readyRead, this, [this, client, pending] {
            *pending += client->readAll();
            const qsizetype end = pending->indexOf("\r\n\r\n");
            if (end < 0)
                return;
            const QByteArray head = pending->left(end + 4);
            pending->clear();
            heads_.append(head);
            lastClient_ = client;
            const Answer answer = responder_ ? responder_(head) : Answer{};
            client->write(answer.bytes);
            if (answer.end == Answer::Reset) {
                client->flush();
                resetConnection(client);
            } else if (answer.end == Answer::Close) {
                client->disconnectFromHost();
            }
        });
    }
}

void resetConnection(QTcpSocket* socket) {
    const linger hard{1, 0};
    setsockopt(static_cast<int>(socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard,
               sizeof hard);
    socket->abort();
}

ScriptedTunnelProxy::ScriptedTunnelProxy() {
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* client = server_.nextPendingConnection()) {
            auto pending = std::make_shared<QByteArray>();
            auto target = std::make_shared<QTcpSocket*>(nullptr);
            connect(client, &QTcpSocket::readyRead, this, [this, client, pending, target] {
                if (*target) {
                    if (firstTunnelBytes_.isEmpty())
                        firstTunnelBytes_ = client->peek(client->bytesAvailable());
                    (*target)->write(client->readAll());
                    return;
                }
                *pending += client->readAll();
                const qsizetype end = pending->indexOf("\r\n\r\n");
                if (end < 0)
                    return;
                heads_.append(pending->left(end + 4));
                if (!refusal_.isEmpty()) {
                    client->write(refusal_);
                    client->disconnectFromHost();
                    return;
                }
                // "CONNECT host:port HTTP/1.0": the port is all the proxy needs here.
                const QByteArray line = pending->left(pending->indexOf("\r\n"));
                const QByteArray hostPort = line.split(' ').value(1);
                const quint16 port = hostPort.mid(hostPort.lastIndexOf(':') + 1).toUShort();
                *target = new QTcpSocket(client);
                connect(*target, &QTcpSocket::readyRead, client,
                        [client, target] { client->write((*target)->readAll()); });
                connect(*target, &QTcpSocket::disconnected, client,
                        [client] { client->disconnectFromHost(); });
                connect(*target, &QTcpSocket::connected, client,
                        [client] { client->write("HTTP/1.0 200 Connection established\r\n\r\n"); });
                (*target)->connectToHost(QHostAddress::LocalHost, port);
            });
        }
    });
}

std::optional<TestCertificate> makeTestCertificate() {
    QTemporaryDir dir;
    if (!dir.isValid())
        return std::nullopt;
    QProcess openssl;
    openssl.setWorkingDirectory(dir.path());
    openssl.start(QStringLiteral("openssl"),
                  {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                   "-nodes", "-days", "2", "-subj", "/CN=localhost", "-addext",
                   "subjectAltName=DNS:localhost,IP:127.0.0.1", "-keyout", "key.pem", "-out",
                   "cert.pem"});
    if (!openssl.waitForFinished(30000) || openssl.exitCode() != 0)
        return std::nullopt;
    QFile cert(dir.filePath(QStringLiteral("cert.pem")));
    QFile key(dir.filePath(QStringLiteral("key.pem")));
    if (!cert.open(QIODevice::ReadOnly) || !key.open(QIODevice::ReadOnly))
        return std::nullopt;
    TestCertificate made{QSslCertificate(cert.readAll(), QSsl::Pem),
                         QSslKey(key.readAll(), QSsl::Ec, QSsl::Pem)};
    if (made.certificate.isNull() || made.key.isNull())
        return std::nullopt;
    return made;
}
