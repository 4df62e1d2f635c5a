#pragma once

#include "platform/dial_up_service.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QVariantMap>

// NetworkManager over the system bus. The phonebook is every connection profile of a dial-up
// kind (gsm, cdma, pppoe, adsl, bluetooth, vpn) or marked metered, or every profile when
// allProfiles is on; the calls are the active connections of those profiles.
class NetworkManagerDialUp final : public DialUpService {
public:
    static constexpr int DefaultTimeoutMs = 1000;

    struct Options {
        QString busAddress; // empty: $DBUS_SYSTEM_BUS_ADDRESS, else the standard socket
        int timeoutMs = DefaultTimeoutMs; // for each whole operation, not each D-Bus call
        bool allProfiles = false;
        QString sysRoot = QStringLiteral("/"); // where /sys is, for the byte counters
    };

    explicit NetworkManagerDialUp(Options options);
    ~NetworkManagerDialUp() override;
    NetworkManagerDialUp(const NetworkManagerDialUp&) = delete;
    NetworkManagerDialUp& operator=(const NetworkManagerDialUp&) = delete;

    // Whether NetworkManager answers within the time-out; the reason goes to *error otherwise.
    bool probe(QString* error = nullptr);

    void setAllProfiles(bool on) { options_.allProfiles = on; }
    bool allProfiles() const { return options_.allProfiles; }

    QString name() const override { return QStringLiteral("networkmanager"); }
    std::optional<QStringList> entries() override;
    std::optional<QList<DialUpConnection>> connections() override;
    bool hangUp(const DialUpConnection& connection) override;
    bool knowsConnectSpeed() const override { return false; }
    std::unique_ptr<ByteCounters> createByteCounters() const override;

    // The last D-Bus failure, for the debug log.
    QString lastError() const { return lastError_; }

    static QString systemBusAddress();

private:
    bool ensureBus();
    QDBusMessage call(const QDBusMessage& message, const QDeadlineTimer& deadline);
    std::optional<QVariant> callFor(const QDBusMessage& message, QLatin1String signature,
                                    const QDeadlineTimer& deadline, bool* fatal);
    std::optional<QVariantMap> getAll(const QString& path, const QString& interface,
                                      const QDeadlineTimer& deadline, bool* fatal);
    std::optional<QMap<QString, QVariantMap>>
    profileSettings(const QString& path, const QDeadlineTimer& deadline, bool* fatal);
    bool isDialUpProfile(const QString& type, const QVariantMap& connectionSettings) const;
    bool noteFailure(const QDBusMessage& reply);

    Options options_;
    QString connectionName_;
    std::optional<QDBusConnection> bus_;
    QString lastError_;
};
