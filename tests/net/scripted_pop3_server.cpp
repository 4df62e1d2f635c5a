#include "scripted_pop3_server.h"

#include <QTcpSocket>
#include <QTest>

#include <memory>

ScriptedPop3Server::ScriptedPop3Server() {
    connect(&server_, &QTcpServer::newConnection, this, &ScriptedPop3Server::accept);
}

bool ScriptedPop3Server::waitForAllClosed(int timeoutMs) {
    return QTest::qWaitFor(
        [this] {
            for (const QTcpSocket* c : clients_)
                if (c->state() != QAbstractSocket::UnconnectedState)
                    return false;
            return true;
        },
        timeoutMs);
}

void ScriptedPop3Server::accept() {
    while (QTcpSocket* client = server_.nextPendingConnection()) {
        clients_.append(client);
        auto pending = std::make_shared<QByteArray>();
        connect(client, &QTcpSocket::readyRead, this, [this, client, pending] {
            *pending += client->readAll();
            qsizetype end;
            while (client->state() == QAbstractSocket::ConnectedState &&
                   (end = pending->indexOf("\r\n")) >= 0) {
                const QByteArray command = pending->left(end);
                pending->remove(0, end + 2);
                commands_.append(command);
                Reply reply = responder_                   ? responder_(command)
                              : replies_.contains(command) ? replies_[command]
                              : command == "QUIT"          ? Reply{"+OK bye\r\n", true}
                                                           : Reply{"-ERR unknown command\r\n"};
                client->write(reply.bytes);
                if (reply.close)
                    client->disconnectFromHost();
            }
        });
        if (!banner_.isEmpty())
            client->write(banner_);
    }
}
