#include "calllog/connectoid_list.h"

#include <gtest/gtest.h>

namespace {

ConnectoidNameTable table(const QStringList& names) {
    ConnectoidNameTable t;
    t.fill(names);
    return t;
}

QStringList used(const ConnectoidNameTable& t) {
    QStringList out;
    for (const QString& s : t.slots)
        if (!s.isEmpty())
            out << s;
    return out;
}

} // namespace

TEST(GetConnectoidList, PseudoEntriesAndSorting) {
    const auto names = table({"Work", "Home", "BT", "Home"});
    EXPECT_EQ(used(GetConnectoidList(names, true, true)),
              QStringList({"BT", "Default", "Home", "Home", "Unknown/Other", "Work"}));
    EXPECT_EQ(used(GetConnectoidList(names, true, false)),
              QStringList({"BT", "Home", "Home", "Unknown/Other", "Work"}));
    EXPECT_EQ(used(GetConnectoidList(names, false, true)),
              QStringList({"BT", "Default", "Home", "Home", "Work"}));

    QStringList many;
    for (int i = 1; i <= 99; ++i)
        many << QStringLiteral("Entry %1").arg(i, 2, 10, QChar(u'0'));
    const auto list = GetConnectoidList(table(many), true, true);
    EXPECT_EQ(used(list).size(), 100);
    EXPECT_FALSE(used(list).contains("Entry 99")); // lost to "Default"
    EXPECT_EQ(list[1], "Default");
    EXPECT_EQ(list[100], "Unknown/Other");
}

TEST(GetConnectoidList, FillerAndNamesAfterZ) {
    const QString twentyZ(20, u'z');
    const auto list = GetConnectoidList(
        table({"{late}", twentyZ, "abcd", "abc", QString::fromUtf8("Ärger"), "Ab"}), false, false);
    EXPECT_EQ(used(list), QStringList({"Ab", "abc", "abcd", "{late}", QString::fromUtf8("Ärger")}));
    EXPECT_TRUE(list[4].isEmpty());
    EXPECT_EQ(list[99], "{late}"); // after the emptied filler slots
}

TEST(ConnectoidNames, UnknownAndDisplayNames) {
    const auto names = table({"Home", QString::fromUtf8("Mobił")});
    EXPECT_FALSE(IsUnknownConnectoid(names, "Home", false));
    EXPECT_TRUE(IsUnknownConnectoid(names, "home", false));
    EXPECT_TRUE(IsUnknownConnectoid(names, "Default", false));
    EXPECT_FALSE(IsUnknownConnectoid(names, "Default", true));

    const ConnectoidGrouping now(names);
    EXPECT_EQ(now.displayName("Home"), "Home");
    for (const char* unknown : {"", "Unknown/Other", "Old ISP", "Default"})
        EXPECT_EQ(now.displayName(unknown), "Unknown/Other") << unknown;
    EXPECT_EQ(now.displayName("Mobi?"), "Mobi?"); // how the log stores "Mobił"
    EXPECT_EQ(ConnectoidGrouping(table({"Old ISP"})).displayName("Old ISP"), "Old ISP");

    const ConnectoidGrouping anyName = ConnectoidGrouping::everyStoredName();
    EXPECT_EQ(anyName.displayName("Old ISP"), "Old ISP");
    EXPECT_EQ(anyName.displayName(""), "Unknown/Other");
}
