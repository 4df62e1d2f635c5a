#pragma once

#include "net/http_protocol.h"

#include <QByteArray>
#include <QStringList>

#include <ostream>
#include <utility>

// Every event of an HTTP client as one line of text, in the order they came; a run of
// body chunks is one "data" line however the body was cut, the body itself in `body`.
struct HttpEventLog {
    QStringList lines;
    QByteArray body;

    explicit HttpEventLog(TCustomHttpCli& c) {
        QObject::connect(&c, &TCustomHttpCli::OnHeaderBegin, [this] { lines << "begin"; });
        QObject::connect(&c, &TCustomHttpCli::OnHeaderData,
                         [this, &c] { lines << "header " + c.LastResponse(); });
        QObject::connect(&c, &TCustomHttpCli::OnHeaderEnd, [this] { lines << "end"; });
        QObject::connect(&c, &TCustomHttpCli::OnDocBegin, [this] { lines << "doc begin"; });
        QObject::connect(&c, &TCustomHttpCli::OnDocData, [this](const QByteArray& d) {
            body += d;
            if (lines.isEmpty() || lines.back() != "data")
                lines << "data";
        });
        QObject::connect(&c, &TCustomHttpCli::OnDocEnd, [this] { lines << "doc end"; });
        QObject::connect(&c, &TCustomHttpCli::OnRequestDone, [this, &c](THttpRequest, quint16 e) {
            lines
                << QStringLiteral("done %1 %2 %3").arg(e).arg(c.StatusCode()).arg(c.ReasonPhrase());
        });
    }
    QStringList take() {
        body.clear();
        return std::exchange(lines, {});
    }
};

// Readable failures for texts and lists of texts.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
