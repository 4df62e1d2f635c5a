#include "core/ini_settings_store.h"
#include "core/password_file.h"
#include "settings_test_support.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

typCostingInformation band(const QString& name, double charge) {
    typCostingInformation c;
    c.Connectoid_Name = name;
    c.ChargePerMin = charge;
    return c;
}

QStringList costingNames(const SettingsStore& store) {
    QStringList out;
    const int n = store.readInteger("", "Number_Of_Costings", -1);
    for (int i = 1; i <= n; ++i)
        out << store.readString("Costing" + QString::number(i), "Connectoid_Name", "?");
    return out;
}

// A record and lists with a value other than the default in every field that is saved.
void fillEverything(typSettings& s, typLists& l) {
    s.Show_Time = false;
    s.Show_Cost = false;
    s.Show_CostPerMinute = true;
    s.Show_DTR = false;
    s.Show_Data_Transferred = false;
    s.Show_Connect_Speed = true;
    s.Intelligent_Display = 4;
    s.Show_Digital_Display = 2;
    s.Number_Of_Characters = 6;
    s.Character_Size = 2;
    s.Pixel_Spacing = 1;
    s.Show_Cost_Including_Discount = true;
    s.Indicate_Minimum_Charge = false;
    s.Indicate_Maximum_Charge = false;
    s.Hide_Tray_Icon = true;
    s.Flash_Icon_Minimum = s.Flash_Icon_Connected = s.Flash_Icon_Maximum = true;
    s.Enable_TransmitReceive = false;
    s.Adjust_Display_After_Resolution_Change = true;
    s.Adjust_Intelligence_After_Resolution_Change = true;
    s.Default_Menu = 5;
    s.Data_Log = 0;
    s.Data_DTR = 1;
    s.Decimal_Places_Charge_Bands = 1;
    s.Decimal_Places_Log_Statistics = 2;
    s.Decimal_Places_Log_Detail = 3;
    s.Decimal_Places_Display = 4;
    s.Decimal_Places_Cost_Per_Minute = 5;
    s.Decimal_Places_DTR = 1;
    s.Decimal_Places_Data_Transferred = 2;
    s.Sound_Event_WhenConnected = 1;
    s.Sound_Event_WhenDisconnect = 2;
    s.Sound_Event_AtMinimumCharge = 3;
    s.Sound_Event_AtMaximumCharge = 1;
    s.Sound_Event_AtAutoDisconnectStart = 2;
    s.Sound_Event_NewMailNotification = 3;
    s.Color_LED_Idle = 1;
    s.Color_LED_Minimum = 2;
    s.Color_LED_Maximum = 3;
    s.Color_LED_Time = 4;
    s.Color_LED_Costs = 5;
    s.Color_LED_Cost_Per_Minute = 6;
    s.Color_LED_DTR = 7;
    s.Color_LED_Transferred = 8;
    s.Color_LED_Lights = 9;
    s.Color_Connect_Speed = 0;
    s.Icon_Hint_Cost = s.Icon_Hint_Duration = s.Icon_Hint_DTR = false;
    s.Icon_Hint_CostPerMinute = s.Icon_Hint_Data = s.Icon_Hint_IPAddress = true;
    s.Icon_Hint_ConnectSpeed = false;
    s.Exit_VORN = s.Disable_Checks = s.Debug_Logging = s.Alternative_Detector = true;
    s.Priority_Of_Application = 2;
    s.Backup_Log = s.Compact_Call_Log = false;
    s.Applications_Delay = 29;
    s.No_Charge_Bands = true;
    s.Dial_Up_Service = "simulated";
    s.Dial_Up_All_Profiles = true;
    s.Auto_Disconnect = 30;
    s.Auto_Idle_Disconnect = 0;
    s.Auto_At_Disconnect = 45001.75;
    s.Auto_Disconnect_Connect_Speed = 28800;
    s.Auto_Disconnect_Exceed_Cost = 1.25;
    s.Auto_Disconnect_Free_Minutes = s.Auto_Disconnect_Minimum_Period = true;
    s.Operation_After_Auto_Disconnecting = 1;
    s.Operation_After_Disconnecting = 2;
    s.Interval_Call_Checker = 500;
    s.Interval_Calculate_Cost = 1000;
    s.Interval_Display_Changer = 5000;
    s.Interval_Auto_Hide = 50;
    s.Interval_DTR = 10000;
    s.Interval_Transmit_Receive = 1000;
    s.Repeat_Ping = 0;
    s.Time_Out = 5;
    s.Additional_Lines = 3;
    s.Check_At_Startup = s.Execute_Mail_Application = true;
    s.Mail_Application = "/usr/bin/thunderbird";
    s.Mail_Application_Parameters = "-mail, \"inbox\"";
    s.Port_Number = 995;
    s.Proxy = "proxy.example.net";
    s.Proxy_UserName = "me";
    s.Proxy_Password = "Pa=ss;Z\\word";
    s.Proxy_Port = 3128;
    s.Show_Always_Company = s.Show_Always_Comments = false;
    s.Show_Always_Username = s.Show_Always_Password = true;
    s.Password = "Zebra Pony";
    s.Simultaneous_Connections = 9;
    s.Web_Notify_Retries = 0;
    s.Web_Notify_Time_Out = 5;
    s.URL_Folder_Location = "/home/u/Bookmarks";
    s.Recurse_Frame_Pages = s.Use_Last_Updated_Only = true;
    s.Web_Notify_Page_Size_Changes = s.Web_Notify_Last_Updated_Changes = false;
    s.Web_Notify_Page_Size_Margin = 10;

    l.Costings[1] = {"Dial Home", 0.3541666666666, 0.75, 60, 3600, 62, 0.0395, 10};
    l.Costings[2] = {"Default", 0.75, 0.3541666666666, 0, 0, 65, 0.01, 0};
    l.CostingFurtherDetails[1] = {"Dial Home", "Minimum Charge", 0, 600, "0.05"};
    l.CostingFurtherDetails[2] = {"Default", "Apply Discount Percent To Minimum Charge", 0, 0,
                                  "Yes"};
    l.Applications[1] = {"Default", "/usr/bin/xterm", "/tmp", "-e top", 1, 1, 1, 30};
    l.Applications[2] = {"Work", "/usr/bin/true", "", "", 3, 2, 0, 0};
    l.Fingers[1] = {"a@b.example.net", "Status", true};
    l.Pings[1] = {"10.0.0.1", "Router", false};
    l.Pings[2] = {"gw.example.net", "", true};
    l.POP3s[1] = {"pop.example.net", "me", "Zap\npass", true};
    l.Excludes[1].Text = "http://example.net/a,b";
    l.AutoExcludes[1].Text = "\\links\\";
    l.Passwords[1] = {"Bank", "me", "pw", "note"};
}

} // namespace

