#pragma once

#include "platform/icmp_echo.h"

#include <QElapsedTimer>
#include <QList>
#include <QTimer>

#include <optional>

class QSocketNotifier;

// ICMP echo over a socket of the kernel. An ICMP datagram socket needs no privilege but
// is only open to the groups in net.ipv4.ping_group_range (stock Debian allows none); a
// raw socket needs root or CAP_NET_RAW. The kinds are tried in the order given, at the
// first echo; a socket that opened stays open for the object's life.
class IcmpEchoSocket final : public IcmpEcho {
    Q_OBJECT

public:
    enum class Kind { Datagram, Raw };

    explicit IcmpEchoSocket(QList<Kind> kinds = {Kind::Datagram, Kind::Raw},
                            QObject* parent = nullptr);
    ~IcmpEchoSocket() override;

    bool open() override;
    QString openError() const override { return openError_; }
    bool send(const QHostAddress& destination, const QByteArray& data, int ttl,
              int timeoutMs) override;
    void cancel() override;

    // The kind that opened; nullopt before the first echo or when none could.
    std::optional<Kind> openedKind() const { return opened_; }

private:
    bool openKind(Kind kind, QString* error);
    void readAvailable();
    bool readOne(bool errorQueue);
    void finish(quint32 status, const QHostAddress& from, const QByteArray& data = {},
                quint8 ttl = 0, quint8 tos = 0);
    void finishLater(quint32 status);

    QList<Kind> kinds_;
    std::optional<Kind> opened_;
    int fd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    QString openError_;
    quint16 identifier_ = 0;
    quint16 sequence_ = 0;
    bool waiting_ = false;
    quint64 echoSerial_ = 0; // tells a late queued outcome from the echo that is waiting
    QHostAddress destination_;
    QElapsedTimer sentAt_;
    QTimer timeout_;
    QByteArray buffer_;
};
