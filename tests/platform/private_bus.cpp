#include "private_bus.h"

#include <QDBusConnectionInterface>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/prctl.h>

namespace {

const QString Python = QStringLiteral("/usr/bin/python3");
const QString NetworkManagerName = QStringLiteral("org.freedesktop.NetworkManager");
const QString MockInterface = QStringLiteral("org.freedesktop.DBus.Mock");
const QString MockMain = QStringLiteral("/org/freedesktop");
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
    if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty())
        return QStringLiteral("dbus-daemon is not installed");
    if (!QFileInfo(Python).isExecutable())
        return QStringLiteral("%1 is missing").arg(Python);
    QProcess probe;
    probe.start(Python, {QStringLiteral("-c"), QStringLiteral("import dbusmock, dbus")});
    if (!probe.waitForFinished(StartTimeoutMs) || probe.exitStatus() != QProcess::NormalExit ||
        probe.exitCode() != 0)
        return QStringLiteral("python3-dbusmock is not installed");
    return {};
}

QProcess* PrivateBus::spawn(const QString& program, const QStringList& arguments) {
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), address_);
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address_);
    process->setProcessEnvironment(environment);
    process->setProcessChannelMode(QProcess::SeparateChannels);
    // Should the test itself die, its bus and services go with it.
    process->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    process->start(program, arguments);
    processes_.push_back(std::move(process));
    return processes_.back().get();
}

bool PrivateBus::start(QString* error) {
    if (!dir_.isValid()) {
        *error = QStringLiteral("no temporary folder");
        return false;
    }
    const QString socket = dir_.filePath(QStringLiteral("bus"));
    QProcess* daemon =
        spawn(QStringLiteral("dbus-daemon"),
              {QStringLiteral("--config-file=/usr/share/dbus-1/session.conf"),
               QStringLiteral("--address=unix:path=") + socket, QStringLiteral("--nofork"),
               QStringLiteral("--nopidfile"), QStringLiteral("--print-address")});
    QByteArray printed;
    const QDeadlineTimer deadline(StartTimeoutMs);
    while (!printed.contains('\n') && !deadline.hasExpired() &&
           daemon->state() != QProcess::NotRunning) {
        daemon->waitForReadyRead(100);
        printed += daemon->readAllStandardOutput();
    }
    if (!printed.contains('\n')) {
        *error = QStringLiteral("dbus-daemon did not start: ") +
                 QString::fromLocal8Bit(daemon->readAllStandardError());
        return false;
    }
    address_ = QString::fromLocal8Bit(printed.left(printed.indexOf('\n')).trimmed());
    driverName_ = QStringLiteral("vorn-test-driver");
    if (!driver().isConnected()) {
        *error =
            QStringLiteral("cannot connect to the private bus: ") + driver().lastError().message();
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
            *error = QStringLiteral("the service exited: ") +
                     QString::fromLocal8Bit(owner.readAllStandardError());
            return false;
        }
        owner.waitForFinished(20); // bounded wait while the service starts up
    }
    *error = QStringLiteral("%1 did not appear on the bus").arg(name);
    return false;
}

bool PrivateBus::startNetworkManagerMock(QString* error) {
    QProcess* mock =
        spawn(Python, {QStringLiteral("-m"), QStringLiteral("dbusmock"),
                       QStringLiteral("--template"), QStringLiteral("networkmanager")});
    return waitForName(NetworkManagerName, *mock, error);
}

bool PrivateBus::startTemplateMock(const QString& templateName, const QString& busName,
                                   QString* error) {
    QProcess* mock = spawn(Python, {QStringLiteral("-m"), QStringLiteral("dbusmock"),
                                    QStringLiteral("--template"), templateName});
    return waitForName(busName, *mock, error);
}

bool PrivateBus::startSilentNetworkManager(QString* error) {
    // No main loop ever runs, so no message to the name is ever answered.
    const QString script = QStringLiteral("import dbus, sys, time\n"
                                          "bus = dbus.bus.BusConnection(sys.argv[1])\n"
                                          "bus.request_name('org.freedesktop.NetworkManager')\n"
                                          "time.sleep(600)\n");
    QProcess* silent = spawn(Python, {QStringLiteral("-c"), script, address_});
    return waitForName(NetworkManagerName, *silent, error);
}

QDBusMessage NetworkManagerMock::call(const QString& path, const QString& interface,
                                      const QString& method, const QVariantList& arguments) {
    QDBusMessage message = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.NetworkManager"), path, interface, method);
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
    QVariantMap connection{{QStringLiteral("id"), id}, {QStringLiteral("type"), type}};
    if (metered)
        connection.insert(QStringLiteral("metered"), QVariant(static_cast<qint32>(*metered)));
    const ProfileSettings settings{{QStringLiteral("connection"), connection}};
    return pathReply(call(QStringLiteral("/org/freedesktop/NetworkManager/Settings"),
                          QStringLiteral("org.freedesktop.NetworkManager.Settings"),
                          QStringLiteral("AddConnection"), {QVariant::fromValue(settings)}));
}

QString NetworkManagerMock::addEthernetDevice(const QString& name, const QString& interfaceName) {
    return pathReply(call(MockMain, MockInterface, QStringLiteral("AddEthernetDevice"),
                          {name, interfaceName, 30}));
}

QString NetworkManagerMock::addModemDevice(const QString& name, const QString& ipInterface) {
    const QString path = addEthernetDevice(name, QStringLiteral("ttyUSB0"));
    const QVariantMap properties{{QStringLiteral("DeviceType"), QVariant(8u)},
                                 {QStringLiteral("IpInterface"), ipInterface}};
    call(path, MockInterface, QStringLiteral("UpdateProperties"),
         {QStringLiteral("org.freedesktop.NetworkManager.Device"), properties});
    return path;
}

QString NetworkManagerMock::activate(const QString& profile, const QString& device) {
    return pathReply(call(QStringLiteral("/org/freedesktop/NetworkManager"),
                          QStringLiteral("org.freedesktop.NetworkManager"),
                          QStringLiteral("ActivateConnection"),
                          {QVariant::fromValue(QDBusObjectPath(profile)),
                           QVariant::fromValue(QDBusObjectPath(device)),
                           QVariant::fromValue(QDBusObjectPath(QStringLiteral("/")))}));
}

QString NetworkManagerMock::addActiveConnection(const QString& profile, const QStringList& devices,
                                                const QString& name, uint state) {
    return pathReply(call(MockMain, MockInterface, QStringLiteral("AddActiveConnection"),
                          {devices, profile, QStringLiteral("/"), name, state}));
}

void NetworkManagerMock::setActiveState(const QString& activePath, uint state) {
    call(MockMain, MockInterface, QStringLiteral("SetProperty"),
         {activePath, QStringLiteral("org.freedesktop.NetworkManager.Connection.Active"),
          QStringLiteral("State"), QVariant::fromValue(QDBusVariant(QVariant(state)))});
}
