#include "core/lists.h"
#include "core/user_name.h"

#include <gtest/gtest.h>

TEST(Lists, StartEmptyAndClearMarksEverySlotFree) {
    typLists lists;
    EXPECT_EQ(FindFreeCosting(lists.Costings), 1);
    EXPECT_EQ(FindFreePassword(lists.Passwords), 1);
    EXPECT_EQ(FindFreeAutoExclude(lists.AutoExcludes), 1);

    lists.Costings[1] = {"A", 0.25, 0.5, 0, 0, 62, 0.02, 0};
    ClearCostings(lists.Costings);
    EXPECT_EQ(lists.Costings[1].ChargePerMin, -1.0);
    EXPECT_EQ(lists.Costings[1].Connectoid_Name, "A"); // only the marker is reset

    lists.Applications[1].Filename = "/usr/bin/true";
    ClearApplications(lists.Applications);
    EXPECT_EQ(FindFreeApplication(lists.Applications), 1);
}

TEST(Lists, FindFreeOnAFullTableAndDeleteShifts) {
    ApplicationTable apps;
    for (int i = 1; i <= 60; ++i)
        apps[i].Filename = QString::number(i);
    EXPECT_EQ(FindFreeApplication(apps), 0);
    DeleteApplication(apps, 1);
    EXPECT_EQ(apps[1].Filename, "2");
    EXPECT_EQ(apps[59].Filename, "60");
    EXPECT_EQ(FindFreeApplication(apps), 60);

    ToolHostTable pings;
    pings[1].Host = "a";
    pings[2].Host = "b";
    pings[3].Host = "c";
    DeletePing(pings, 2);
    EXPECT_EQ(pings[2].Host, "c");
    EXPECT_EQ(FindFreePing(pings), 3);
    DeletePing(pings, 0);  // out of range: nothing happens
    DeletePing(pings, 16); // likewise
    EXPECT_EQ(FindFreePing(pings), 3);

    PasswordTable passwords;
    passwords[1].Company = "x";
    DeletePassword(passwords, 1);
    EXPECT_EQ(FindFreePassword(passwords), 1);
}

TEST(Lists, FreshRecords) {
    EXPECT_EQ(FreshCosting().ChargePerMin, -1.0);
    EXPECT_TRUE(FreshCostingFurtherDetail().Value.isEmpty());
    typApplicationInformation working;
    working.Connectoid_Name = "Dial Home";
    working.Filename = "/usr/bin/mail";
    working.Delay = 30;
    working.Execute = 2;
    const typApplicationInformation fresh = FreshApplication(working);
    EXPECT_EQ(fresh.Connectoid_Name, "Dial Home");
    EXPECT_TRUE(fresh.Filename.isEmpty());
    EXPECT_EQ(fresh.Delay, 0);
    EXPECT_EQ(fresh.Execute, 0);
    EXPECT_FALSE(FreshToolWithDefault().DefaultItem);
    EXPECT_FALSE(FreshPOP3().Include_In_Startup_Check);
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
