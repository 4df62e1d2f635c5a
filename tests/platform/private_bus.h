#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantMap>

#include <memory>
#include <optional>
#include <vector>

// A private dbus-daemon on a socket in a temporary folder, plus the processes a test puts on
// it (python3-dbusmock's NetworkManager template, a service that never answers). Everything
// is killed when the bus goes.
class PrivateBus {
public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    // Empty when dbus-daemon and python3-dbusmock are installed, else what is missing.
    static QString missingTools();

    bool start(QString* error);
    QString address() const { return address_; }

    // Starts the dbusmock NetworkManager template and waits until it owns its name.
    bool startNetworkManagerMock(QString* error);
    // Starts another python3-dbusmock template (e.g. "logind") and waits for its bus name.
    bool startTemplateMock(const QString& templateName, const QString& busName, QString* error);
    // Takes NetworkManager's name on the bus and never answers anything.
    bool startSilentNetworkManager(QString* error);

    // The test's own connection, to drive the mock.
    QDBusConnection driver() const;

private:
    bool waitForName(const QString& name, QProcess& owner, QString* error);
    QProcess* spawn(const QString& program, const QStringList& arguments, bool readOutput = false);

    QTemporaryDir dir_;
    QString address_;
    QString driverName_;
    std::vector<std::unique_ptr<QProcess>> processes_; // the daemon first
};

// Drives python3-dbusmock's NetworkManager template through its D-Bus API.
class NetworkManagerMock {
public:
    static constexpr uint Activating = 1;
    static constexpr uint Activated = 2;
    static constexpr uint Deactivating = 3;
    static constexpr uint Deactivated = 4;
    // NMDeviceState
    static constexpr uint DevicePrepare = 40;
    static constexpr uint DeviceIpConfig = 70;
    static constexpr uint DeviceActivated = 100;
    static constexpr uint DeviceFailed = 120;

    explicit NetworkManagerMock(QDBusConnection bus) : bus_(bus) {}

    // A saved profile; metered is NMMetered (1 yes, 2 no), omitted when unset.
    QString addProfile(const QString& id, const QString& type, std::optional<int> metered = {});
    QString addEthernetDevice(const QString& name, const QString& interfaceName);
    // A modem (device type 8) whose IP traffic runs over ipInterface.
    QString addModemDevice(const QString& name, const QString& ipInterface);
    // Activates a profile on a device, as NetworkManager's ActivateConnection does.
    QString activate(const QString& profile, const QString& device);
    // An active connection in any state.
    QString addActiveConnection(const QString& profile, const QStringList& devices,
                                const QString& name, uint state);
    void setActiveState(const QString& activePath, uint state);
    // How far a device has come (NMDeviceState) and the IP interface it names.
    void setDeviceLink(const QString& device, uint state, const QString& ipInterface);

private:
    QDBusMessage call(const QString& path, const QString& interface, const QString& method,
                      const QVariantList& arguments);
    QString pathReply(const QDBusMessage& reply);
    void setProperty(const QString& path, const QString& interface, const QString& name,
                     const QVariant& value);

    QDBusConnection bus_;
};
