#include "platform/power.h"

#include <QAtomicInt>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QThread>

namespace {
const QString LogindName = QStringLiteral("org.freedesktop.login1");
const QString LogindPath = QStringLiteral("/org/freedesktop/login1");
const QString LogindManager = QStringLiteral("org.freedesktop.login1.Manager");
// The program may end straight after its request (Exit_VORN); this long it waits for the
// request to be delivered.
constexpr int DeliveryWaitMs = 2000;

QString systemBusAddress() {
    const QString address = qEnvironmentVariable("DBUS_SYSTEM_BUS_ADDRESS");
    return address.isEmpty() ? QStringLiteral("unix:path=/run/dbus/system_bus_socket") : address;
}
} // namespace

LogindPower::LogindPower(QString busAddress) : busAddress_(std::move(busAddress)) {}

LogindPower::~LogindPower() {
    const QDeadlineTimer deadline(DeliveryWaitMs);
    for (const QDBusPendingCall& call : pending_) {
        while (!call.isFinished() && !deadline.hasExpired())
            QThread::msleep(10);
    }
    pending_.clear();
    if (!connectionName_.isEmpty())
        QDBusConnection::disconnectFromBus(connectionName_);
}

void LogindPower::request(Operation operation) {
    if (connectionName_.isEmpty()) {
        static QAtomicInt serial;
        connectionName_ = QStringLiteral("vorn-logind-%1").arg(serial.fetchAndAddRelaxed(1));
    }
    const QDBusConnection bus = QDBusConnection::connectToBus(
        busAddress_.isEmpty() ? systemBusAddress() : busAddress_, connectionName_);
    if (!bus.isConnected()) {
        // Try afresh next time: the bus may have come back.
        QDBusConnection::disconnectFromBus(connectionName_);
        return;
    }
    QDBusMessage message = QDBusMessage::createMethodCall(
        LogindName, LogindPath, LogindManager,
        operation == Operation::Reboot ? QStringLiteral("Reboot") : QStringLiteral("PowerOff"));
    message.setArguments({QVariant(true)}); // interactive
    message.setInteractiveAuthorizationAllowed(true);
    std::erase_if(pending_, [](const QDBusPendingCall& call) { return call.isFinished(); });
    pending_.push_back(bus.asyncCall(message));
}
