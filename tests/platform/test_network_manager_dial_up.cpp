#include "platform/network_manager_dial_up.h"
#include "private_bus.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

NetworkManagerDialUp backend(const QString& address, bool allProfiles = false,
                             int timeoutMs = 1000) {
    NetworkManagerDialUp::Options options;
    options.busAddress = address;
    options.allProfiles = allProfiles;
    options.timeoutMs = timeoutMs;
    return NetworkManagerDialUp(options);
}

// NetworkManager as python3-dbusmock's template plays it, on a private bus.
class NetworkManagerDialUpTest : public ::testing::Test {
protected:
    void SetUp() override {
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

QStringList names(const std::optional<QList<DialUpConnection>>& connections) {
    QStringList result;
    for (const DialUpConnection& c : connections.value())
        result.append(c.entryName);
    return result;
}

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

    NetworkManagerDialUp nm = backend(bus.address());
    EXPECT_TRUE(nm.probe());
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
    EXPECT_FALSE(nm.knowsConnectSpeed());

    EXPECT_TRUE(nm.hangUp(calls->at(0)));
    EXPECT_EQ(names(nm.connections()), QStringList({"DSL", "Phone hotspot"}));
    // A handle that is not an object path is refused before anything goes on the bus.
    EXPECT_FALSE(nm.hangUp({"not a path", "DSL", DialUpState::Connected, {}, 0}));

    // A user on a metered link that NetworkManager does not know as metered widens the lists.
    nm.setAllProfiles(true);
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
    struct Case {
        uint active;
        uint device;
        const char* ipInterface;
        int state;
    };
    using M = NetworkManagerMock;
    for (const Case& c : {
             // Registering and dialling are not yet a call; a failed attempt never was one.
             Case{M::Activating, M::DevicePrepare, "", DialUpState::ConnectDevice},
             Case{M::Activating, M::DeviceIpConfig, "", DialUpState::ConnectDevice},
             Case{M::Activating, M::DeviceFailed, "wwan0", DialUpState::ConnectDevice},
             // The modem has connected: the link is there, authentication time counts.
             Case{M::Activating, M::DeviceIpConfig, "wwan0", DialUpState::Authenticate},
             Case{M::Activated, M::DeviceActivated, "wwan0", DialUpState::Connected},
             Case{M::Deactivating, M::DeviceActivated, "wwan0", DialUpState::Disconnected},
             Case{M::Deactivated, M::DeviceFailed, "", DialUpState::Disconnected},
         }) {
        mock->setDeviceLink(modem, c.device, c.ipInterface);
        mock->setActiveState(active, c.active);
        const auto calls = nm.connections();
        ASSERT_TRUE(calls && calls->size() == 1);
        EXPECT_EQ(calls->first().state, c.state) << c.active << " " << c.device;
        EXPECT_EQ(calls->first().interfaceName, c.ipInterface);
    }
}

// The checker polls every two seconds on the GUI thread: a missing or stuck NetworkManager
// must cost at most the one-second time-out, and read as "nothing there". Twice, since the
// second round runs on whatever the first one left behind.
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

TEST(NetworkManagerAbsent, NoBusNoNetworkManagerOrOneThatNeverAnswers) {
    QTemporaryDir dir;
    {
        SCOPED_TRACE("no system bus");
        expectNothingWithin(backend("unix:path=" + dir.filePath("none")), 1000);
    }
    if (const QString missing = PrivateBus::missingTools(); !missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    PrivateBus bus;
    QString error;
    ASSERT_TRUE(bus.start(&error)) << error.toStdString();
    {
        SCOPED_TRACE("a bus without NetworkManager");
        expectNothingWithin(backend(bus.address()), 1000);
    }
    ASSERT_TRUE(bus.startSilentNetworkManager(&error)) << error.toStdString();
    // The budget holds for a whole operation of several calls; 750 ms for a loaded machine.
    SCOPED_TRACE("a NetworkManager that never answers");
    expectNothingWithin(backend(bus.address(), false, 300), 300 + 750, 1);
}

} // namespace
