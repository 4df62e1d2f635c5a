#include "core/lists.h"
#include "core/user_name.h"

#include <gtest/gtest.h>

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
    typApplicationInformation expected;
    expected.Connectoid_Name = "Dial Home";
    EXPECT_EQ(FreshApplication(working), expected);
}

TEST(Lists, AutoExcludesMatchAnywhereIgnoringCaseAndStopAtTheFirstEmptySlot) {
    AutoExcludeTable t;
    t[4].Text = "stale";
    SetDefaultAutoExcludes(t);
    EXPECT_EQ(t[1].Text, "\\channels\\");
    EXPECT_EQ(t[2].Text, "\\links\\");
    EXPECT_EQ(t[3].Text, "\\media\\");
    EXPECT_EQ(FindFreeAutoExclude(t), 4);
    EXPECT_TRUE(IsAutoExcluded(t, "C:\\Favorites\\Links\\Free Hotmail.url"));
    EXPECT_TRUE(IsAutoExcluded(t, "c:\\favorites\\LINKS\\x.url"));
    EXPECT_FALSE(IsAutoExcluded(t, "C:\\Favorites\\linkstore\\x.url"));
    EXPECT_FALSE(IsAutoExcluded(t, ""));

    // An entry behind a gap is never looked at.
    t[5].Text = "\\news\\";
    EXPECT_FALSE(IsAutoExcluded(t, "C:\\Favorites\\News\\a.url"));
    AutoExcludeTable empty;
    EXPECT_FALSE(IsAutoExcluded(empty, "anything"));
}

TEST(Lists, ScramblingIsAnXorThatUndoesItself) {
    const QString scrambled = ScramblePassword("abc");
    ASSERT_EQ(scrambled.size(), 3);
    EXPECT_EQ(scrambled[0].unicode(), 'a' ^ 0x5A);
    EXPECT_EQ(scrambled[1].unicode(), 'b' ^ 0x5A);
    EXPECT_EQ(scrambled[2].unicode(), 'c' ^ 0x5A);
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
