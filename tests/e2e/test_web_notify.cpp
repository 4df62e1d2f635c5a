// Web notification in the real program: `vorn --tools` lists the favourites, Go (pressed on
// the keyboard) checks them against a server in this test, the results pages are written,
// and OK stores the changed pages.

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

bool shortcut(const QString& path, const QString& url) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) &&
           f.write("[InternetShortcut]\r\nURL=" + url.toUtf8() + "\r\n") > 0;
}

} // namespace

TEST_F(EndToEnd, WebNotifyChecksTheFavouritesAndOkStoresWhatChanged) {
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        GTEST_SKIP() << "xdotool is not installed (scripts/deps.sh installs it)";
    ASSERT_NO_FATAL_FAILURE(startDisplay());
    PageServer server;
    const QByteArray same = "HTTP/1.0 200 OK\r\n\r\n<html>the same as last time</html>";
    server.pages["/news.htm"] = "HTTP/1.0 200 OK\r\nLast-Modified: Tue, 05 Mar 2024 10:20:30 "
                                "GMT\r\n\r\n<html>today's news</html>";
    server.pages["/weather.htm"] = same;
    server.pages["/forum.htm"] = "HTTP/1.0 200 OK\r\n\r\n<html>new posts & replies</html>";
    const QString favourites = QDir(dir.path()).filePath("Favorites");
    ASSERT_TRUE(shortcut(favourites + "/News/Daily News.url", server.url("/news.htm")));
    ASSERT_TRUE(shortcut(favourites + "/Weather.url", server.url("/weather.htm")));
    ASSERT_TRUE(shortcut(favourites + "/Forum & Chat.url", server.url("/forum.htm")));
    ASSERT_TRUE(shortcut(favourites + "/Old Page.url", server.url("/gone.htm")));
    ASSERT_TRUE(shortcut(favourites + "/Links/Portal.url", server.url("/portal.htm")));
    writeSettings({"Version=1.17", "Show_Splash=0", "URL_Folder_Location=" + favourites,
                   "Web_Notify_Retries=0", "Number_Of_Auto_Excludes=1",
                   "AutoExclude/Entry1=\\links\\", "Notify1/URL=" + server.url("/weather.htm"),
                   "Notify1/Last_Updated=0",
                   "Notify1/Last_Size=" + QString::number(same.size() - 19), "Notify1/Frames=No"});

    QProcess& vorn = spawn(QStringLiteral(VORN_PROGRAM), {"--dialup=simulated"});
    ASSERT_TRUE(waitFor([&] { return windowTitles().contains("VORN v1.17"); }, 20000))
        << vorn.readAllStandardError().toStdString();
    EXPECT_EQ(runVorn({"--tools"}).first, 0);
    ASSERT_TRUE(waitFor([&] { return windowTitles().contains("Tools"); }, 10000));
    QTest::qWait(500);
    grabScreen("e2e-web-notify-favourites.png");

    ASSERT_TRUE(xdotool({"search", "--name", "^Tools$", "windowfocus", "--sync"}));
    ASSERT_TRUE(xdotool({"key", "alt+g"}));
    const QString contents = QDir(dir.path()).filePath("home/notify_toc.htm");
    ASSERT_TRUE(waitFor([&] { return QFile::exists(contents); }, 20000))
        << "asked for: " << QList<QByteArray>(server.asked).join(' ').toStdString();
    QTest::qWait(500); // the list in its final order on the screen
    grabScreen("e2e-web-notify-results.png");

    QList<QByteArray> asked = server.asked;
    std::sort(asked.begin(), asked.end());
    EXPECT_EQ(asked, (QList<QByteArray>{"/forum.htm", "/gone.htm", "/news.htm", "/weather.htm"}));
    QFile toc(contents);
    ASSERT_TRUE(toc.open(QIODevice::ReadOnly));
    const QByteArray links = toc.readAll();
    EXPECT_TRUE(links.contains(">Daily News</A>"));
    EXPECT_TRUE(links.contains(">Forum &amp; Chat</A>"));
    EXPECT_FALSE(links.contains("Weather"));

    ASSERT_TRUE(xdotool({"key", "alt+o"}));
    ASSERT_TRUE(waitFor([&] { return !windowTitles().contains("Tools"); }, 10000));
    EXPECT_EQ(runVorn({"--exit"}).first, 0);
    ASSERT_TRUE(vorn.waitForFinished(10000));
    EXPECT_EQ(stored("Notify2/URL"), server.url("/forum.htm"));
    EXPECT_EQ(stored("Notify3/URL"), server.url("/news.htm"));
    EXPECT_EQ(stored("Notify4/URL"), "");
}
