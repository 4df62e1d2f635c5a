#pragma once

#include "platform/icmp_echo.h"

#include <QList>

#include <deque>

// An echo service that sends nothing: it records each echo and answers from a script,
// from the event loop as the real one does. An unscripted echo times out at once.
class FakeIcmpEcho final : public IcmpEcho {
public:
    struct Sent {
        QHostAddress to;
        QByteArray data;
        int ttl;
        int timeout;
    };

    bool open() override { return opens; }
    QString openError() const override {
        return QStringLiteral("raw socket: Operation not permitted");
    }
    bool send(const QHostAddress& to, const QByteArray& data, int ttl, int timeout) override {
        if (!opens)
            return false;
        sent.append({to, data, ttl, timeout});
        IcmpEchoReply reply{IcmpStatus::RequestTimedOut, to, 0, {}, 0, 0};
        if (!replies.empty()) {
            reply = replies.front();
            replies.pop_front();
        }
        const quint64 serial = ++serial_;
        QMetaObject::invokeMethod(
            this,
            [this, serial, reply] {
                if (serial == serial_)
                    Q_EMIT replied(reply);
            },
            Qt::QueuedConnection);
        return true;
    }
    void cancel() override { ++serial_; }

    bool opens = true;
    std::deque<IcmpEchoReply> replies;
    QList<Sent> sent;

private:
    quint64 serial_ = 0;
};
