#include "app/command_channel.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>

#include <unistd.h>

namespace {
// A command is a short word: a client that sends more, or nothing, is not one of ours.
constexpr qint64 MaxLine = 32;
constexpr int ClientTimeoutMs = 2000;
const QByteArray Ok = QByteArrayLiteral("ok\n");
} // namespace

QString commandWord(RemoteCommand command) {
    switch (command) {
    case RemoteCommand::Options:
        return QStringLiteral("options");
    case RemoteCommand::Tools:
        return QStringLiteral("tools");
    case RemoteCommand::Log:
        return QStringLiteral("log");
    case RemoteCommand::Exit:
        return QStringLiteral("exit");
    }
    return {};
}

std::optional<RemoteCommand> commandFromWord(const QString& word) {
    for (RemoteCommand c :
         {RemoteCommand::Options, RemoteCommand::Tools, RemoteCommand::Log, RemoteCommand::Exit}) {
        if (word == commandWord(c))
            return c;
    }
    return std::nullopt;
}

QString defaultCommandSocketPath() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists())
        return QDir(runtime).filePath(QStringLiteral("vorn.socket"));
    return QDir(QDir::tempPath()).filePath(QStringLiteral("vorn-%1.socket").arg(::getuid()));
}

CommandServer::CommandServer(QObject* parent) : QObject(parent), server_(new QLocalServer(this)) {
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &CommandServer::accept);
}

CommandServer::~CommandServer() = default;

bool CommandServer::listen(const QString& path) {
    QLocalServer::removeServer(path);
    return server_->listen(path);
}

QString CommandServer::errorString() const {
    return server_->errorString();
}

void CommandServer::accept() {
    while (QLocalSocket* client = server_->nextPendingConnection()) {
        connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
        QTimer::singleShot(ClientTimeoutMs, client, [client] { client->abort(); });
        connect(client, &QLocalSocket::readyRead, this, [this, client] {
            if (!client->canReadLine()) {
                if (client->bytesAvailable() > MaxLine)
                    client->abort();
                return;
            }
            const QString word = QString::fromLatin1(client->readLine(MaxLine + 1)).trimmed();
            const std::optional<RemoteCommand> command = commandFromWord(word);
            if (!command) {
                client->abort();
                return;
            }
            client->write(Ok);
            client->flush();
            client->disconnectFromServer();
            QMetaObject::invokeMethod(
                this, [this, c = *command] { Q_EMIT commandReceived(c); }, Qt::QueuedConnection);
        });
    }
}

SendResult sendCommand(const QString& path, RemoteCommand command, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(path);
        if (socket.waitForConnected(qMax(1, static_cast<int>(deadline.remainingTime())))) {
            socket.write(commandWord(command).toLatin1() + '\n');
            socket.flush();
            QByteArray answer;
            while (!answer.contains('\n') && !deadline.hasExpired() &&
                   socket.waitForReadyRead(qMax(1, static_cast<int>(deadline.remainingTime()))))
                answer += socket.read(MaxLine);
            if (answer == Ok)
                return SendResult::Delivered;
            return SendResult::NotAnswered;
        }
        // The copy may hold its lock but not have opened its socket yet.
        QThread::msleep(50);
    }
    return SendResult::NotAnswered;
}
