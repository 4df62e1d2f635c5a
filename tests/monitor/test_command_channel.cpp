#include "app/command_channel.h"

#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {
// The client runs in a thread of its own: the server answers from this thread's events.
SendResult sendWhileServing(const QString& path, RemoteCommand command) {
    std::atomic<bool> done = false;
    SendResult result = SendResult::NotAnswered;
    std::thread client([&] {
        result = sendCommand(path, command, 5000);
        done = true;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 10000));
    client.join();
    return result;
}
} // namespace

TEST(CommandChannel, AWordGetsOkAndItsCommandGarbageAndSilenceGetNothing) {
    QTemporaryDir dir;
    const QString path = dir.filePath("vorn.socket");
    // A socket file left by a crashed copy does not stop the start.
    QFile stale(path);
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();

    CommandServer server;
    ASSERT_TRUE(server.listen(path)) << server.errorString().toStdString();
    EXPECT_EQ(QFileInfo(path).permissions() &
                  (QFile::ReadOther | QFile::WriteOther | QFile::ReadGroup | QFile::WriteGroup),
              QFile::Permissions());
    QSignalSpy received(&server, &CommandServer::commandReceived);

    for (const QByteArray& garbage :
         {QByteArray("reboot\n"), QByteArray(4096, 'x'), QByteArray()}) {
        QLocalSocket client;
        client.connectToServer(path);
        ASSERT_TRUE(client.waitForConnected(2000));
        client.write(garbage);
        client.flush();
        // Dropped unanswered: after the bound at the latest.
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return client.state() == QLocalSocket::UnconnectedState; }, 5000));
        EXPECT_EQ(client.readAll(), QByteArray());
    }
    EXPECT_EQ(received.count(), 0);

    EXPECT_EQ(sendWhileServing(path, RemoteCommand::Log), SendResult::Delivered);
    ASSERT_TRUE(QTest::qWaitFor([&] { return received.count() == 1; }, 2000));
    EXPECT_EQ(received.takeFirst().at(0).value<RemoteCommand>(), RemoteCommand::Log);
}

TEST(CommandChannel, NoCopyAndAnUnusablePlace) {
    QTemporaryDir dir;
    EXPECT_EQ(sendCommand(dir.filePath("nobody.socket"), RemoteCommand::Exit, 300),
              SendResult::NotAnswered);
    CommandServer server;
    EXPECT_FALSE(server.listen(dir.filePath("no/such/folder/vorn.socket")));
    for (RemoteCommand c :
         {RemoteCommand::Options, RemoteCommand::Tools, RemoteCommand::Log, RemoteCommand::Exit})
        EXPECT_EQ(commandFromWord(commandWord(c)), c);
    EXPECT_EQ(commandFromWord("Options"), std::nullopt);
}
