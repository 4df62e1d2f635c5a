// The dial-up service chooser and the NetworkManager backend, against python3-dbusmock's
// NetworkManager template on a private bus.
#include "core/connectoid_names.h"
#include "core/debug_log.h"
#include "fake_dial_up_service.h"
#include "manual_clock.h"
#include "platform/dial_up_chooser.h"
#include "platform/network_manager_dial_up.h"
#include "platform/simulated_dial_up.h"
#include "platform_test.h"
#include "private_bus.h"

#include <QElapsedTimer>

#include <algorithm>

namespace {

NetworkManagerDialUp backend(const QString& address, bool allProfiles = false,
                             int timeoutMs = 1000) {
    return NetworkManagerDialUp({address, timeoutMs, allProfiles});
}

QStringList names(const std::optional<QList<DialUpConnection>>& connections) {
    QStringList result;
    for (const DialUpConnection& c : connections.value())
        result.append(c.entryName);
    return result;
}

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
}

// NetworkManager as python3-dbusmock's template plays it, on a private bus.
class NetworkManagerDialUpTest : public DialUpChooserTest {
protected:
    void SetUp() override {
        DialUpChooserTest::SetUp();
        if (const QString missing = PrivateBus::missingTools(); !missing.isEmpty())
            GTEST_SKIP() << missing.toStdString();
        QString error;
        ASSERT_TRUE(bus.start(&error)) << error.toStdString();
        ASSERT_TRUE(bus.startNetworkManagerMock(&error)) << error.toStdString();
        mock.emplace(bus.driver());
    }

    PrivateBus bus;
    std::optional<NetworkManagerMock> mock;
};

TEST_F(NetworkManagerDialUpTest, DialUpAndMeteredProfilesAreThePhonebookAndTheCalls) {
    const QString wired = mock->addProfile("Wired", "802-3-ethernet");
    const QString mobile = mock->addProfile("Mobile", "gsm");
    const QString home = mock->addProfile("Home WiFi", "802-11-wireless", 2);
    const QString dsl = mock->addProfile("DSL", "pppoe");
    const QString hotspot = mock->addProfile("Phone hotspot", "802-11-wireless", 1);
    mock->addProfile("Office VPN", "vpn");
    const QString eth0 = mock->addEthernetDevice("eth0", "eth0");
    const QString wlan0 = mock->addEthernetDevice("wlan0", "wlan0");
    const QString modem = mock->addModemDevice("modem0", "ppp0");

    // Auto finds it; the standard way to point a program at another system bus is honoured.
    environment.systemBusAddress.clear();
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", bus.address().toLocal8Bit());
    DialUpChoice choice = chooseDialUpService("", "", log, environment);
    qunsetenv("DBUS_SYSTEM_BUS_ADDRESS");
    ASSERT_EQ(choice.service->name(), "networkmanager");
    EXPECT_TRUE(choice.reason.contains("answered")) << choice.reason.toStdString();
    DialUpService& nm = *choice.service;
    EXPECT_EQ(nm.entries(), QStringList({"Mobile", "DSL", "Phone hotspot", "Office VPN"}));
    EXPECT_EQ(nm.connections(), QList<DialUpConnection>());

    mock->activate(wired, eth0);
    const QString mobileActive = mock->activate(mobile, modem);
    mock->activate(dsl, eth0);
    mock->activate(home, wlan0);
    mock->activate(hotspot, wlan0);
    const auto calls = nm.connections();
    ASSERT_EQ(names(calls), QStringList({"Mobile", "DSL", "Phone hotspot"}));
    EXPECT_EQ(calls->at(0),
              (DialUpConnection{mobileActive, "Mobile", DialUpState::Connected, "ppp0", 0}));
    EXPECT_EQ(calls->at(1).interfaceName, ""); // the ethernet device has no IP interface yet

    EXPECT_TRUE(nm.hangUp(calls->at(0)));
    EXPECT_EQ(names(nm.connections()), QStringList({"DSL", "Phone hotspot"}));
    // A handle that is not an object path is refused before anything goes on the bus.
    EXPECT_FALSE(nm.hangUp({"not a path", "DSL", DialUpState::Connected, {}, 0}));

    // A user on a metered link that NetworkManager does not know as metered widens the lists.
    static_cast<NetworkManagerDialUp&>(nm).setAllProfiles(true);
    EXPECT_EQ(nm.entries(),
              QStringList({"Wired", "Mobile", "Home WiFi", "DSL", "Phone hotspot", "Office VPN"}));
    EXPECT_EQ(names(nm.connections()), QStringList({"Wired", "DSL", "Home WiFi", "Phone hotspot"}));
}

