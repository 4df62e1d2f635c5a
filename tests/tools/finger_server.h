#pragma once

#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <sys/socket.h>

// A finger server on 127.0.0.1 (port picked by the system). It reads the query line,
// sends its answer one piece per pass of the event loop, then ends as told.
class FingerServer : public QObject {
public:
    enum class End {
        Close,   // an orderly close after the answer
        Reset,   // a connection reset after the answer
        Silent,  // stays connected, says nothing more
        Endless, // keeps sending lines for as long as the client takes them
    };

    FingerServer() {
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* client = server_.nextPendingConnection())
                serve(client);
        });
    }
    bool listen() { return server_.listen(QHostAddress::LocalHost, 0); }
    QString portText() const { return QString::number(server_.serverPort()); }

    QList<QByteArray> answer;
    End end = End::Close;
    QList<QByteArray> queries; // every query line received, CR LF included
    QPointer<QTcpSocket> last; // the latest connection

private:
    void serve(QTcpSocket* client) {
        last = client;
        connect(client, &QTcpSocket::readyRead, this, [this, client] {
            if (!client->canReadLine())
                return;
            queries << client->readLine();
            sendPiece(client, 0);
        });
    }
    void sendPiece(QTcpSocket* client, int i) {
        if (i < answer.size()) {
            client->write(answer[i]);
            client->flush();
            QTimer::singleShot(0, client, [this, client, i] { sendPiece(client, i + 1); });
            return;
        }
        switch (end) {
        case End::Close:
            client->disconnectFromHost();
            break;
        case End::Reset: {
            // Lingering for no time makes the close a reset.
            const linger now{1, 0};
            ::setsockopt(int(client->socketDescriptor()), SOL_SOCKET, SO_LINGER, &now, sizeof now);
            client->abort();
            break;
        }
        case End::Silent:
            break;
        case End::Endless:
            connect(client, &QTcpSocket::bytesWritten, client, [client] {
                while (client->bytesToWrite() < 256 * 1024)
                    client->write(QByteArray(63, 'z') + "\r\n");
            });
            client->write("start\r\n");
            break;
        }
    }

    QTcpServer server_;
};
