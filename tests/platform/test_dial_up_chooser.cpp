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

#include <algorithm>

namespace {

TEST(EnumConnectoids, FillsCutsAndCapsTheTableOrEmptiesIt) {
    QStringList many;
    for (int i = 1; i <= 120; ++i)
        many.append(QString("Entry %1").arg(i));
    // Each case starts from the table the one before left, so emptying is seen.
    const std::pair<std::optional<QStringList>, QStringList> cases[] = {
        {many, many.first(99)}, // slot 100 always stays empty
        {std::nullopt, {}},     // the service failed
        {QStringList{"Work ISP", "An entry name of 21 c", "Twenty characters!!!A",
                     "Twenty characters!!!B"},
         {"Work ISP", "An entry name of 21 ", "Twenty characters!!!", "Twenty characters!!!"}},
        {QStringList(), {}},
    };
    FakeDialUpService service;
    ConnectoidNameTable table;
    for (const auto& [entries, expected] : cases) {
        SCOPED_TRACE(entries ? entries->size() : -1);
        service.entryNames = entries;
        EnumConnectoids(service, table);
        for (int i = 1; i <= ConnectoidNameTable::Capacity; ++i)
            EXPECT_EQ(table[i], expected.value(i - 1)) << i;
    }
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
        return std::ranges::any_of(log.lines(), [&](const QString& l) { return l.endsWith(text); });
    }

    QTemporaryDir dir;
    ManualClock clock;
    DebugLog log{clock};
    DialUpEnvironment environment;
};

TEST_F(DialUpChooserTest, CommandLineWinsOverTheSettingAndUnknownWordsMeanAuto) {
    const char* noNetworkManager = "pppd, since NetworkManager did not answer";
    const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
        {"pppd", "simulated", "pppd", "command line"},
        {"", " Simulated ", "simulated", "settings"},
        {"networkmanager", "pppd", "networkmanager", "command line"},
        {"", "", "pppd", noNetworkManager},
        {"auto", "simulated", "pppd", noNetworkManager},
        {"", "AUTO", "pppd", noNetworkManager},
        {"modem", "simulated", "pppd", "\"modem\" on the command line is not a dial-up service"},
        {"", "\x01garbage", "pppd", "the setting \"\x01garbage\" is not a dial-up service"},
    };
    for (const auto& [commandLine, setting, name, reason] : cases) {
        SCOPED_TRACE(std::string(commandLine) + " / " + setting);
        const DialUpChoice choice = chooseDialUpService(commandLine, setting, log, environment);
        EXPECT_EQ(choice.service->name(), name);
        EXPECT_TRUE(choice.reason.contains(reason)) << choice.reason.toStdString();
        EXPECT_TRUE(logged(QString("ChooseDialUpService - Result = ") + name));
        EXPECT_TRUE(logged("ChooseDialUpService - Reason = " + choice.reason));
    }
    EXPECT_EQ(static_cast<SimulatedDialUp&>(
                  *chooseDialUpService("simulated", "", log, environment).service)
                  .statePath(),
              environment.simulatedStatePath);

    // Named explicitly, NetworkManager is taken even when it is not there (and then answers
    // "nothing").
    environment.allProfiles = true;
    const DialUpChoice choice = chooseDialUpService("networkmanager", "", log, environment);
    EXPECT_TRUE(static_cast<NetworkManagerDialUp&>(*choice.service).allProfiles());
    EXPECT_EQ(choice.service->connections(), std::nullopt);

    EXPECT_TRUE(isDialUpServiceName(" NetworkManager"));
    EXPECT_FALSE(isDialUpServiceName("network manager"));
    EXPECT_FALSE(isDialUpServiceName(""));
}

TEST_F(DialUpChooserTest, AutoTakesNetworkManagerOnlyWhenItAnswersInTime) {
    if (const QString missing = PrivateBus::missingTools(); !missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    PrivateBus answering, silent;
    QString error;
    ASSERT_TRUE(answering.start(&error) && answering.startNetworkManagerMock(&error))
        << error.toStdString();
    ASSERT_TRUE(silent.start(&error) && silent.startSilentNetworkManager(&error))
        << error.toStdString();
    NetworkManagerMock(answering.driver()).addProfile("Mobile", "gsm");

    // The standard way to point a program at another system bus is honoured.
    environment.systemBusAddress.clear();
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", answering.address().toLocal8Bit());
    DialUpChoice choice = chooseDialUpService("", "", log, environment);
    qunsetenv("DBUS_SYSTEM_BUS_ADDRESS");
    ASSERT_EQ(choice.service->name(), "networkmanager");
    EXPECT_TRUE(choice.reason.contains("answered")) << choice.reason.toStdString();
    EXPECT_EQ(choice.service->entries(), QStringList({"Mobile"}));

    // A stuck NetworkManager costs one time-out, then pppd.
    environment.systemBusAddress = silent.address();
    QElapsedTimer timer;
    timer.start();
    choice = chooseDialUpService("auto", "", log, environment);
    EXPECT_LT(timer.elapsed(), environment.timeoutMs + 750);
    EXPECT_EQ(choice.service->name(), "pppd");
}

} // namespace
