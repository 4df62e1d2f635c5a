#include "platform/byte_counters.h"
#include "sysfs_tree.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class SysfsByteCountersTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        EXPECT_FALSE(counters.IsDataRateAvailable()); // no sysfs, no source
        ASSERT_TRUE(writeInterface(root.path(), "eth0", 2, "999999", "888888"));
    }
    QTemporaryDir root;
    SysfsByteCounters counters{root.path()};
};

TEST_F(SysfsByteCountersTest, NamedInterfaceIsRead64BitAndNeverCached) {
    ASSERT_TRUE(writeInterface(root.path(), "ppp0", 7, "4294967296", "12"));
    counters.setInterfaceName("ppp0");
    EXPECT_TRUE(counters.IsDataRateAvailable());
    EXPECT_EQ(counters.GetByteCount(u"r"), 4294967296ull);
    EXPECT_EQ(counters.GetByteCount(u"t"), 12u);
    EXPECT_EQ(counters.GetByteCount(u"x"), 0u);
    EXPECT_EQ(counters.GetByteCount(u"R"), 0u);

    ASSERT_TRUE(writeInterface(root.path(), "ppp0", 7, "4294968320", "12"));
    EXPECT_EQ(counters.GetByteCount(u"r"), 4294968320ull);
}

TEST_F(SysfsByteCountersTest, WithoutANameTheLastPppInterfaceWins) {
    EXPECT_EQ(counters.currentInterface(), "");
    EXPECT_EQ(counters.GetByteCount(u"r"), 0u); // ethernet is never a dial-up link

    ASSERT_TRUE(writeInterface(root.path(), "ppp10", 5, "100", "10"));
    ASSERT_TRUE(writeInterface(root.path(), "ppp2", 9, "200", "20"));
    ASSERT_TRUE(writeInterface(root.path(), "ppp9", 3, "300", "30"));
    EXPECT_EQ(counters.currentInterface(), "ppp2"); // highest interface index, not name
    EXPECT_EQ(counters.GetByteCount(u"r"), 200u);
    EXPECT_EQ(counters.GetByteCount(u"t"), 20u);

    // Counters of a service that names the link of its calls never guess one.
    SysfsByteCounters namedOnly(root.path(), SysfsByteCounters::NamedOnly);
    EXPECT_EQ(namedOnly.GetByteCount(u"r"), 0u);
    namedOnly.setInterfaceName("ppp9");
    EXPECT_EQ(namedOnly.GetByteCount(u"r"), 300u);
}

TEST_F(SysfsByteCountersTest, MissingGarbageAndUnsafeInputsCountZero) {
    ASSERT_TRUE(writeInterface(root.path(), "ppp0", 4, "lots", "-5"));
    // An interface name from a D-Bus reply never leaves /sys/class/net.
    ASSERT_TRUE(writeTreeFile(root.path(), "sys/class/statistics/rx_bytes", "77"));
    for (const QString name : {"ppp3", "ppp0", "../", "..", "eth0/../../", "."}) {
        counters.setInterfaceName(name);
        EXPECT_EQ(counters.GetByteCount(u"r"), 0u) << name.toStdString();
        EXPECT_EQ(counters.GetByteCount(u"t"), 0u) << name.toStdString();
    }
}

} // namespace
