#include "platform/byte_counters.h"
#include "platform/pppd_dial_up.h"
#include "sysfs_tree.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <utility>
#include <vector>

namespace {

// A fake root with /etc/ppp/peers, pid files, /proc and /sys; signals are recorded, not sent.
class PppdDialUpTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(root.isValid()); }

    PppdDialUp backend() {
        return PppdDialUp(root.path(), [this](qint64 pid, int signal) {
            signals.emplace_back(pid, signal);
            return true;
        });
    }
    void write(const QString& relative, const QByteArray& content) {
        ASSERT_TRUE(writeTreeFile(root.path(), relative, content)) << relative.toStdString();
    }
    void process(int pid, const QByteArray& commandLine) {
        QByteArray raw = commandLine;
        raw.replace(' ', '\0');
        write(QString("proc/%1/cmdline").arg(pid), raw + '\0');
    }
    void interface(const QString& name, int ifindex, const QByteArray& flags = "0x1091") {
        ASSERT_TRUE(writeInterface(root.path(), name, ifindex, "1000", "500", flags));
    }

    QTemporaryDir root;
    std::vector<std::pair<qint64, int>> signals;
};

TEST_F(PppdDialUpTest, PeersAreThePhonebook) {
    PppdDialUp pppd = backend();
    EXPECT_EQ(pppd.entries(), QStringList()); // no /etc/ppp: no entries, not a failure
    write("etc/ppp/peers/provider", "/dev/ttyS0 115200\n");
    write("etc/ppp/peers/work-isp", "");
    write("etc/ppp/peers/work-isp~", "");
    write("etc/ppp/peers/A very long peer name here", "");
    write("etc/ppp/peers/.hidden", "");
    ASSERT_TRUE(QDir().mkpath(root.filePath("etc/ppp/peers/subdir")));
    EXPECT_EQ(pppd.entries(), QStringList({"A very long peer name here", "provider", "work-isp"}));
}

TEST_F(PppdDialUpTest, RunningPppdWithAnUpInterfaceIsACall) {
    // Linked by name: ppp-<link>.pid holds the pid and the interface.
    write("run/ppp-work.pid", "4242\nppp1\n");
    write("run/ppp1.pid", "4242\n");
    process(4242, "/usr/sbin/pppd call work-isp linkname work");
    interface("ppp1", 12);
    // Plain unit file: the name comes from "call".
    write("var/run/ppp0.pid", "777\n");
    process(777, "pppd call provider nodetach");
    interface("ppp0", 11);
    interface("eth0", 2);

    PppdDialUp pppd = backend();
    const auto calls = pppd.connections();
    ASSERT_TRUE(calls);
    ASSERT_EQ(calls->size(), 2);
    EXPECT_EQ(calls->at(0).entryName, "provider"); // ppp0 before ppp1
    EXPECT_EQ(calls->at(0).interfaceName, "ppp0");
    EXPECT_EQ(calls->at(0).state, DialUpState::Connected);
    EXPECT_EQ(calls->at(1).entryName, "work"); // the link name wins over the peer
    EXPECT_EQ(calls->at(1).interfaceName, "ppp1");
    EXPECT_FALSE(pppd.knowsConnectSpeed());

    std::unique_ptr<ByteCounters> counters = pppd.createByteCounters();
    counters->setInterfaceName(calls->at(0).interfaceName);
    EXPECT_EQ(counters->GetByteCount(u"r"), 1000u);
    EXPECT_EQ(counters->GetByteCount(u"t"), 500u);

    ASSERT_TRUE(pppd.hangUp(calls->at(1)));
    ASSERT_EQ(signals.size(), 1u);
    EXPECT_EQ(signals[0], std::make_pair(qint64(4242), SIGTERM));
}

TEST_F(PppdDialUpTest, DialingDownStaleAndForeignProcessesAreNoCall) {
    // Still dialling: pppd runs but its interface is not there yet.
    write("run/ppp-dialing.pid", "100\n");
    process(100, "pppd call dialing");
    // Interface down.
    write("run/ppp3.pid", "101\n");
    process(101, "pppd call down");
    interface("ppp3", 20, "0x1090");
    // A crashed pppd left its pid file; the number now belongs to another program.
    write("run/ppp4.pid", "102\n");
    process(102, "/usr/bin/bash -c sleep");
    interface("ppp4", 21);
    // No process at all, and pid files with nonsense in them.
    write("run/ppp5.pid", "103\n");
    interface("ppp5", 22);
    write("run/ppp6.pid", "-1\n");
    write("run/ppp7.pid", "1\n");
    write("run/ppp8.pid", "garbage");
    interface("ppp6", 23);
    interface("ppp7", 24);
    interface("ppp8", 25);

    PppdDialUp pppd = backend();
    EXPECT_EQ(pppd.connections(), QList<DialUpConnection>());

    // Hanging up something that is not a pppd sends nothing, whatever the handle says.
    for (const QString handle : {"102", "103", "1", "-1", "0", "abc", ""})
        EXPECT_FALSE(pppd.hangUp({handle, "x", DialUpState::Connected, "ppp4", 0}));
    EXPECT_TRUE(signals.empty());
}

TEST_F(PppdDialUpTest, AbsentPppdIsEmptyNotAFailure) {
    PppdDialUp pppd = backend();
    EXPECT_EQ(pppd.connections(), QList<DialUpConnection>());
    EXPECT_EQ(pppd.entries(), QStringList());
}

TEST_F(PppdDialUpTest, UnreadablePeersFolderIsAFailure) {
    write("etc/ppp/peers", "a file where the folder should be");
    EXPECT_EQ(backend().entries(), std::nullopt);
}

} // namespace