TEST_F(NetworkManagerDialUpTest, AnActivationIsACallOnceItsDeviceHasALink) {
    const QString mobile = mock->addProfile("Mobile", "gsm");
    const QString modem = mock->addModemDevice("modem0", "");
    const QString active =
        mock->addActiveConnection(mobile, {modem}, "1", NetworkManagerMock::Activating);
    NetworkManagerDialUp nm = backend(bus.address());
    using M = NetworkManagerMock;
    const std::tuple<uint, uint, const char*, int> cases[] = {
        // Registering and dialling are not yet a call; a failed attempt never was one.
        {M::Activating, M::DevicePrepare, "", DialUpState::ConnectDevice},
        {M::Activating, M::DeviceIpConfig, "", DialUpState::ConnectDevice},
        {M::Activating, M::DeviceFailed, "wwan0", DialUpState::ConnectDevice},
        // The modem has connected: the link is there, authentication time counts.
        {M::Activating, M::DeviceIpConfig, "wwan0", DialUpState::Authenticate},
        {M::Activated, M::DeviceActivated, "wwan0", DialUpState::Connected},
        {M::Deactivating, M::DeviceActivated, "wwan0", DialUpState::Disconnected},
        {M::Deactivated, M::DeviceFailed, "", DialUpState::Disconnected},
    };
    for (const auto& [activeState, device, ipInterface, state] : cases) {
        mock->setDeviceLink(modem, device, ipInterface);
        mock->setActiveState(active, activeState);
        const auto calls = nm.connections();
        ASSERT_TRUE(calls && calls->size() == 1);
        EXPECT_EQ(calls->first().state, state) << activeState << " " << device;
        EXPECT_EQ(calls->first().interfaceName, ipInterface);
    }
}

// The checker polls every two seconds on the GUI thread: a missing or stuck NetworkManager
// must cost at most the one-second time-out, and read as "nothing there". Twice, since the
// second round runs on whatever the first one left behind. The limits are far from D-Bus's
// own 25-second default, which is what an unbounded call would cost, so a loaded machine
// cannot fail them.
constexpr qint64 kSlack = 8000;

void expectNothingWithin(NetworkManagerDialUp nm, qint64 limitMs, int rounds = 2) {
    const DialUpConnection call{
        "/org/freedesktop/NetworkManager/ActiveConnection/0", "x", DialUpState::Connected, {}, 0};
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        EXPECT_FALSE(nm.probe());
        EXPECT_LT(timer.restart(), limitMs);
        EXPECT_FALSE(nm.entries());
        EXPECT_LT(timer.restart(), limitMs);
        EXPECT_FALSE(nm.connections());
        EXPECT_LT(timer.restart(), limitMs);
        EXPECT_FALSE(nm.hangUp(call));
        EXPECT_LT(timer.restart(), limitMs);
    }
    EXPECT_FALSE(nm.lastError().isEmpty());
}

TEST_F(DialUpChooserTest, NoBusNoNetworkManagerOrOneThatNeverAnswersIsNothingThere) {
    {
        SCOPED_TRACE("no system bus");
        expectNothingWithin(backend(environment.systemBusAddress), kSlack);
    }
    if (const QString missing = PrivateBus::missingTools(); !missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    PrivateBus bus;
    QString error;
    ASSERT_TRUE(bus.start(&error)) << error.toStdString();
    {
        SCOPED_TRACE("a bus without NetworkManager");
        expectNothingWithin(backend(bus.address()), kSlack);
    }
    ASSERT_TRUE(bus.startSilentNetworkManager(&error)) << error.toStdString();
    // The budget holds for a whole operation of several calls; 750 ms for a loaded machine.
    SCOPED_TRACE("a NetworkManager that never answers");
    expectNothingWithin(backend(bus.address(), false, 300), 300 + 750, 1);

    // For the chooser, a stuck NetworkManager costs one time-out, then pppd.
    environment.systemBusAddress = bus.address();
    QElapsedTimer timer;
    timer.start();
    const DialUpChoice choice = chooseDialUpService("auto", "", log, environment);
    EXPECT_LT(timer.elapsed(), environment.timeoutMs + kSlack);
    EXPECT_EQ(choice.service->name(), "pppd");
}

} // namespace
