// The tools window in the real program: `vorn --tools` opens it once in the running copy
// and it fits the smallest screen; its web notification lists the favourites, Go (pressed
// on the keyboard) checks them against a server in this test, the results pages are written,
// OK stores the changed pages, and ending the program loses nothing.

#include "desktop_session.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

using namespace e2e;

namespace {
// Answers each request by its path and remembers which paths were asked for.
class PageServer {
public:
    PageServer() {
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* client = server.nextPendingConnection()) {
                QObject::connect(client, &QTcpSocket::readyRead, client, [this, client] {
                    const QByteArray head = client->peek(client->bytesAvailable());
                    if (!head.contains("\r\n\r\n"))
                        return;
                    client->readAll();
                    const QByteArray path = head.split(' ').value(1);
                    asked.append(path);
                    client->write(pages.value(path, "HTTP/1.0 404 Not Found\r\n\r\n"));
                    client->disconnectFromHost();
                });
            }
        });
    }
    QString url(const QString& path) const {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(server.serverPort()).arg(path);
    }

    QTcpServer server;
    QMap<QByteArray, QByteArray> pages;
    QList<QByteArray> asked;
};
} // namespace

TEST_F(EndToEnd, ToolsOpenOnceFitTheScreenAndWebNotifyStoresWhatChanged) {
    PageServer server;
    const QByteArray same = "HTTP/1.0 200 OK\r\n\r\n<html>the same as last time</html>";
    server.pages["/news.htm"] = "HTTP/1.0 200 OK\r\nLast-Modified: Tue, 05 Mar 2024 10:20:30 "
                                "GMT\r\n\r\n<html>today's news</html>";
    server.pages["/weather.htm"] = same;
    server.pages["/forum.htm"] = "HTTP/1.0 200 OK\r\n\r\n<html>new posts & replies</html>";
    const QString favourites = QDir(dir.path()).filePath("Favorites");
    for (const auto& [file, path] : {std::pair{"/News/Daily News.url", "/news.htm"},
                                     {"/Weather.url", "/weather.htm"},
                                     {"/Forum & Chat.url", "/forum.htm"},
                                     {"/Old Page.url", "/gone.htm"},
                                     {"/Links/Portal.url", "/portal.htm"}}) {
        QFile f(favourites + file);
        QDir().mkpath(QFileInfo(f).path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[InternetShortcut]\r\nURL=" + server.url(path).toUtf8() + "\r\n");
    }
    writeSettings({"Number_Of_Pings=1", "Ping1/Host=192.0.2.1", "Ping1/Description=Router",
                   "Ping1/DefaultItem=1", "URL_Folder_Location=" + favourites,
                   "Web_Notify_Retries=0", "Number_Of_Auto_Excludes=1",
                   "AutoExclude/Entry1=\\links\\", "Notify1/URL=" + server.url("/weather.htm"),
                   "Notify1/Last_Updated=0",
                   "Notify1/Last_Size=" + QString::number(same.size() - 19), "Notify1/Frames=No"});
    QProcess& vorn = startVorn();
    ASSERT_NO_FATAL_FAILURE(opensOnce("--tools", "Tools"));
    openWindow("e2e-tools-window.png", {630, 450});

    ASSERT_TRUE(xdotool({"search", "--name", "^Tools$", "windowfocus", "--sync"}));
    ASSERT_TRUE(xdotool({"key", "alt+g"}));
    const QString contents = QDir(dir.path()).filePath("home/notify_toc.htm");
    ASSERT_TRUE(waitFor([&] { return QFile::exists(contents); }, 20000))
        << "asked for: " << QList<QByteArray>(server.asked).join(' ').toStdString();
    QList<QByteArray> asked = server.asked;
    std::sort(asked.begin(), asked.end());
    EXPECT_EQ(asked, (QList<QByteArray>{"/forum.htm", "/gone.htm", "/news.htm", "/weather.htm"}));
    QFile toc(contents);
    const QByteArray links = toc.open(QIODevice::ReadOnly) ? toc.readAll() : QByteArray();
    EXPECT_TRUE(links.contains(">Daily News</A>"));
    EXPECT_TRUE(links.contains(">Forum &amp; Chat</A>"));
    EXPECT_FALSE(links.contains("Weather"));

    ASSERT_TRUE(xdotool({"key", "alt+o"}));
    ASSERT_TRUE(waitFor([&] { return !windowTitles().contains("Tools"); }, 10000));
    exitVorn(vorn);
    EXPECT_EQ(stored("Notify2/URL"), server.url("/forum.htm"));
    EXPECT_EQ(stored("Notify3/URL"), server.url("/news.htm"));
    EXPECT_EQ(stored("Notify4/URL"), "");
    EXPECT_EQ(stored("Ping1/Host"), "192.0.2.1");
}
