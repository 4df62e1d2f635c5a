#include "platform/network_manager_dial_up.h"

#include "platform/byte_counters.h"

#include <QAtomicInt>
#include <QDBusArgument>
#include <QDBusError>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QRegularExpression>

#include <limits>

namespace {

const QString Service = QStringLiteral("org.freedesktop.NetworkManager");
const QString ManagerPath = QStringLiteral("/org/freedesktop/NetworkManager");
const QString ManagerInterface = QStringLiteral("org.freedesktop.NetworkManager");
const QString SettingsPath = QStringLiteral("/org/freedesktop/NetworkManager/Settings");
const QString SettingsInterface = QStringLiteral("org.freedesktop.NetworkManager.Settings");
const QString ProfileInterface =
    QStringLiteral("org.freedesktop.NetworkManager.Settings.Connection");
const QString ActiveInterface = QStringLiteral("org.freedesktop.NetworkManager.Connection.Active");
const QString DeviceInterface = QStringLiteral("org.freedesktop.NetworkManager.Device");
const QString PropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

// NMActiveConnectionState
constexpr uint NmActivating = 1;
constexpr uint NmActivated = 2;
constexpr uint NmDeactivating = 3;
constexpr uint NmDeactivated = 4;
// NMDeviceState: from ip-config on the device has its link and its IP interface.
constexpr qint64 NmDeviceIpConfig = 70;
constexpr qint64 NmDeviceActivated = 100;
// NMMetered as a profile stores it
constexpr qint64 NmMeteredYes = 1;

QVariant unwrap(QVariant value) {
    while (value.metaType() == QMetaType::fromType<QDBusVariant>())
        value = value.value<QDBusVariant>().variant();
    return value;
}

QString text(const QVariant& raw) {
    const QVariant value = unwrap(raw);
    return value.typeId() == QMetaType::QString ? value.toString() : QString();
}

std::optional<qint64> integer(const QVariant& raw) {
    const QVariant value = unwrap(raw);
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::UChar:
    case QMetaType::LongLong:
        return value.toLongLong();
    case QMetaType::ULongLong:
        return static_cast<qint64>(
            qMin<qulonglong>(value.toULongLong(), std::numeric_limits<qint64>::max()));
    default:
        return std::nullopt;
    }
}

QString objectPath(const QVariant& raw) {
    const QVariant value = unwrap(raw);
    return value.metaType() == QMetaType::fromType<QDBusObjectPath>()
               ? value.value<QDBusObjectPath>().path()
               : QString();
}

// Reads "ao" whether QtDBus handed it over demarshalled or still as an argument; anything
// else (a hostile or broken reply) reads as no paths.
QStringList objectPaths(const QVariant& raw) {
    const QVariant value = unwrap(raw);
    QList<QDBusObjectPath> paths;
    if (value.metaType() == QMetaType::fromType<QDBusArgument>()) {
        const QDBusArgument argument = value.value<QDBusArgument>();
        if (argument.currentSignature() != QLatin1String("ao"))
            return {};
        argument >> paths;
    } else if (value.metaType() == QMetaType::fromType<QList<QDBusObjectPath>>()) {
        paths = value.value<QList<QDBusObjectPath>>();
    }
    QStringList result;
    for (const QDBusObjectPath& path : paths)
        result.append(path.path());
    return result;
}

bool isObjectPath(const QString& path) {
    static const QRegularExpression pattern(QStringLiteral("^(/[A-Za-z0-9_]+)+$"));
    return pattern.match(path).hasMatch();
}

bool isDialUpType(const QString& type) {
    static const QStringList types{QStringLiteral("gsm"),       QStringLiteral("cdma"),
                                   QStringLiteral("pppoe"),     QStringLiteral("adsl"),
                                   QStringLiteral("bluetooth"), QStringLiteral("vpn")};
    return types.contains(type);
}

bool isMetered(const QVariantMap& connectionSettings) {
    const QVariant metered = connectionSettings.value(QStringLiteral("metered"));
    if (const std::optional<qint64> value = integer(metered))
        return *value == NmMeteredYes;
    return text(metered).compare(QLatin1String("yes"), Qt::CaseInsensitive) == 0;
}

// The device of an active connection, as far as it has come.
struct DeviceLink {
    std::optional<qint64> state;
    QString ipInterface;
};

// An activation is a call once its device has a link: NetworkManager reaches ip-config only
// after the modem has connected, so an attempt that fails while dialling or registering is
// never billed. The handshaking adjustment covers the seconds before.
int programState(std::optional<qint64> nmState, const DeviceLink& device) {
    switch (nmState.value_or(0)) {
    case NmActivating: {
        const qint64 deviceState = device.state.value_or(0);
        const bool linked = deviceState >= NmDeviceIpConfig && deviceState <= NmDeviceActivated &&
                            !device.ipInterface.isEmpty();
        return linked ? DialUpState::Authenticate : DialUpState::ConnectDevice;
    }
    case NmActivated:
        return DialUpState::Connected;
    case NmDeactivating:
    case NmDeactivated:
        return DialUpState::Disconnected;
    default:
        return DialUpState::OpeningPort;
    }
}

} // namespace

