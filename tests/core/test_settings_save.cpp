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

// Lists with every field set, texts the INI file must quote or escape.
void fillLists(typLists& l) {
    l.Costings[1] = {"Dial Home", 0.3541666666666, 0.75, 60, 3600, 62, 0.0395, 10};
    l.Costings[2] = {"Default", 0.75, 0.3541666666666, 0, 0, 65, 0.01, 0};
    l.CostingFurtherDetails[1] = {"Dial Home", "Minimum Charge", 0, 600, "0.05"};
    l.CostingFurtherDetails[2] = {"Default", "Apply Discount Percent To Minimum Charge", 0, 0,
                                  "Yes"};
    l.Applications[1] = {"Default", "/usr/bin/xterm", "/tmp", "-e \"top, -d 1\"", 1, 1, 1, 30};
    l.Applications[2] = {"Work", "/usr/bin/true", "", "", 3, 2, 0, 0};
    l.Fingers[1] = {"a@b.example.net", "Status; [main]", true};
    l.Pings[1] = {"10.0.0.1", "Router", false};
    l.Pings[2] = {"gw.example.net", "", true};
    l.POP3s[1] = {"pop.example.net", "me", "Zap\npass=", true};
    l.Excludes[1].Text = "http://example.net/a,b";
    l.AutoExcludes[1].Text = "\\links\\";
    l.Passwords[1] = {"Bank", "me", "pw", "note"};
}

