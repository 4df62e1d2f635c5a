// pppd and the byte counters read from a fake root with /etc/ppp/peers, pid files, /proc
// and /sys; signals are recorded, not sent.
#include "platform/byte_counters.h"
#include "platform/pppd_dial_up.h"
#include "platform_test.h"

#include <QDir>

#include <csignal>
#include <utility>
#include <vector>

namespace {

class PppdDialUpTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(root.isValid()); }

    void write(const QString& relative, const QByteArray& content) {
        ASSERT_TRUE(writeTreeFile(root.path(), relative, content)) << relative.toStdString();
    }
    // A pid file, the command line of its process (none when empty) and its interface.
    void pppd(const QString& pidFile, const QByteArray& pid, const QByteArray& commandLine,
              const QString& interface = {}, const QByteArray& flags = "0x1091") {
        write(pidFile, pid);
        if (!commandLine.isEmpty())
            write("proc/" + pid.split('\n').first() + "/cmdline",
                  QByteArray(commandLine).replace(' ', '\0') + '\0');
        if (!interface.isEmpty()) {
            ASSERT_TRUE(writeInterface(root.path(), interface, 5, "1000", "500", flags));
        }
    }

    QTemporaryDir root;
    std::vector<std::pair<qint64, int>> signals;
    PppdDialUp backend{root.path(), [this](qint64 pid, int signal) {
                           signals.emplace_back(pid, signal);
                           return true;
                       }};
};

TEST_F(PppdDialUpTest, PeersAreThePhonebookOrAFailure) {
    // No /etc/ppp and no pppd: empty answers, not a failure.
    EXPECT_EQ(backend.entries(), QStringList());
    EXPECT_EQ(backend.connections(), QList<DialUpConnection>());
    for (const char* peer : {"provider", "work-isp", "work-isp~", "A long peer name", ".hidden"})
        write(QString("etc/ppp/peers/") + peer, "");
    ASSERT_TRUE(QDir().mkpath(root.filePath("etc/ppp/peers/subdir")));
    EXPECT_EQ(backend.entries(), QStringList({"A long peer name", "provider", "work-isp"}));
    QDir(root.filePath("etc/ppp/peers")).removeRecursively();
    write("etc/ppp/peers", "a file where the folder should be");
    EXPECT_EQ(backend.entries(), std::nullopt);
}

TEST_F(PppdDialUpTest, OnlyARunningPppdWithAnUpInterfaceIsACall) {
    // Linked by name: ppp-<link>.pid holds the pid and the interface.
    pppd("run/ppp-work.pid", "4242\nppp1\n", "/usr/sbin/pppd call work-isp linkname work", "ppp1");
    write("run/ppp1.pid", "4242\n");
    // Plain unit file: the name comes from "call".
    pppd("var/run/ppp0.pid", "777\n", "pppd call provider nodetach", "ppp0");
    ASSERT_TRUE(writeInterface(root.path(), "eth0", 2, "1", "1"));
    pppd("run/ppp-dialing.pid", "100\n", "pppd call dialing");         // no interface yet
    pppd("run/ppp3.pid", "101\n", "pppd call down", "ppp3", "0x1090"); // interface down
    // A crashed pppd left its pid file; the number now belongs to another program.
    pppd("run/ppp4.pid", "102\n", "/usr/bin/bash -c sleep", "ppp4");
    pppd("run/ppp5.pid", "103\n", "", "ppp5"); // no process at all
    // Pid files with nonsense in them, even where the number looks like a pppd.
    pppd("run/ppp6.pid", "-1\n", "pppd call minus", "ppp6");
    pppd("run/ppp7.pid", "1\n", "pppd call init", "ppp7");
    pppd("run/ppp8.pid", "garbage", "", "ppp8");

    const auto calls = backend.connections();
    ASSERT_TRUE(calls);
    EXPECT_EQ(*calls,
              (QList<DialUpConnection>{{"777", "provider", DialUpState::Connected, "ppp0", 0},
                                       {"4242", "work", DialUpState::Connected, "ppp1", 0}}));
    std::unique_ptr<ByteCounters> counters = backend.createByteCounters();
    counters->setInterfaceName(calls->at(0).interfaceName);
    EXPECT_EQ(counters->GetByteCount(u"t"), 500u);

    // Hanging up something that is not a pppd sends nothing, whatever the handle says.
    for (const QString handle : {"102", "103", "1", "-1", "0", "abc", ""})
        EXPECT_FALSE(backend.hangUp({handle, "x", DialUpState::Connected, "ppp4", 0}));
    ASSERT_TRUE(backend.hangUp(calls->at(1)));
    EXPECT_EQ(signals, (std::vector<std::pair<qint64, int>>{{4242, SIGTERM}}));
}

TEST_F(PppdDialUpTest, ByteCountersRead64BitNeverCacheAndNeverLeaveSysClassNet) {
    SysfsByteCounters counters{root.path()};
    EXPECT_FALSE(counters.IsDataRateAvailable()); // no sysfs, no source
    ASSERT_TRUE(writeInterface(root.path(), "eth0", 2, "999999", "888888"));
    EXPECT_EQ(counters.GetByteCount(u"r"), 0u) << "ethernet is never a dial-up link";
    ASSERT_TRUE(writeInterface(root.path(), "ppp10", 5, "100", "10"));
    ASSERT_TRUE(writeInterface(root.path(), "ppp2", 9, "4294967296", "20"));
    ASSERT_TRUE(writeInterface(root.path(), "ppp9", 3, "300", "30"));
    EXPECT_TRUE(counters.IsDataRateAvailable());
    EXPECT_EQ(counters.currentInterface(), "ppp2") << "highest interface index, not name";
    EXPECT_EQ(counters.GetByteCount(u"r"), 4294967296ull);
    EXPECT_EQ(counters.GetByteCount(u"t"), 20u);
    EXPECT_EQ(counters.GetByteCount(u"R"), 0u);
    ASSERT_TRUE(writeInterface(root.path(), "ppp2", 9, "4294968320", "20"));
    EXPECT_EQ(counters.GetByteCount(u"r"), 4294968320ull);

    // Counters of a service that names the link of its calls never guess one.
    SysfsByteCounters namedOnly(root.path(), SysfsByteCounters::NamedOnly);
    EXPECT_EQ(namedOnly.GetByteCount(u"r"), 0u);
    namedOnly.setInterfaceName("ppp9");
    EXPECT_EQ(namedOnly.GetByteCount(u"r"), 300u);

    ASSERT_TRUE(writeInterface(root.path(), "ppp0", 4, "lots", "-5"));
    // An interface name from a D-Bus reply never leaves /sys/class/net.
    ASSERT_TRUE(writeTreeFile(root.path(), "sys/class/statistics/rx_bytes", "77"));
    for (const QString name : {"ppp3", "ppp0", "../", "..", "eth0/../../", "."}) {
        counters.setInterfaceName(name);
        EXPECT_EQ(counters.GetByteCount(u"r") + counters.GetByteCount(u"t"), 0u)
            << name.toStdString();
    }
}

} // namespace
