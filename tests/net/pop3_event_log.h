#pragma once

#include "net/pop3_protocol.h"

#include <QStringList>

#include <utility>

// Every event of a POP3 client as one line of text, in the order they came.
struct Pop3EventLog {
    QStringList lines;

    explicit Pop3EventLog(TCustomPop3Cli& c) {
        QObject::connect(&c, &TCustomPop3Cli::OnSessionConnected,
                         [this](quint16 e) { lines << QStringLiteral("connected %1").arg(e); });
        QObject::connect(&c, &TCustomPop3Cli::OnSessionClosed,
                         [this](quint16 e) { lines << QStringLiteral("closed %1").arg(e); });
        QObject::connect(&c, &TCustomPop3Cli::OnRequestDone, [this](TPop3Request r, quint16 e) {
            lines << QStringLiteral("done %1 %2").arg(int(r)).arg(e);
        });
        QObject::connect(&c, &TCustomPop3Cli::OnMessageBegin, [this] { lines << "msg begin"; });
        QObject::connect(&c, &TCustomPop3Cli::OnMessageLine,
                         [this](const QString& l) { lines << "msg " + l; });
        QObject::connect(&c, &TCustomPop3Cli::OnMessageEnd, [this] { lines << "msg end"; });
        QObject::connect(&c, &TCustomPop3Cli::OnListBegin, [this] { lines << "list begin"; });
        QObject::connect(&c, &TCustomPop3Cli::OnListLine, [this, &c](const QString& l) {
            lines << QStringLiteral("list %1 [%2 %3]").arg(l).arg(c.MsgNum()).arg(c.MsgSize());
        });
        QObject::connect(&c, &TCustomPop3Cli::OnListEnd, [this] { lines << "list end"; });
    }
    QStringList take() { return std::exchange(lines, {}); }
};