TEST(SaveCostings, SpecificBandsBeforeDefaultOnesAndStaleSectionsDeleted) {
    MemorySettingsStore store;
    store.setValue("Costing4", "Connectoid_Name", "stale");
    store.setValue("Costing75", "Connectoid_Name", "stale");
    CostingTable t;
    t[1] = band("A", 0.1);
    t[2] = band("Default", 0.2);
    t[3] = band("B", 0.3);
    const int syncs = store.syncCount;
    SaveCostings(store, t, RegionalSettings::english());
    EXPECT_EQ(costingNames(store), QStringList({"A", "B", "Default"}));
    EXPECT_FALSE(store.hasSection("Costing4"));
    EXPECT_FALSE(store.hasSection("Costing75"));
    EXPECT_GT(store.syncCount, syncs);
    // Memory follows the saved order, so the reload finds what is in the editor.
    EXPECT_EQ(t[2].Connectoid_Name, "B");
}

TEST(SaveCostings, GapsAreClosedAndDefaultBandsKeepTheirOrder) {
    MemorySettingsStore store;
    CostingTable t;
    t[1] = band("Default", 1);
    t[2] = band("Default", 2);
    t[4] = band("A", 3); // slot 3 is free
    t[6] = band("Default", 4);
    t[75] = band("B", 5);
    SaveCostings(store, t, RegionalSettings::english());
    EXPECT_EQ(costingNames(store), QStringList({"A", "B", "Default", "Default", "Default"}));
    QList<double> charges;
    for (int i = 1; i <= 5; ++i)
        charges << store.readString("Costing" + QString::number(i), "ChargePerMin", "").toDouble();
    EXPECT_EQ(charges, (QList<double>{3, 5, 1, 2, 4}));
    // Saving again changes nothing: a plain OK must not reorder overlapping bands.
    SaveCostings(store, t, RegionalSettings::english());
    EXPECT_EQ(store.readString("Costing3", "ChargePerMin", ""), "1");
    EXPECT_EQ(store.readString("Costing4", "ChargePerMin", ""), "2");
}

TEST(SaveCostings, FullTableAndEmptyTable) {
    MemorySettingsStore store;
    CostingTable t;
    for (int i = 1; i <= 75; ++i)
        t[i] = band("C" + QString::number(i), i);
    SaveCostings(store, t, RegionalSettings::english());
    EXPECT_EQ(store.readInteger("", "Number_Of_Costings", -1), 75);
    EXPECT_TRUE(store.hasSection("Costing75"));

    for (int i = 75; i >= 1; --i)
        DeleteCosting(t, 1);
    SaveCostings(store, t, RegionalSettings::english());
    EXPECT_EQ(store.readInteger("", "Number_Of_Costings", -1), 0);
    EXPECT_TRUE(store.sections().isEmpty());
}

TEST(SaveCostingFurtherDetails, SameOrderingAndCounter) {
    MemorySettingsStore store;
    store.setValue("Costing_Further_Details3", "Value", "stale");
    CostingFurtherDetailTable t;
    t[1] = {"Default", "Minimum Charge", 0, 0, "0.1"};
    t[3] = {"Work", "Connection Charge", 0, 0, "0.2"};
    SaveCostingFurtherDetails(store, t);
    EXPECT_EQ(store.readInteger("", "Number_Of_Costing_Further_Details", -1), 2);
    EXPECT_EQ(store.readString("Costing_Further_Details1", "Connectoid_Name", ""), "Work");
    EXPECT_EQ(store.readString("Costing_Further_Details2", "Value", ""), "0.1");
    EXPECT_FALSE(store.hasSection("Costing_Further_Details3"));
}

