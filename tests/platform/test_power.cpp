#include "platform/power.h"
#include "private_bus.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QThread>
#include <gtest/gtest.h>

namespace {

const QString Login1 = QStringLiteral("org.freedesktop.login1");

// The arguments of every call of a method that python3-dbusmock's logind has seen.
QList<QVariantList> mockCalls(const PrivateBus& bus, const QString& method) {
    QDBusMessage message = QDBusMessage::createMethodCall(
        Login1, QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.DBus.Mock"), QStringLiteral("GetMethodCalls"));
    message.setArguments({method});
    const QDBusMessage reply = bus.driver().call(message, QDBus::Block, 10000);
    QList<QVariantList> result;
    if (reply.type() != QDBusMessage::ReplyMessage)
        return result;
    // a(tav): a time stamp and the arguments of each call.
    const QDBusArgument list = reply.arguments().value(0).value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        qulonglong stamp = 0;
        QVariantList arguments;
        list.beginStructure();
        list >> stamp >> arguments;
        list.endStructure();
        result.append(arguments);
    }
    list.endArray();
    return result;
}

// Requests are sent without waiting for the answer: wait, bounded, until they arrive.
QList<QVariantList> waitForCalls(const PrivateBus& bus, const QString& method, int count) {
    const QDeadlineTimer deadline(10000);
    QList<QVariantList> seen = mockCalls(bus, method);
    while (seen.size() < count && !deadline.hasExpired()) {
        QThread::msleep(20);
        seen = mockCalls(bus, method);
    }
    return seen;
}

class LogindPowerTest : public ::testing::Test {
protected:
    void SetUp() override {
        const QString missing = PrivateBus::missingTools();
        if (!missing.isEmpty())
            GTEST_SKIP() << missing.toStdString();
        QString error;
        ASSERT_TRUE(bus.start(&error)) << error.toStdString();
    }

    void startLogind() {
        QString error;
        ASSERT_TRUE(bus.startTemplateMock(QStringLiteral("logind"), Login1, &error))
            << error.toStdString();
    }

    PrivateBus bus;
};

TEST_F(LogindPowerTest, ShutDownAndRestartReachLogindAsInteractiveRequests) {
    startLogind();
    LogindPower power(bus.address());
    power.request(Power::Operation::PowerOff);
    const QList<QVariantList> powerOffs = waitForCalls(bus, QStringLiteral("PowerOff"), 1);
    ASSERT_EQ(powerOffs.size(), 1);
    EXPECT_EQ(powerOffs[0].value(0), QVariant(true));
    EXPECT_TRUE(mockCalls(bus, QStringLiteral("Reboot")).isEmpty());

    power.request(Power::Operation::Reboot);
    const QList<QVariantList> reboots = waitForCalls(bus, QStringLiteral("Reboot"), 1);
    ASSERT_EQ(reboots.size(), 1);
    EXPECT_EQ(reboots[0].value(0), QVariant(true));
    EXPECT_EQ(mockCalls(bus, QStringLiteral("PowerOff")).size(), 1);
}

TEST_F(LogindPowerTest, NoBusOrNoLogindIsIgnoredAndALaterRequestStillWorks) {
    QTemporaryDir dir;
    LogindPower nowhere(QStringLiteral("unix:path=") + dir.filePath(QStringLiteral("none")));
    nowhere.request(Power::Operation::PowerOff);

    LogindPower power(bus.address());
    power.request(Power::Operation::PowerOff); // nobody owns logind's name yet: an error reply

    startLogind();
    power.request(Power::Operation::Reboot);
    EXPECT_EQ(waitForCalls(bus, QStringLiteral("Reboot"), 1).size(), 1);
    EXPECT_TRUE(mockCalls(bus, QStringLiteral("PowerOff")).isEmpty());
}

} // namespace
