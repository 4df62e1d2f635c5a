#include "core/connectoid_names.h"
#include "core/debug_log.h"
#include "fake_dial_up_service.h"
#include "manual_clock.h"
#include "platform/dial_up_chooser.h"
#include "platform/network_manager_dial_up.h"
#include "platform/simulated_dial_up.h"
#include "private_bus.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(EnumConnectoids, FillsTheTableInPhonebookOrder) {
    FakeDialUpService service;
    ConnectoidNameTable table;
    service.entryNames = QStringList{"Work ISP", "An entry name of 21 c", "Home",
                                     "Twenty characters!!!A", "Twenty characters!!!B"};
    EnumConnectoids(service, table);
    EXPECT_EQ(table[1], "Work ISP");
    EXPECT_EQ(table[2], "An entry name of 21 "); // cut to the call log's 20 characters
    EXPECT_EQ(table[3], "Home");
    EXPECT_EQ(table[4], "Twenty characters!!!"); // two entries, one name, both kept
    EXPECT_EQ(table[5], "Twenty characters!!!");
    for (int i = 6; i <= ConnectoidNameTable::Capacity; ++i)
        EXPECT_TRUE(table[i].isEmpty()) << i;
}

TEST(EnumConnectoids, AtMost99NamesAndSlot100StaysEmpty) {
    FakeDialUpService service;
    ConnectoidNameTable table;
    QStringList many;
    for (int i = 1; i <= 120; ++i)
        many.append(QString("Entry %1").arg(i));
    service.entryNames = many;
    EnumConnectoids(service, table);
    EXPECT_EQ(table[1], "Entry 1");
    EXPECT_EQ(table[99], "Entry 99");
    EXPECT_TRUE(table[100].isEmpty());
}

TEST(EnumConnectoids, FailureOrNoEntriesEmptiesTheTable) {
    FakeDialUpService service;
    ConnectoidNameTable table;
    service.entryNames = QStringList{"Old", "Older"};
    EnumConnectoids(service, table);
    ASSERT_EQ(table[2], "Older");

    service.entryNames = std::nullopt;
    EnumConnectoids(service, table);
    for (int i = 1; i <= ConnectoidNameTable::Capacity; ++i)
        EXPECT_TRUE(table[i].isEmpty()) << i;

    service.entryNames = QStringList{"Old"};
    EnumConnectoids(service, table);
    service.entryNames = QStringList();
    EnumConnectoids(service, table);
    EXPECT_TRUE(table[1].isEmpty());
}

class DialUpChooserTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        log.setEnabled(true);
        // No system bus, so "auto" can only find pppd unless a test provides one.
        environment.systemBusAddress = "unix:path=" + dir.filePath("no-bus");
        environment.pppdRoot = dir.path();
        environment.simulatedStatePath = dir.filePath("sim.json");
    }
    bool logged(const QString& text) const {
        for (const QString& line : log.lines()) {
            if (line.endsWith(text))
                return true;
        }
        return false;
    }

    QTemporaryDir dir;
    ManualClock clock;
    DebugLog log{clock};
    DialUpEnvironment environment;
};

TEST_F(DialUpChooserTest, CommandLineWinsOverTheSetting) {
    DialUpChoice choice = chooseDialUpService("pppd", "simulated", log, environment);
    EXPECT_EQ(choice.service->name(), "pppd");
    EXPECT_TRUE(choice.reason.contains("command line")) << choice.reason.toStdString();
    EXPECT_TRUE(logged("ChooseDialUpService - Result = pppd"));
    EXPECT_TRUE(logged("ChooseDialUpService - Reason = " + choice.reason));

    choice = chooseDialUpService("", " Simulated ", log, environment);
    ASSERT_EQ(choice.service->name(), "simulated");
    EXPECT_TRUE(choice.reason.contains("settings"));
    EXPECT_EQ(static_cast<SimulatedDialUp&>(*choice.service).statePath(),
              environment.simulatedStatePath);

    // Named explicitly, NetworkManager is taken even when it is not there (and then answers
    // "nothing").
    environment.allProfiles = true;
    choice = chooseDialUpService("networkmanager", "pppd", log, environment);
    ASSERT_EQ(choice.service->name(), "networkmanager");
    EXPECT_TRUE(static_cast<NetworkManagerDialUp&>(*choice.service).allProfiles());
    EXPECT_EQ(choice.service->connections(), std::nullopt);
}

TEST_F(DialUpChooserTest, AutoFallsBackToPppdAndSaysWhy) {
    for (const auto& [commandLine, setting] :
         {std::pair{"", ""}, std::pair{"auto", "simulated"}, std::pair{"", "AUTO"}}) {
        const DialUpChoice choice = chooseDialUpService(commandLine, setting, log, environment);
        EXPECT_EQ(choice.service->name(), "pppd");
        EXPECT_TRUE(choice.reason.contains("NetworkManager did not answer"))
            << choice.reason.toStdString();
    }
}

TEST_F(DialUpChooserTest, UnknownWordsAreTreatedAsAuto) {
    DialUpChoice choice = chooseDialUpService("modem", "simulated", log, environment);
    EXPECT_EQ(choice.service->name(), "pppd");
    EXPECT_TRUE(choice.reason.contains("\"modem\" on the command line is not a dial-up service"))
        << choice.reason.toStdString();

    choice = chooseDialUpService("", "\x01garbage", log, environment);
    EXPECT_EQ(choice.service->name(), "pppd");
    EXPECT_TRUE(choice.reason.contains("is not a dial-up service"));

    EXPECT_TRUE(isDialUpServiceName(" NetworkManager"));
    EXPECT_FALSE(isDialUpServiceName("network manager"));
    EXPECT_FALSE(isDialUpServiceName(""));
}

TEST_F(DialUpChooserTest, AutoTakesNetworkManagerWhenItAnswersOnTheSystemBus) {
    const QString missing = PrivateBus::missingTools();
    if (!missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    PrivateBus bus;
    QString error;
    ASSERT_TRUE(bus.start(&error)) << error.toStdString();
    ASSERT_TRUE(bus.startNetworkManagerMock(&error)) << error.toStdString();
    NetworkManagerMock(bus.driver()).addProfile("Mobile", "gsm");

    // The standard way to point a program at another system bus is honoured.
    environment.systemBusAddress.clear();
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", bus.address().toLocal8Bit());
    const DialUpChoice choice = chooseDialUpService("", "", log, environment);
    qunsetenv("DBUS_SYSTEM_BUS_ADDRESS");
    ASSERT_EQ(choice.service->name(), "networkmanager");
    EXPECT_TRUE(choice.reason.contains("answered")) << choice.reason.toStdString();
    EXPECT_EQ(choice.service->entries(), QStringList({"Mobile"}));
}

TEST_F(DialUpChooserTest, StuckNetworkManagerCostsOneTimeoutThenPppd) {
    const QString missing = PrivateBus::missingTools();
    if (!missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    PrivateBus bus;
    QString error;
    ASSERT_TRUE(bus.start(&error)) << error.toStdString();
    ASSERT_TRUE(bus.startSilentNetworkManager(&error)) << error.toStdString();
    environment.systemBusAddress = bus.address();

    QElapsedTimer timer;
    timer.start();
    const DialUpChoice choice = chooseDialUpService("auto", "", log, environment);
    EXPECT_LT(timer.elapsed(), environment.timeoutMs + 750);
    EXPECT_EQ(choice.service->name(), "pppd");
}

} // namespace
