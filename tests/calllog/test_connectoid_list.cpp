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

const QString TwentyZ(20, u'z');

} // namespace

TEST(GetConnectoidList, PseudoEntriesTakeTheLastSlotsAndAllIsSorted) {
    const auto names = table({"Work", "Home", "BT"});
    EXPECT_EQ(used(GetConnectoidList(names, true, true)),
              QStringList({"BT", "Default", "Home", "Unknown/Other", "Work"}));
    EXPECT_EQ(used(GetConnectoidList(names, true, false)),
              QStringList({"BT", "Home", "Unknown/Other", "Work"}));
    EXPECT_EQ(used(GetConnectoidList(names, false, true)),
              QStringList({"BT", "Default", "Home", "Work"}));
    const auto plain = GetConnectoidList(names, false, false);
    EXPECT_EQ(plain[1], "BT");
    EXPECT_EQ(plain[3], "Work");
    EXPECT_TRUE(plain[4].isEmpty());
    EXPECT_EQ(used(GetConnectoidList(table({}), true, true)),
              QStringList({"Default", "Unknown/Other"}));
}

TEST(GetConnectoidList, NinetyNineNamesLoseTheLastToDefault) {
    QStringList names;
    for (int i = 1; i <= 99; ++i)
        names << QStringLiteral("Entry %1").arg(i, 2, 10, QChar(u'0'));
    const auto list = GetConnectoidList(table(names), true, true);
    const QStringList result = used(list);
    EXPECT_EQ(result.size(), 100);
    EXPECT_TRUE(result.contains("Entry 98"));
    EXPECT_FALSE(result.contains("Entry 99"));
    EXPECT_EQ(list[1], "Default");
    EXPECT_EQ(list[100], "Unknown/Other");
}

TEST(GetConnectoidList, FillerAndNamesAfterZ) {
    const auto list = GetConnectoidList(
        table({"{late}", TwentyZ, "abc", "abcd", QString::fromUtf8("Ärger"), "Ab"}), false, false);
    // Twenty "z" is taken for an unused slot; names sorting after "z" end up after the
    // emptied filler slots, byte order, a prefix first and capitals before small letters.
    EXPECT_EQ(list[1], "Ab");
    EXPECT_EQ(list[2], "abc");
    EXPECT_EQ(list[3], "abcd");
    EXPECT_TRUE(list[4].isEmpty());
    EXPECT_TRUE(list[98].isEmpty());
    EXPECT_EQ(list[99], "{late}");
    EXPECT_EQ(list[100], QString::fromUtf8("Ärger"));
    EXPECT_FALSE(used(list).contains(TwentyZ));
}

TEST(GetConnectoidList, EqualNamesStayTwice) {
    EXPECT_EQ(used(GetConnectoidList(table({"Same", "Same", "A"}), false, false)),
              QStringList({"A", "Same", "Same"}));
}

TEST(IsUnknownConnectoid, ExactCaseSensitiveMatchAgainstTheEntries) {
    const auto names = table({"Home", "Work"});
    EXPECT_FALSE(IsUnknownConnectoid(names, "Home", false));
    EXPECT_TRUE(IsUnknownConnectoid(names, "home", false));
    EXPECT_TRUE(IsUnknownConnectoid(names, "Home ", false));
    EXPECT_TRUE(IsUnknownConnectoid(names, "Default", false));
    EXPECT_FALSE(IsUnknownConnectoid(names, "Default", true));
    EXPECT_TRUE(IsUnknownConnectoid(names, "Unknown/Other", true));
    EXPECT_TRUE(IsUnknownConnectoid(names, TwentyZ, false));
}

TEST(ConnectoidGrouping, DisplayNamesFollowTheCurrentEntries) {
    const ConnectoidGrouping now(table({"Home", QString::fromUtf8("Mobil€")}));
    EXPECT_EQ(now.displayName("Home"), "Home");
    EXPECT_EQ(now.displayName(""), "Unknown/Other");
    EXPECT_EQ(now.displayName("Unknown/Other"), "Unknown/Other");
    EXPECT_EQ(now.displayName("Old ISP"), "Unknown/Other");
    EXPECT_EQ(now.displayName("Default"), "Unknown/Other");
    // The log stores "Mobil?" for this entry; its calls still group under it.
    EXPECT_EQ(now.displayName("Mobil?"), "Mobil?");

    // A deleted entry's calls show under their own name again once it is recreated.
    const ConnectoidGrouping later(table({"Home", "Old ISP"}));
    EXPECT_EQ(later.displayName("Old ISP"), "Old ISP");
}