NetworkManagerDialUp::NetworkManagerDialUp(Options options) : options_(std::move(options)) {}

NetworkManagerDialUp::~NetworkManagerDialUp() {
    bus_.reset();
    if (!connectionName_.isEmpty())
        QDBusConnection::disconnectFromBus(connectionName_);
}

QString NetworkManagerDialUp::systemBusAddress() {
    const QString address = qEnvironmentVariable("DBUS_SYSTEM_BUS_ADDRESS");
    return address.isEmpty() ? QStringLiteral("unix:path=/run/dbus/system_bus_socket") : address;
}

bool NetworkManagerDialUp::ensureBus() {
    if (bus_ && bus_->isConnected())
        return true;
    bus_.reset();
    if (!connectionName_.isEmpty())
        QDBusConnection::disconnectFromBus(connectionName_);
    static QAtomicInt serial;
    connectionName_ = QStringLiteral("vorn-networkmanager-%1").arg(serial.fetchAndAddRelaxed(1));
    const QString address =
        options_.busAddress.isEmpty() ? systemBusAddress() : options_.busAddress;
    QDBusConnection connection = QDBusConnection::connectToBus(address, connectionName_);
    if (!connection.isConnected()) {
        lastError_ = QStringLiteral("no system bus at %1 (%2)")
                         .arg(address, connection.lastError().message());
        QDBusConnection::disconnectFromBus(connectionName_);
        connectionName_.clear();
        return false;
    }
    bus_.emplace(connection);
    return true;
}

QDBusMessage NetworkManagerDialUp::call(const QDBusMessage& message,
                                        const QDeadlineTimer& deadline) {
    const qint64 left = deadline.remainingTime();
    if (left <= 0) {
        return QDBusMessage::createError(
            QDBusError::Timeout,
            QStringLiteral("NetworkManager did not answer within %1 ms").arg(options_.timeoutMs));
    }
    return bus_->call(message, QDBus::Block, static_cast<int>(left));
}

// Returns whether the failure means the whole service failed (rather than one object that
// vanished or refused us).
bool NetworkManagerDialUp::noteFailure(const QDBusMessage& reply) {
    const QDBusError error(reply);
    lastError_ = error.name() + QStringLiteral(": ") + error.message();
    switch (error.type()) {
    case QDBusError::Disconnected:
        bus_.reset();
        return true;
    case QDBusError::NoReply:
    case QDBusError::Timeout:
    case QDBusError::TimedOut:
    case QDBusError::ServiceUnknown:
    case QDBusError::NoServer:
    case QDBusError::NoNetwork:
    case QDBusError::NoMemory:
        return true;
    default:
        return false;
    }
}

// The reply's single argument, when the call succeeded with the signature expected.
std::optional<QVariant> NetworkManagerDialUp::callFor(const QDBusMessage& message,
                                                      QLatin1String signature,
                                                      const QDeadlineTimer& deadline, bool* fatal) {
    *fatal = false;
    const QDBusMessage reply = call(message, deadline);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        *fatal = noteFailure(reply);
        return std::nullopt;
    }
    if (reply.signature() != signature) {
        lastError_ =
            QStringLiteral("unexpected reply %1 to %2").arg(reply.signature(), message.member());
        return std::nullopt;
    }
    return reply.arguments().constFirst();
}

std::optional<QVariantMap> NetworkManagerDialUp::getAll(const QString& path,
                                                        const QString& interface,
                                                        const QDeadlineTimer& deadline,
                                                        bool* fatal) {
    QDBusMessage message = QDBusMessage::createMethodCall(Service, path, PropertiesInterface,
                                                          QStringLiteral("GetAll"));
    message << interface;
    const auto reply = callFor(message, QLatin1String("a{sv}"), deadline, fatal);
    return reply ? std::optional(qdbus_cast<QVariantMap>(*reply)) : std::nullopt;
}

std::optional<QMap<QString, QVariantMap>>
NetworkManagerDialUp::profileSettings(const QString& path, const QDeadlineTimer& deadline,
                                      bool* fatal) {
    *fatal = false;
    if (!isObjectPath(path))
        return std::nullopt;
    const auto reply = callFor(QDBusMessage::createMethodCall(Service, path, ProfileInterface,
                                                              QStringLiteral("GetSettings")),
                               QLatin1String("a{sa{sv}}"), deadline, fatal);
    return reply ? std::optional(qdbus_cast<QMap<QString, QVariantMap>>(*reply)) : std::nullopt;
}

