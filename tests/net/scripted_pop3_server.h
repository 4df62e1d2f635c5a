#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QObject>
#include <QTcpServer>

#include <functional>

// A POP3 server for tests on 127.0.0.1, port picked by the system. It greets with the
// banner and answers each command line from a table (or a responder); "QUIT" says
// goodbye and hangs up unless the table says otherwise.
class ScriptedPop3Server : public QObject {
    Q_OBJECT

public:
    struct Reply {
        QByteArray bytes;
        bool close = false; // hang up after sending
    };
    using Responder = std::function<Reply(const QByteArray& command)>;

    ScriptedPop3Server();

    bool listen() { return server_.listen(QHostAddress::LocalHost, 0); }
    QString portText() const { return QString::number(server_.serverPort()); }

    // Empty: the server never greets.
    void setBanner(const QByteArray& banner) { banner_ = banner; }
    void setReplies(const QMap<QByteArray, Reply>& replies) { replies_ = replies; }
    void setResponder(Responder responder) { responder_ = std::move(responder); }

    // Every command line received, without CR LF.
    const QList<QByteArray>& commands() const { return commands_; }
    int connectionCount() const { return static_cast<int>(clients_.size()); }
    bool waitForAllClosed(int timeoutMs);

private:
    void accept();

    QTcpServer server_;
    QByteArray banner_ = "+OK POP3 server ready <1896.697170952@dbc.mtview.ca.us>\r\n";
    QMap<QByteArray, Reply> replies_;
    Responder responder_;
    QList<QByteArray> commands_;
    QList<QTcpSocket*> clients_;
};
