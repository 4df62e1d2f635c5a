#pragma once

#include "platform/dial_up_service.h"

#include <functional>

// Plain pppd: the phonebook is /etc/ppp/peers, a call is a running pppd (found through its pid
// file in /run or /var/run) whose pppN interface exists and is up, and hanging up sends it
// SIGTERM. Every path lives under a root folder so that tests can build a fake tree.
class PppdDialUp final : public DialUpService {
public:
    // Sends a signal to a process; returns false when it could not be sent.
    using SignalSender = std::function<bool(qint64 pid, int signal)>;

    explicit PppdDialUp(const QString& root = QStringLiteral("/"), SignalSender sender = {});

    QString name() const override { return QStringLiteral("pppd"); }
    std::optional<QStringList> entries() override;
    std::optional<QList<DialUpConnection>> connections() override;
    bool hangUp(const DialUpConnection& connection) override;
    bool knowsConnectSpeed() const override { return false; }
    std::unique_ptr<ByteCounters> createByteCounters() const override;

private:
    QString path(const QString& relative) const;
    bool isPppd(qint64 pid) const;
    QStringList commandLine(qint64 pid) const;
    bool interfaceUp(const QString& interfaceName) const;

    QString root_;
    SignalSender sender_;
};