// A value other than the default for every single value that the two windows save.
const char* const NonDefaults = R"(
    Show_Time=0 Show_Cost=0 Show_CostPerMinute=1 Show_DTR=0 Show_Data_Transferred=0
    Show_Connect_Speed=1 Intelligent_Display=4 Show_Digital_Display=2 Number_Of_Characters=6
    Character_Size=2 Pixel_Spacing=1 Show_Cost_Including_Discount=1 Indicate_Minimum_Charge=0
    Indicate_Maximum_Charge=0 Hide_Tray_Icon=1 Flash_Icon_Minimum=1 Flash_Icon_Connected=1
    Flash_Icon_Maximum=1 Enable_TransmitReceive=0 Adjust_Display_After_Resolution_Change=1
    Adjust_Intelligence_After_Resolution_Change=1 Default_Menu=5 Data_Log=0 Data_DTR=1
    Decimal_Places_Charge_Bands=1 Decimal_Places_Log_Statistics=2 Decimal_Places_Log_Detail=3
    Decimal_Places_Display=4 Decimal_Places_Cost_Per_Minute=5 Decimal_Places_DTR=1
    Decimal_Places_Data_Transferred=2 Sound_Event_WhenConnected=1 Sound_Event_WhenDisconnect=2
    Sound_Event_AtMinimumCharge=3 Sound_Event_AtMaximumCharge=1
    Sound_Event_AtAutoDisconnectStart=2 Sound_Event_NewMailNotification=3 Color_LED_Idle=1
    Color_LED_Minimum=2 Color_LED_Maximum=3 Color_LED_Time=4 Color_LED_Costs=5
    Color_LED_Cost_Per_Minute=6 Color_LED_DTR=7 Color_LED_Transferred=8 Color_LED_Lights=9
    Color_Connect_Speed=0 Icon_Hint_Cost=0 Icon_Hint_Duration=0 Icon_Hint_CostPerMinute=1
    Icon_Hint_DTR=0 Icon_Hint_Data=1 Icon_Hint_IPAddress=1 Icon_Hint_ConnectSpeed=0 Exit_VORN=1
    Disable_Checks=1 Debug_Logging=1 Priority_Of_Application=2 Backup_Log=0 Compact_Call_Log=0
    Alternative_Detector=1 Applications_Delay=29 No_Charge_Bands=1 Dial_Up_Service=simulated
    Dial_Up_All_Profiles=1 Auto_Disconnect=30 Auto_Idle_Disconnect=0
    Auto_At_Disconnect=45001.75 Auto_Disconnect_Connect_Speed=28800
    Auto_Disconnect_Exceed_Cost=1.25 Auto_Disconnect_Free_Minutes=1
    Auto_Disconnect_Minimum_Period=1 Operation_After_Auto_Disconnecting=1
    Operation_After_Disconnecting=2 Interval_Call_Checker=500 Interval_Calculate_Cost=1000
    Interval_Display_Changer=5000 Interval_Auto_Hide=50 Interval_DTR=10000
    Interval_Transmit_Receive=1000 Repeat_Ping=0 Time_Out=5 Additional_Lines=3
    Check_At_Startup=1 Execute_Mail_Application=1 Mail_Application=/usr/bin/thunderbird
    Mail_Application_Parameters=-mail Port_Number=995 Proxy=proxy.example.net
    Proxy_UserName=me Proxy_Password=8;( Proxy_Port=3128 Show_Always_Company=0
    Show_Always_Username=1 Show_Always_Password=1 Show_Always_Comments=0 Password=(*
    Simultaneous_Connections=9 Web_Notify_Retries=0 Web_Notify_Time_Out=5
    URL_Folder_Location=/home/u/Bookmarks Recurse_Frame_Pages=1 Use_Last_Updated_Only=1
    Web_Notify_Page_Size_Changes=0 Web_Notify_Last_Updated_Changes=0
    Web_Notify_Page_Size_Margin=10 Number_Of_Costings=0 Number_Of_Costing_Further_Details=0
    Number_Of_Applications=0)";

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

TEST(RoundTrip, EverySingleValueIsLoadedAndSavedAgainUnchanged) {
    MemorySettingsStore store;
    const auto stored = pairs(NonDefaults);
    for (auto it = stored.cbegin(); it != stored.cend(); ++it)
        store.setValue(QString(), it.key(), it.value());
    LoadFixture f;
    typSettings s;
    typLists lists;
    f.load(store, s, lists);
    EXPECT_EQ(savedTexts(s, f.regional), stored);
    EXPECT_EQ(s.Proxy_Password, "bar"); // stored scrambled
    EXPECT_EQ(s.Password, "rp");
}

class RoundTrip : public ::testing::TestWithParam<bool> {};

// Lists, passwords and texts with separators survive the real file, saved under one
// locale and loaded under the other.
TEST_P(RoundTrip, ListsSurviveSaveAndLoadAcrossLocales) {
    const bool italianFirst = GetParam();
    QTemporaryDir dir;
    LoadFixture f;
    f.passwordFile = dir.filePath("Logs/password.bin");
    const RegionalSettings writer =
        italianFirst ? RegionalSettings::italian() : RegionalSettings::english();
    f.regional = italianFirst ? RegionalSettings::english() : RegionalSettings::italian();

    typSettings saved;
    saved.Password = "Zebra Pony"; // 'Z' scrambles to a NUL character
    saved.Proxy_Password = "Pa=ss;Z\\word";
    saved.Mail_Application_Parameters = "-mail, \"inbox\"";
    saved.Auto_At_Disconnect = 45001.75;
    saved.Auto_Disconnect_Exceed_Cost = 1.25;
    typLists lists;
    fillLists(lists);
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
        EXPECT_EQ(store.readString("Costing1", "ChargePerMin", ""),
                  italianFirst ? "0,0395" : "0.0395");
    }

    IniSettingsStore store(dir.filePath("VORN.conf"));
    typSettings loaded;
    typLists back;
    f.load(store, loaded, back);
    EXPECT_EQ(loaded.Password, saved.Password);
    EXPECT_EQ(loaded.Proxy_Password, saved.Proxy_Password);
    EXPECT_EQ(loaded.Mail_Application_Parameters, saved.Mail_Application_Parameters);
    EXPECT_DOUBLE_EQ(loaded.Auto_At_Disconnect, 45001.75);
    EXPECT_DOUBLE_EQ(loaded.Auto_Disconnect_Exceed_Cost, 1.25);
    EXPECT_EQ(back.Costings, lists.Costings);
    EXPECT_DOUBLE_EQ(back.Costings[1].ChargePerMin, 0.0395);
    EXPECT_EQ(back.CostingFurtherDetails, lists.CostingFurtherDetails);
    EXPECT_EQ(back.Applications, lists.Applications);
    EXPECT_EQ(back.Fingers, lists.Fingers);
    EXPECT_EQ(back.Pings, lists.Pings);
    EXPECT_EQ(back.POP3s, lists.POP3s);
    EXPECT_EQ(back.Excludes, lists.Excludes);
    EXPECT_EQ(back.AutoExcludes, lists.AutoExcludes);
    EXPECT_EQ(back.Passwords, lists.Passwords);
}

INSTANTIATE_TEST_SUITE_P(Locales, RoundTrip, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "CommaToDot" : "DotToComma"; });
