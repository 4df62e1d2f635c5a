#include "platform/network_manager_dial_up.h"
#include "private_bus.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// NetworkManager as python3-dbusmock's template plays it, on a private bus.
class NetworkManagerDialUpTest : public ::testing::Test {
protected:
    void SetUp() override {
        const QString missing = PrivateBus::missingTools();
        if (!missing.isEmpty())
            GTEST_SKIP() << missing.toStdString();
        QString error;
        ASSERT_TRUE(bus.start(&error)) << error.toStdString();
        ASSERT_TRUE(bus.startNetworkManagerMock(&error)) << error.toStdString();
        mock.emplace(bus.driver());
    }

    NetworkManagerDialUp backend(bool allProfiles = false) {
        NetworkManagerDialUp::Options options;
        options.busAddress = bus.address();
        options.allProfiles = allProfiles;
        return NetworkManagerDialUp(options);
    }

    PrivateBus bus;
    std::optional<NetworkManagerMock> mock;
};

QStringList names(const QList<DialUpConnection>& connections) {
    QStringList result;
    for (const DialUpConnection& c : connections)
        result.append(c.entryName);
    return result;
}

TEST_F(NetworkManagerDialUpTest, PhonebookHoldsDialUpAndMeteredProfilesOnly) {
    mock->addProfile("Wired", "802-3-ethernet");
    mock->addProfile("Mobile", "gsm");
    mock->addProfile("Home WiFi", "802-11-wireless", 2);
    mock->addProfile("DSL", "pppoe");
    mock->addProfile("Phone hotspot", "802-11-wireless", 1);
    mock->addProfile("Office VPN", "vpn");

    NetworkManagerDialUp nm = backend();
    EXPECT_TRUE(nm.probe());
    EXPECT_EQ(nm.entries(), QStringList({"Mobile", "DSL", "Phone hotspot", "Office VPN"}));

    // A user on a metered link that NetworkManager does not know as metered widens the list.
    nm.setAllProfiles(true);
    EXPECT_EQ(nm.entries(),
              QStringList({"Wired", "Mobile", "Home WiFi", "DSL", "Phone hotspot", "Office VPN"}));
}

TEST_F(NetworkManagerDialUpTest, ActivateListAndHangUp) {
    const QString wired = mock->addProfile("Wired", "802-3-ethernet");
    const QString mobile = mock->addProfile("Mobile", "gsm");
    const QString dsl = mock->addProfile("DSL", "pppoe");
    const QString eth0 = mock->addEthernetDevice("eth0", "eth0");
    const QString modem = mock->addModemDevice("modem0", "ppp0");

    NetworkManagerDialUp nm = backend();
    EXPECT_EQ(nm.connections(), QList<DialUpConnection>());

    mock->activate(wired, eth0);
    const QString mobileActive = mock->activate(mobile, modem);
    mock->activate(dsl, eth0);

    std::optional<QList<DialUpConnection>> calls = nm.connections();
    ASSERT_TRUE(calls);
    ASSERT_EQ(names(*calls), QStringList({"Mobile", "DSL"})); // the ethernet link is no call
    EXPECT_EQ(calls->at(0).handle, mobileActive);
    EXPECT_EQ(calls->at(0).state, DialUpState::Connected);
    EXPECT_EQ(calls->at(0).interfaceName, "ppp0");
    EXPECT_EQ(calls->at(0).connectSpeed, 0u);
    EXPECT_EQ(calls->at(1).interfaceName, ""); // the ethernet device has no IP interface yet
    EXPECT_FALSE(nm.knowsConnectSpeed());

    EXPECT_TRUE(nm.hangUp(calls->at(0)));
    calls = nm.connections();
    ASSERT_TRUE(calls);
    EXPECT_EQ(names(*calls), QStringList({"DSL"}));

    // A handle that is not an object path is refused before anything goes on the bus.
    EXPECT_FALSE(nm.hangUp({"not a path", "DSL", DialUpState::Connected, {}, 0}));
}

