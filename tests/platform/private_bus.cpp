#include "private_bus.h"

#include <QDBusConnectionInterface>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/prctl.h>

namespace {

const QString Python = "/usr/bin/python3";
const QString NetworkManagerName = "org.freedesktop.NetworkManager";
const QString MockInterface = "org.freedesktop.DBus.Mock";
const QString MockMain = "/org/freedesktop";
constexpr int StartTimeoutMs = 20000;

using ProfileSettings = QMap<QString, QVariantMap>;

} // namespace

PrivateBus::PrivateBus() = default;

PrivateBus::~PrivateBus() {
    if (!driverName_.isEmpty())
        QDBusConnection::disconnectFromBus(driverName_);
    // Services first, the daemon last.
    for (auto it = processes_.rbegin(); it != processes_.rend(); ++it) {
        (*it)->kill();
        (*it)->waitForFinished(5000);
    }
}

QString PrivateBus::missingTools() {
    if (QStandardPaths::findExecutable("dbus-daemon").isEmpty())
        return "dbus-daemon is not installed";
    QProcess probe;
    if (QFileInfo(Python).isExecutable())
        probe.start(Python, {"-c", "import dbusmock, dbus"});
    const bool mock = probe.waitForFinished(StartTimeoutMs) &&
                      probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0;
    return mock ? QString() : "python3-dbusmock is not installed";
}

QProcess* PrivateBus::spawn(const QString& program, const QStringList& arguments, bool readOutput) {
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DBUS_SYSTEM_BUS_ADDRESS", address_);
    environment.insert("DBUS_SESSION_BUS_ADDRESS", address_);
    process->setProcessEnvironment(environment);
    // Should the test itself die, its bus and services go with it.
    process->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    // The mocks log every call they answer; unread, that would fill the pipe and stop them.
    if (!readOutput)
        process->setStandardOutputFile(QProcess::nullDevice());
    process->start(program, arguments);
    processes_.push_back(std::move(process));
    return processes_.back().get();
}

bool PrivateBus::start(QString* error) {
    if (!dir_.isValid()) {
        *error = "no temporary folder";
        return false;
    }
    QProcess* daemon = spawn("dbus-daemon",
                             {"--config-file=/usr/share/dbus-1/session.conf",
                              "--address=unix:path=" + dir_.filePath("bus"), "--nofork",
                              "--nopidfile", "--print-address"},
                             true);
    QByteArray printed;
    const QDeadlineTimer deadline(StartTimeoutMs);
    while (!printed.contains('\n') && !deadline.hasExpired() &&
           daemon->state() != QProcess::NotRunning) {
        daemon->waitForReadyRead(100);
        printed += daemon->readAllStandardOutput();
    }
    if (!printed.contains('\n')) {
        *error = "dbus-daemon did not start: " + daemon->readAllStandardError();
        return false;
    }
    address_ = QString::fromLocal8Bit(printed.left(printed.indexOf('\n')).trimmed());
    driverName_ = "vorn-test-driver";
    if (!driver().isConnected()) {
        *error = "cannot connect to the private bus: " + driver().lastError().message();
        return false;
    }
    return true;
}

QDBusConnection PrivateBus::driver() const {
    return QDBusConnection::connectToBus(address_, driverName_);
}

bool PrivateBus::waitForName(const QString& name, QProcess& owner, QString* error) {
    const QDeadlineTimer deadline(StartTimeoutMs);
    while (!deadline.hasExpired()) {
        if (driver().interface()->isServiceRegistered(name))
            return true;
        if (owner.state() == QProcess::NotRunning) {
            *error = "the service exited: " + owner.readAllStandardError();
            return false;
        }
        owner.waitForFinished(20); // bounded wait while the service starts up
    }
    *error = name + " did not appear on the bus";
    return false;
}

bool PrivateBus::startNetworkManagerMock(QString* error) {
    return startTemplateMock("networkmanager", NetworkManagerName, error);
}

