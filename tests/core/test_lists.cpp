#include "core/connectoid_names.h"
#include "core/lists.h"
#include "core/user_name.h"

#include <gtest/gtest.h>

TEST(ListTable, DeleteMovesTheLaterEntriesDownAndFreesTheSlotAfterTheLast) {
    for (int used : {3, 75}) {
        for (int k : {1, 2, used}) {
            CostingTable t;
            for (int i = 1; i <= used; ++i)
                t[i].ChargePerMin = i;
            deleteAtIndex(t, k);
            QList<double> actual, expected;
            for (int i = 1; i <= CostingTable::Capacity; ++i) {
                actual << t[i].ChargePerMin;
                expected << (i >= used ? -1.0 : (i < k ? i : i + 1));
            }
            EXPECT_EQ(actual, expected) << "delete " << k << " of " << used;
            EXPECT_EQ(usedCount(t), used - 1);
        }
    }
    ApplicationTable t;
    t[1].Filename = "/bin/true";
    deleteAtIndex(t, 0);
    deleteAtIndex(t, 61);
    EXPECT_EQ(t[1].Filename, "/bin/true");
}

TEST(ListTable, ConnectoidNamesAreCutAndSlot100StaysEmpty) {
    ConnectoidNameTable names;
    QStringList book;
    for (int i = 0; i < 120; ++i)
        book << QString("Provider number %1 with a long name").arg(i);
    names.fill(book);
    EXPECT_EQ(names[1], "Provider number 0 wi");
    EXPECT_EQ(names[99].size(), 20);
    EXPECT_TRUE(names[100].isEmpty());
    names.fill({});
    EXPECT_TRUE(names[1].isEmpty());
}

TEST(Lists, ClearingChargeBandsOnlyResetsTheFreeMarker) {
    typLists lists;
    EXPECT_EQ(FindFreeCosting(lists.Costings), 1); // a new table is empty
    lists.Costings[1] = {"A", 0.25, 0.5, 0, 0, 62, 0.02, 0};
    ClearCostings(lists.Costings);
    EXPECT_EQ(lists.Costings[1].ChargePerMin, -1.0);
    EXPECT_EQ(lists.Costings[1].Connectoid_Name, "A");
    EXPECT_EQ(FreshCosting().ChargePerMin, -1.0);
}

TEST(Lists, FreshApplicationKeepsOnlyTheLastConnectoid) {
    const typApplicationInformation working{"Dial Home", "/usr/bin/mail", "/tmp", "-x", 1, 2, 1,
                                            30};
    EXPECT_EQ(FreshApplication(working),
              (typApplicationInformation{"Dial Home", "", "", "", 0, 0, 0, 0}));
}

TEST(Lists, AutoExcludesMatchAnywhereIgnoringCaseAndStopAtTheFirstEmptySlot) {
    AutoExcludeTable t;
    t[4].Text = "stale";
    SetDefaultAutoExcludes(t);
    QStringList texts;
    for (int i = 1; i <= 4; ++i)
        texts << t[i].Text;
    EXPECT_EQ(texts, QStringList({"\\channels\\", "\\links\\", "\\media\\", ""}));
    EXPECT_TRUE(IsAutoExcluded(t, "C:\\Favorites\\Links\\Free Hotmail.url"));
    EXPECT_TRUE(IsAutoExcluded(t, "c:\\favorites\\LINKS\\x.url"));
    EXPECT_FALSE(IsAutoExcluded(t, "C:\\Favorites\\linkstore\\x.url"));
    EXPECT_FALSE(IsAutoExcluded(t, ""));

    // An entry behind a gap is never looked at.
    t[5].Text = "\\news\\";
    EXPECT_FALSE(IsAutoExcluded(t, "C:\\Favorites\\News\\a.url"));
    EXPECT_FALSE(IsAutoExcluded(AutoExcludeTable{}, "anything"));
}

TEST(Lists, ScramblingIsAnXorThatUndoesItself) {
    EXPECT_EQ(ScramblePassword("abc"), ";89"); // 0x61 ^ 0x5A is 0x3B
    EXPECT_EQ(ScramblePassword(""), "");
    const QString odd = QStringLiteral("Zé€\U0001F600");
    EXPECT_EQ(ScramblePassword(ScramblePassword(odd)), odd);
}

TEST(UserName, TrimmedCutAndDefault) {
    EXPECT_EQ(UserNameTextFrom("  alice  "), "alice");
    EXPECT_EQ(UserNameTextFrom(QString(30, u'x')), QString(25, u'x'));
    EXPECT_EQ(UserNameTextFrom("   "), "Default");
    EXPECT_EQ(UserNameTextFrom(""), "Default");
    const QString name = GetUserNameText();
    EXPECT_FALSE(name.isEmpty());
    EXPECT_LE(name.size(), 25);
    EXPECT_EQ(name, name.trimmed());
}