TEST(SaveToolLists, ValueListsDropTheirSectionWhenEmpty) {
    MemorySettingsStore store;
    AutoExcludeTable t;
    SetDefaultAutoExcludes(t);
    SaveAutoExcludes(store, t);
    EXPECT_EQ(store.readInteger("", "Number_Of_Auto_Excludes", -1), 3);
    EXPECT_EQ(store.readString("AutoExclude", "Entry3", ""), "\\media\\");

    DeleteAutoExclude(t, 3);
    SaveAutoExcludes(store, t);
    EXPECT_EQ(store.readInteger("", "Number_Of_Auto_Excludes", -1), 2);
    EXPECT_FALSE(store.hasValue("AutoExclude", "Entry3"));

    ClearAutoExcludes(t);
    SaveAutoExcludes(store, t);
    EXPECT_EQ(store.readInteger("", "Number_Of_Auto_Excludes", -1), 0);
    EXPECT_FALSE(store.hasSection("AutoExclude"));

    ExcludeTable ex;
    SaveExcludes(store, ex);
    EXPECT_EQ(store.readInteger("", "Number_Of_Excludes", -1), 0);
    EXPECT_FALSE(store.hasSection("Exclude"));
}

TEST(SaveToolLists, RemovingEveryFingerBringsTheDefaultsBackAtTheNextLoad) {
    MemorySettingsStore store;
    LoadFixture f;
    typSettings s;
    typLists lists;
    f.load(store, s, lists);
    ClearFingers(lists.Fingers);
    SaveFingers(store, lists.Fingers);
    EXPECT_EQ(store.readInteger("", "Number_Of_Fingers", -1), 0);
    f.load(store, s, lists);
    EXPECT_EQ(FindFreeFinger(lists.Fingers), 4);
}

class RoundTrip : public ::testing::TestWithParam<bool> {};

// Everything saved under one locale comes back under the other, through the real file.
TEST_P(RoundTrip, EverySettingAndListSurvivesSaveAndLoad) {
    const bool italianFirst = GetParam();
    QTemporaryDir dir;
    LoadFixture f;
    f.passwordFile = dir.filePath("Logs/password.bin");
    const RegionalSettings writer =
        italianFirst ? RegionalSettings::italian() : RegionalSettings::english();
    f.regional = italianFirst ? RegionalSettings::english() : RegionalSettings::italian();

    typSettings saved;
    typLists lists;
    fillEverything(saved, lists);
    {
        IniSettingsStore store(dir.filePath("VORN.conf"));
        SaveOptions(store, saved, lists, writer);
        SaveToolOptions(store, saved);
        SaveFingers(store, lists.Fingers);
        SavePings(store, lists.Pings);
        SavePOP3s(store, lists.POP3s);
        SaveExcludes(store, lists.Excludes);
        SaveAutoExcludes(store, lists.AutoExcludes);
        ASSERT_TRUE(passwordfile::write(f.passwordFile, lists.Passwords));
    }
    if (italianFirst) {
        IniSettingsStore store(dir.filePath("VORN.conf"));
        EXPECT_EQ(store.readString("Costing1", "ChargePerMin", ""), "0,0395");
    }

    IniSettingsStore store(dir.filePath("VORN.conf"));
    typSettings loaded;
    typLists back;
    f.load(store, loaded, back);

    // The load brings its own surroundings: the platform and the settings it never saves.
    saved.Icon_Hint_ConnectSpeed = loaded.Icon_Hint_ConnectSpeed;
    EXPECT_TRUE(loaded == saved);
    EXPECT_EQ(loaded.Password, "Zebra Pony");
    EXPECT_EQ(loaded.Proxy_Password, "Pa=ss;Z\\word");
    EXPECT_EQ(loaded.Mail_Application_Parameters, "-mail, \"inbox\"");
    EXPECT_DOUBLE_EQ(loaded.Auto_At_Disconnect, 45001.75);
    EXPECT_EQ(back.Costings, lists.Costings);
    EXPECT_DOUBLE_EQ(back.Costings[1].ChargePerMin, 0.0395);
    EXPECT_EQ(back.CostingFurtherDetails, lists.CostingFurtherDetails);
    EXPECT_EQ(back.Applications, lists.Applications);
    EXPECT_EQ(back.Fingers, lists.Fingers);
    EXPECT_EQ(back.Pings, lists.Pings);
    EXPECT_EQ(back.POP3s, lists.POP3s);
    EXPECT_EQ(back.POP3s[1].Password, "Zap\npass");
    EXPECT_EQ(back.Excludes, lists.Excludes);
    EXPECT_EQ(back.AutoExcludes, lists.AutoExcludes);
    EXPECT_EQ(back.Passwords, lists.Passwords);
}

INSTANTIATE_TEST_SUITE_P(Locales, RoundTrip, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "CommaToDot" : "DotToComma"; });