bool NetworkManagerDialUp::isDialUpProfile(const QString& type,
                                           const QVariantMap& connectionSettings) const {
    return options_.allProfiles || isDialUpType(type) || isMetered(connectionSettings);
}

bool NetworkManagerDialUp::probe(QString* error) {
    const QDeadlineTimer deadline(options_.timeoutMs);
    bool answered = false;
    if (ensureBus()) {
        QDBusMessage message = QDBusMessage::createMethodCall(
            Service, ManagerPath, PropertiesInterface, QStringLiteral("Get"));
        message << ManagerInterface << QStringLiteral("Version");
        const QDBusMessage reply = call(message, deadline);
        answered = reply.type() == QDBusMessage::ReplyMessage;
        if (!answered)
            noteFailure(reply);
    }
    if (!answered && error)
        *error = lastError_;
    return answered;
}

std::optional<QStringList> NetworkManagerDialUp::entries() {
    const QDeadlineTimer deadline(options_.timeoutMs);
    if (!ensureBus())
        return std::nullopt;
    bool fatal = false;
    const auto reply =
        callFor(QDBusMessage::createMethodCall(Service, SettingsPath, SettingsInterface,
                                               QStringLiteral("ListConnections")),
                QLatin1String("ao"), deadline, &fatal);
    if (!reply)
        return std::nullopt;
    QStringList names;
    for (const QString& path : objectPaths(*reply)) {
        const auto settings = profileSettings(path, deadline, &fatal);
        if (fatal)
            return std::nullopt;
        if (!settings)
            continue; // removed meanwhile, or not ours to read
        const QVariantMap connection = settings->value(QStringLiteral("connection"));
        const QString id = text(connection.value(QStringLiteral("id")));
        if (!id.isEmpty() &&
            isDialUpProfile(text(connection.value(QStringLiteral("type"))), connection))
            names.append(id);
    }
    return names;
}

std::optional<QList<DialUpConnection>> NetworkManagerDialUp::connections() {
    const QDeadlineTimer deadline(options_.timeoutMs);
    if (!ensureBus())
        return std::nullopt;
    bool fatal = false;
    const std::optional<QVariantMap> manager =
        getAll(ManagerPath, ManagerInterface, deadline, &fatal);
    if (!manager)
        return std::nullopt;

    QList<DialUpConnection> result;
    for (const QString& path : objectPaths(manager->value(QStringLiteral("ActiveConnections")))) {
        if (!isObjectPath(path))
            continue;
        const std::optional<QVariantMap> active = getAll(path, ActiveInterface, deadline, &fatal);
        if (fatal)
            return std::nullopt;
        if (!active)
            continue;
        const QString type = text(active->value(QStringLiteral("Type")));
        bool dialUp = options_.allProfiles || isDialUpType(type);
        if (!dialUp) {
            const auto settings = profileSettings(
                objectPath(active->value(QStringLiteral("Connection"))), deadline, &fatal);
            if (fatal)
                return std::nullopt;
            dialUp = settings && isMetered(settings->value(QStringLiteral("connection")));
        }
        if (!dialUp)
            continue;

        DialUpConnection connection;
        connection.handle = path;
        connection.entryName = text(active->value(QStringLiteral("Id")));
        DeviceLink link;
        const QStringList devices = objectPaths(active->value(QStringLiteral("Devices")));
        if (!devices.isEmpty() && isObjectPath(devices.first())) {
            const std::optional<QVariantMap> device =
                getAll(devices.first(), DeviceInterface, deadline, &fatal);
            if (fatal)
                return std::nullopt;
            if (device) {
                link.state = integer(device->value(QStringLiteral("State")));
                const QString ipInterface = text(device->value(QStringLiteral("IpInterface")));
                if (isSafeInterfaceName(ipInterface))
                    link.ipInterface = ipInterface;
            }
        }
        connection.state = programState(integer(active->value(QStringLiteral("State"))), link);
        connection.interfaceName = link.ipInterface;
        result.append(connection);
    }
    return result;
}

bool NetworkManagerDialUp::hangUp(const DialUpConnection& connection) {
    if (!isObjectPath(connection.handle))
        return false;
    const QDeadlineTimer deadline(options_.timeoutMs);
    if (!ensureBus())
        return false;
    QDBusMessage message = QDBusMessage::createMethodCall(Service, ManagerPath, ManagerInterface,
                                                          QStringLiteral("DeactivateConnection"));
    message << QVariant::fromValue(QDBusObjectPath(connection.handle));
    const QDBusMessage reply = call(message, deadline);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        noteFailure(reply);
        return false;
    }
    return true;
}

std::unique_ptr<ByteCounters> NetworkManagerDialUp::createByteCounters() const {
    // NetworkManager names the link of every call once it has one; guessing a ppp* link
    // before that would count another connection's bytes.
    return std::make_unique<SysfsByteCounters>(options_.sysRoot, SysfsByteCounters::NamedOnly);
}