TEST_F(NetworkManagerDialUpTest, StatesCountTheWayTheProgramCountsThem) {
    const QString mobile = mock->addProfile("Mobile", "gsm");
    const QString modem = mock->addModemDevice("modem0", "ppp0");
    const QString active =
        mock->addActiveConnection(mobile, {modem}, "1", NetworkManagerMock::Activating);
    NetworkManagerDialUp nm = backend();

    auto stateNow = [&] {
        const auto calls = nm.connections();
        return calls && calls->size() == 1 ? calls->first().state : -1;
    };
    // Still authenticating is already a call.
    EXPECT_TRUE(isConnectedDialUpState(stateNow()));
    EXPECT_LT(stateNow(), DialUpState::Connected);
    mock->setActiveState(active, NetworkManagerMock::Activated);
    EXPECT_EQ(stateNow(), DialUpState::Connected);
    mock->setActiveState(active, NetworkManagerMock::Deactivating);
    EXPECT_FALSE(isConnectedDialUpState(stateNow()));
    mock->setActiveState(active, NetworkManagerMock::Deactivated);
    EXPECT_FALSE(isConnectedDialUpState(stateNow()));
}

TEST_F(NetworkManagerDialUpTest, MeteredFlagMakesAnyLinkACall) {
    const QString hotspot = mock->addProfile("Phone hotspot", "802-11-wireless", 1);
    const QString home = mock->addProfile("Home WiFi", "802-11-wireless", 2);
    const QString wlan0 = mock->addEthernetDevice("wlan0", "wlan0");
    const QString wlan1 = mock->addEthernetDevice("wlan1", "wlan1");
    mock->activate(home, wlan0);
    mock->activate(hotspot, wlan1);

    NetworkManagerDialUp nm = backend();
    EXPECT_EQ(names(nm.connections().value()), QStringList({"Phone hotspot"}));
    nm.setAllProfiles(true);
    EXPECT_EQ(names(nm.connections().value()), QStringList({"Home WiFi", "Phone hotspot"}));
}

// The checker polls every two seconds on the GUI thread: a missing or stuck NetworkManager
// must cost at most the one-second time-out, and read as "nothing there".
class NetworkManagerAbsentTest : public ::testing::Test {
protected:
    static constexpr qint64 Slack = 750; // process scheduling on a loaded machine

    // Twice, since the second round runs on whatever the first one left behind.
    static void expectNothingWithin(NetworkManagerDialUp& nm, qint64 limitMs, int rounds = 2) {
        for (int round = 0; round < rounds; ++round) {
            QElapsedTimer timer;
            timer.start();
            EXPECT_FALSE(nm.probe());
            EXPECT_LT(timer.restart(), limitMs);
            EXPECT_FALSE(nm.entries());
            EXPECT_LT(timer.restart(), limitMs);
            EXPECT_FALSE(nm.connections());
            EXPECT_LT(timer.restart(), limitMs);
            EXPECT_FALSE(nm.hangUp({"/org/freedesktop/NetworkManager/ActiveConnection/0",
                                    "x",
                                    DialUpState::Connected,
                                    {},
                                    0}));
            EXPECT_LT(timer.restart(), limitMs);
        }
        EXPECT_FALSE(nm.lastError().isEmpty());
    }
};

TEST_F(NetworkManagerAbsentTest, NoSystemBusAtAll) {
    QTemporaryDir dir;
    NetworkManagerDialUp::Options options;
    options.busAddress = "unix:path=" + dir.filePath("no-such-socket");
    NetworkManagerDialUp nm(options);
    expectNothingWithin(nm, options.timeoutMs);
}

TEST_F(NetworkManagerAbsentTest, BusWithoutNetworkManager) {
    const QString missing = PrivateBus::missingTools();
    if (!missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    PrivateBus bus;
    QString error;
    ASSERT_TRUE(bus.start(&error)) << error.toStdString();
    NetworkManagerDialUp::Options options;
    options.busAddress = bus.address();
    NetworkManagerDialUp nm(options);
    expectNothingWithin(nm, options.timeoutMs);
}

TEST_F(NetworkManagerAbsentTest, NetworkManagerThatNeverAnswers) {
    const QString missing = PrivateBus::missingTools();
    if (!missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    PrivateBus bus;
    QString error;
    ASSERT_TRUE(bus.start(&error)) << error.toStdString();
    ASSERT_TRUE(bus.startSilentNetworkManager(&error)) << error.toStdString();
    NetworkManagerDialUp::Options options;
    options.busAddress = bus.address();
    options.timeoutMs = 300; // the budget holds for a whole operation of several calls
    NetworkManagerDialUp nm(options);
    expectNothingWithin(nm, options.timeoutMs + Slack, 1);
}

} // namespace