bool PrivateBus::startTemplateMock(const QString& templateName, const QString& busName,
                                   QString* error) {
    return waitForName(busName, *spawn(Python, {"-m", "dbusmock", "--template", templateName}),
                       error);
}

bool PrivateBus::startSilentNetworkManager(QString* error) {
    // No main loop ever runs, so no message to the name is ever answered.
    const QString script = "import dbus, sys, time\n"
                           "bus = dbus.bus.BusConnection(sys.argv[1])\n"
                           "bus.request_name('org.freedesktop.NetworkManager')\n"
                           "time.sleep(600)\n";
    return waitForName(NetworkManagerName, *spawn(Python, {"-c", script, address_}), error);
}

QDBusMessage NetworkManagerMock::call(const QString& path, const QString& interface,
                                      const QString& method, const QVariantList& arguments) {
    QDBusMessage message =
        QDBusMessage::createMethodCall(NetworkManagerName, path, interface, method);
    message.setArguments(arguments);
    const QDBusMessage reply = bus_.call(message, QDBus::Block, 10000);
    EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage)
        << method.toStdString() << ": " << reply.errorMessage().toStdString();
    return reply;
}

QString NetworkManagerMock::pathReply(const QDBusMessage& reply) {
    const QVariant first = reply.arguments().value(0);
    if (first.metaType() == QMetaType::fromType<QDBusObjectPath>())
        return first.value<QDBusObjectPath>().path();
    return first.toString();
}

QString NetworkManagerMock::addProfile(const QString& id, const QString& type,
                                       std::optional<int> metered) {
    qDBusRegisterMetaType<ProfileSettings>();
    QVariantMap connection{{"id", id}, {"type", type}};
    if (metered)
        connection.insert("metered", QVariant(static_cast<qint32>(*metered)));
    const ProfileSettings settings{{"connection", connection}};
    return pathReply(call("/org/freedesktop/NetworkManager/Settings",
                          "org.freedesktop.NetworkManager.Settings", "AddConnection",
                          {QVariant::fromValue(settings)}));
}

QString NetworkManagerMock::addEthernetDevice(const QString& name, const QString& interfaceName) {
    return pathReply(call(MockMain, MockInterface, "AddEthernetDevice", {name, interfaceName, 30}));
}

QString NetworkManagerMock::addModemDevice(const QString& name, const QString& ipInterface) {
    const QString path = addEthernetDevice(name, "ttyUSB0");
    const QVariantMap properties{{"DeviceType", QVariant(8u)}, {"IpInterface", ipInterface}};
    call(path, MockInterface, "UpdateProperties",
         {"org.freedesktop.NetworkManager.Device", properties});
    return path;
}

QString NetworkManagerMock::activate(const QString& profile, const QString& device) {
    const auto path = [](const QString& p) { return QVariant::fromValue(QDBusObjectPath(p)); };
    return pathReply(call("/org/freedesktop/NetworkManager", NetworkManagerName,
                          "ActivateConnection", {path(profile), path(device), path("/")}));
}

QString NetworkManagerMock::addActiveConnection(const QString& profile, const QStringList& devices,
                                                const QString& name, uint state) {
    return pathReply(
        call(MockMain, MockInterface, "AddActiveConnection", {devices, profile, "/", name, state}));
}

void NetworkManagerMock::setProperty(const QString& path, const QString& interface,
                                     const QString& name, const QVariant& value) {
    call(MockMain, MockInterface, "SetProperty",
         {path, NetworkManagerName + interface, name, QVariant::fromValue(QDBusVariant(value))});
}

void NetworkManagerMock::setActiveState(const QString& activePath, uint state) {
    setProperty(activePath, ".Connection.Active", "State", state);
}

void NetworkManagerMock::setDeviceLink(const QString& device, uint state,
                                       const QString& ipInterface) {
    setProperty(device, ".Device", "State", state);
    setProperty(device, ".Device", "IpInterface", ipInterface);
}
