#include "core/password_file.h"
#include "scripted_prompts.h"
#include "settings_test_support.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class Load : public ::testing::Test, protected LoadFixture {
protected:
    MemorySettingsStore store;
    typSettings s;
    typLists lists;

    void set(const QString& name, const QString& text, const QString& section = QString()) {
        store.setValue(section, name, text);
    }
    void load() { LoadFixture::load(store, s, lists); }
};

} // namespace

// Every single value with its default, as the options and tools windows would save it.
const char* const Defaults = R"(
    Show_Time=1 Show_Cost=1 Show_CostPerMinute=0 Show_DTR=1 Show_Data_Transferred=1
    Show_Connect_Speed=0 Intelligent_Display=0 Show_Digital_Display=0 Number_Of_Characters=3
    Character_Size=1 Pixel_Spacing=0 Show_Cost_Including_Discount=0 Indicate_Minimum_Charge=1
    Indicate_Maximum_Charge=1 Hide_Tray_Icon=0 Flash_Icon_Minimum=0 Flash_Icon_Connected=0
    Flash_Icon_Maximum=0 Enable_TransmitReceive=1 Adjust_Display_After_Resolution_Change=0
    Adjust_Intelligence_After_Resolution_Change=0 Default_Menu=0 Data_Log=2 Data_DTR=2
    Decimal_Places_Charge_Bands=0 Decimal_Places_Log_Statistics=0 Decimal_Places_Log_Detail=0
    Decimal_Places_Display=0 Decimal_Places_Cost_Per_Minute=0 Decimal_Places_DTR=0
    Decimal_Places_Data_Transferred=0 Sound_Event_WhenConnected=0 Sound_Event_WhenDisconnect=0
    Sound_Event_AtMinimumCharge=0 Sound_Event_AtMaximumCharge=0
    Sound_Event_AtAutoDisconnectStart=0 Sound_Event_NewMailNotification=0
    Color_LED_Idle=16777215 Color_LED_Minimum=16777088 Color_LED_Maximum=65280
    Color_LED_Time=33023 Color_LED_Costs=8454143 Color_LED_Cost_Per_Minute=16744703
    Color_LED_DTR=12632256 Color_LED_Transferred=16744576 Color_LED_Lights=65280
    Color_Connect_Speed=8388863 Icon_Hint_Cost=1 Icon_Hint_Duration=1 Icon_Hint_CostPerMinute=0
    Icon_Hint_DTR=1 Icon_Hint_Data=0 Icon_Hint_IPAddress=0 Icon_Hint_ConnectSpeed=1 Exit_VORN=0
    Disable_Checks=0 Debug_Logging=0 Priority_Of_Application=1 Backup_Log=1 Compact_Call_Log=1
    Alternative_Detector=0 Applications_Delay=9 No_Charge_Bands=0 Dial_Up_Service=auto
    Dial_Up_All_Profiles=0 Auto_Disconnect=0 Auto_Idle_Disconnect=5 Auto_At_Disconnect=45001.5
    Auto_Disconnect_Connect_Speed=0 Auto_Disconnect_Exceed_Cost=0 Auto_Disconnect_Free_Minutes=0
    Auto_Disconnect_Minimum_Period=0 Operation_After_Auto_Disconnecting=0
    Operation_After_Disconnecting=0 Interval_Call_Checker=2000 Interval_Calculate_Cost=2000
    Interval_Display_Changer=1500 Interval_Auto_Hide=100 Interval_DTR=5000
    Interval_Transmit_Receive=250 Repeat_Ping=4 Time_Out=1 Additional_Lines=0
    Check_At_Startup=0 Execute_Mail_Application=0 Mail_Application= Mail_Application_Parameters=
    Port_Number=110 Proxy= Proxy_UserName= Proxy_Password= Proxy_Port=0 Show_Always_Company=1
    Show_Always_Username=0 Show_Always_Password=0 Show_Always_Comments=1 Password=
    Simultaneous_Connections=0 Web_Notify_Retries=3 Web_Notify_Time_Out=1
    URL_Folder_Location=/home/u/Favorites Recurse_Frame_Pages=0 Use_Last_Updated_Only=0
    Web_Notify_Page_Size_Changes=1 Web_Notify_Last_Updated_Changes=1
    Web_Notify_Page_Size_Margin=1 Number_Of_Costings=0 Number_Of_Costing_Further_Details=0
    Number_Of_Applications=0)";

TEST_F(Load, EmptyStoreGivesEveryDefault) {
    clock.setNow(45000.5);
    load();
    EXPECT_EQ(savedTexts(s, regional), pairs(Defaults));
    // The values that only their own windows write.
    EXPECT_EQ(s.Window_Left, 0);
    EXPECT_EQ(s.Window_Top, 0);
    EXPECT_TRUE(s.Show_Splash);
    EXPECT_FALSE(s.Close_Stalled_Windows);
    EXPECT_EQ(s.Standard_Delay, 1);
    EXPECT_EQ(s.Stalled_Delay, 1);
    EXPECT_EQ(s.Options_Window_Width, 550);
    EXPECT_EQ(s.Tools_Window_Width, 630);
    EXPECT_EQ(s.Log_Window_Width, 600);
    EXPECT_EQ(s.Log_Window_Height, 450);

    EXPECT_EQ(s.Version, "1.17");
    EXPECT_EQ(store.readString("", "Version", ""), "1.17");
    EXPECT_GE(store.syncCount, 1);
    EXPECT_EQ(prioritiesApplied, QList<int>{1});

    EXPECT_EQ(FindFreeCosting(lists.Costings), 1);
    EXPECT_EQ(FindFreeApplication(lists.Applications), 1);
    EXPECT_EQ(FindFreePOP3(lists.POP3s), 1);
    EXPECT_EQ(FindFreeExclude(lists.Excludes), 1);
    EXPECT_EQ(FindFreeAutoExclude(lists.AutoExcludes), 1);
    // Missing finger and ping counts bring the default entries.
    EXPECT_EQ(FindFreeFinger(lists.Fingers), 4);
    EXPECT_EQ(lists.Fingers[1].Description, "Summarized Operational Status");
    EXPECT_EQ(lists.Fingers[2].Description, "Detailed Operational Status");
    EXPECT_EQ(lists.Fingers[3].Description, "Message Of The Day");
    EXPECT_TRUE(lists.Fingers[1].DefaultItem);
    EXPECT_FALSE(lists.Fingers[2].DefaultItem || lists.Fingers[3].DefaultItem);
    EXPECT_TRUE(lists.Fingers[1].Host.contains(u'@'));
    EXPECT_EQ(FindFreePing(lists.Pings), 2);
    EXPECT_EQ(lists.Pings[1].Description, "Gateway");
    EXPECT_TRUE(lists.Pings[1].DefaultItem);
}

TEST_F(Load, GarbageInEverySingleValueLoadsItsDefault) {
    // Every name the save functions write, plus those only the main window writes.
    NameRecordingStore names;
    typLists scratch;
    SaveOptions(names, typSettings{}, scratch, regional);
    SaveToolOptions(names, typSettings{});
    for (const char* extra : {"Window_Left", "Window_Top", "Show_Splash", "Close_Stalled_Windows",
                              "Standard_Delay", "Stalled_Delay"})
        names.productNames.insert(QLatin1String(extra));
    SaveFingers(names, scratch.Fingers);
    SavePings(names, scratch.Pings);
    SavePOP3s(names, scratch.POP3s);
    SaveExcludes(names, scratch.Excludes);
    SaveAutoExcludes(names, scratch.AutoExcludes);
    ASSERT_GT(names.productNames.size(), 100);

    for (const QString& name : names.productNames)
        set(name, "garbage");
    s.Disable_Checks = true; // the data-rate fallback must not hide the two defaults
    load();

    typSettings expected;
    expected.Auto_At_Disconnect = clock.now() + 1.0;
    expected.Auto_Idle_Disconnect = 0; // text that is not a number switches it off
    for (QString* text : {&expected.Mail_Application, &expected.Mail_Application_Parameters,
                          &expected.Proxy, &expected.Proxy_UserName, &expected.URL_Folder_Location})
        *text = "garbage";
    expected.Proxy_Password = ScramblePassword("garbage");
    expected.Password = ScramblePassword("garbage");
    EXPECT_TRUE(s == expected);
    // Garbage counts load empty lists, and the defaults for fingers and pings.
    EXPECT_EQ(FindFreeCosting(lists.Costings), 1);
    EXPECT_EQ(FindFreeFinger(lists.Fingers), 4);
    EXPECT_EQ(FindFreeExclude(lists.Excludes), 1);
    EXPECT_EQ(store.readString("", "Version", ""), "1.17");
}

TEST_F(Load, ValuesOutOfTheirRangeLoadTheirDefaults) {
    set("Number_Of_Characters", "99");
    set("Character_Size", "-1");
    set("Intelligent_Display", "7");
    set("Decimal_Places_Display", "6");
    set("Sound_Event_WhenConnected", "4");
    set("Port_Number", "70000");
    set("Proxy_Port", "-8");
    set("Web_Notify_Page_Size_Margin", "10"); // the last choice, still valid
    set("Interval_Call_Checker", "0");
    set("Interval_DTR", "-5000");
    set("Interval_Auto_Hide", "75");
    set("Color_LED_Idle", "1e12");
    set("Color_LED_Time", "255.6");
    set("Color_LED_Costs", "1,5E3");
    set("Color_LED_DTR", "blue");
    set("Dial_Up_Service", " PPPD ");
    load();
    EXPECT_EQ(s.Number_Of_Characters, 3);
    EXPECT_EQ(s.Character_Size, 1);
    EXPECT_EQ(s.Intelligent_Display, 0);
    EXPECT_EQ(s.Decimal_Places_Display, 0);
    EXPECT_EQ(s.Sound_Event_WhenConnected, 0);
    EXPECT_EQ(s.Port_Number, 110);
    EXPECT_EQ(s.Proxy_Port, 0);
    EXPECT_EQ(s.Web_Notify_Page_Size_Margin, 10);
    EXPECT_EQ(s.Interval_Call_Checker, 2000);
    EXPECT_EQ(s.Interval_DTR, 5000);
    EXPECT_EQ(s.Interval_Auto_Hide, 75);
    EXPECT_EQ(s.Color_LED_Idle, 16777215);
    EXPECT_EQ(s.Color_LED_Time, 256);
    EXPECT_EQ(s.Color_LED_Costs, 1500);
    EXPECT_EQ(s.Color_LED_DTR, 12632256);
    EXPECT_EQ(s.Dial_Up_Service, "pppd");
}

TEST_F(Load, BooleansAndAutoDisconnectTexts) {
    set("Show_Time", "0");
    set("Show_Cost", "7");
    set("Show_DTR", "yes");
    set("Auto_Disconnect", "45");
    set("Auto_Idle_Disconnect", "7.5");
    set("Auto_Disconnect_Exceed_Cost", "2,75");
    set("Auto_At_Disconnect", "45001,25");
    load();
    EXPECT_FALSE(s.Show_Time);
    EXPECT_TRUE(s.Show_Cost);
    EXPECT_TRUE(s.Show_DTR);
    EXPECT_EQ(s.Auto_Disconnect, 45);
    EXPECT_EQ(s.Auto_Idle_Disconnect, 5); // a number, but not an integer
    EXPECT_DOUBLE_EQ(s.Auto_Disconnect_Exceed_Cost, 2.75);
    EXPECT_DOUBLE_EQ(s.Auto_At_Disconnect, 45001.25);

    set("Auto_Disconnect", "12.5");
    set("Auto_Idle_Disconnect", "off");
    set("Auto_At_Disconnect", "tomorrow");
    set("Auto_Disconnect_Exceed_Cost", "lots");
    load();
    EXPECT_EQ(s.Auto_Disconnect, 0);
    EXPECT_EQ(s.Auto_Idle_Disconnect, 0);
    EXPECT_DOUBLE_EQ(s.Auto_At_Disconnect, clock.now() + 1.0);
    EXPECT_EQ(s.Auto_Disconnect_Exceed_Cost, 0.0);
}

TEST_F(Load, PlatformCapabilitiesHideWhatCannotBeShown) {
    set("Show_DTR", "1");
    set("Show_Data_Transferred", "1");
    set("Show_Connect_Speed", "1");
    set("Icon_Hint_ConnectSpeed", "1");
    set("Disable_Checks", "1");

    capabilities = {false, false};
    load(); // the first load sees Disable_Checks as it was before: off
    EXPECT_FALSE(s.Show_DTR);
    EXPECT_FALSE(s.Show_Data_Transferred);
    EXPECT_FALSE(s.Show_Connect_Speed);
    EXPECT_FALSE(s.Icon_Hint_ConnectSpeed);
    EXPECT_TRUE(s.Disable_Checks);

    load(); // now the checks are disabled
    EXPECT_TRUE(s.Show_DTR);
    EXPECT_TRUE(s.Show_Data_Transferred);
    EXPECT_FALSE(s.Show_Connect_Speed);

    capabilities = {true, true};
    load();
    EXPECT_TRUE(s.Show_Connect_Speed);
    EXPECT_TRUE(s.Icon_Hint_ConnectSpeed);
}

TEST_F(Load, PriorityIsAppliedOnlyForKnownValues) {
    set("Priority_Of_Application", "2");
    load();
    set("Priority_Of_Application", "0");
    load();
    set("Priority_Of_Application", "7");
    load();
    EXPECT_EQ(prioritiesApplied, (QList<int>{2, 0}));
    EXPECT_EQ(s.Priority_Of_Application, 7);
}

TEST_F(Load, ListCountsAboveCapacityLoadTheCapacity) {
    set("Number_Of_Costings", "200");
    for (int n = 1; n <= 80; ++n)
        set("ChargePerMin", QString::number(n), "Costing" + QString::number(n));
    set("Number_Of_Auto_Excludes", "11");
    for (int n = 1; n <= 11; ++n)
        set("Entry" + QString::number(n), "x" + QString::number(n), "AutoExclude");
    set("Number_Of_Pings", "-3");
    load();
    EXPECT_EQ(FindFreeCosting(lists.Costings), 0);
    EXPECT_EQ(lists.Costings[75].ChargePerMin, 75);
    EXPECT_EQ(FindFreeAutoExclude(lists.AutoExcludes), 0);
    EXPECT_EQ(lists.AutoExcludes[10].Text, "x10");
    EXPECT_EQ(lists.Pings[1].Description, "Gateway"); // a negative count is none
}

TEST_F(Load, AMissingOrEmptyEntryInTheMiddleLeavesNoGap) {
    set("Number_Of_Costings", "3");
    set("ChargePerMin", "0,02", "Costing1");
    set("Connectoid_Name", "Third", "Costing3"); // Costing2 is missing
    set("Number_Of_Applications", "3");
    set("Filename", "/usr/bin/a", "Application1");
    set("Filename", "", "Application2");
    set("Filename", "/usr/bin/c", "Application3");
    set("Number_Of_Fingers", "2");
    set("Host", "x@y", "Finger2");
    set("Number_Of_Excludes", "3");
    set("URL1", "http://a/", "Exclude");
    set("URL3", "http://c/", "Exclude");
    set("Number_Of_POP3", "2");
    set("Server", "pop.example.net", "POP3" + QString::number(2));
    load();
    EXPECT_DOUBLE_EQ(lists.Costings[1].ChargePerMin, 0.02);
    EXPECT_EQ(lists.Costings[2].Connectoid_Name, "Third");
    EXPECT_EQ(lists.Costings[2].ChargePerMin, 0.0); // its other values take defaults
    EXPECT_EQ(FindFreeCosting(lists.Costings), 3);
    EXPECT_EQ(lists.Applications[2].Filename, "/usr/bin/c");
    EXPECT_EQ(lists.Applications[2].Delay, 20);
    EXPECT_EQ(lists.Applications[2].Connectoid_Name, "Default");
    EXPECT_EQ(FindFreeApplication(lists.Applications), 3);
    EXPECT_EQ(lists.Fingers[1].Host, "x@y");
    EXPECT_EQ(FindFreeFinger(lists.Fingers), 2); // a count above 0 means no defaults
    EXPECT_EQ(lists.Excludes[2].Text, "http://c/");
    EXPECT_EQ(FindFreeExclude(lists.Excludes), 3);
    EXPECT_EQ(lists.POP3s[1].Server, "pop.example.net");
}

TEST_F(Load, GarbageInListEntriesLoadsTheirDefaults) {
    set("Number_Of_Costings", "1");
    for (const char* name :
         {"StartTime", "FinishTime", "Days", "FreeMinutes", "Length_Start", "Length_Finish"})
        set(name, "garbage", "Costing1");
    set("ChargePerMin", "1,2,3", "Costing1");
    set("Number_Of_Costing_Further_Details", "1");
    set("Length_Start", "x", "Costing_Further_Details1");
    set("Number_Of_Applications", "1");
    set("Filename", "/bin/sh", "Application1");
    set("Delay", "soon", "Application1");
    load();
    const typCostingInformation& c = lists.Costings[1];
    EXPECT_EQ(c.Connectoid_Name, "Default");
    EXPECT_EQ(c.StartTime, 0.0);
    EXPECT_EQ(c.FinishTime, 0.0);
    EXPECT_EQ(c.Days, 0);
    EXPECT_EQ(c.ChargePerMin, 0.0);
    const typCostingFurtherDetailInformation& f = lists.CostingFurtherDetails[1];
    EXPECT_EQ(f.Option, "Minimum Charge");
    EXPECT_EQ(f.Value, "0");
    EXPECT_EQ(f.Length_Start, 0);
    EXPECT_EQ(lists.Applications[1].Delay, 20);
}

TEST_F(Load, AReloadDropsEntriesThatWereNeverSaved) {
    load();
    lists.CostingFurtherDetails[1] = {"Default", "Connection Charge", 0, 0, "0.5"};
    lists.POP3s[1].Server = "unsaved.example.net";
    lists.AutoExcludes[1].Text = "\\unsaved\\";
    lists.Costings[1].ChargePerMin = 0.1;
    load();
    EXPECT_EQ(FindFreeCostingFurtherDetail(lists.CostingFurtherDetails), 1);
    EXPECT_EQ(FindFreePOP3(lists.POP3s), 1);
    EXPECT_EQ(FindFreeAutoExclude(lists.AutoExcludes), 1);
    EXPECT_EQ(FindFreeCosting(lists.Costings), 1);
}

TEST_F(Load, ScrambledPasswordsAreUnscrambled) {
    set("Password", ScramblePassword("keeper"));
    set("Proxy_Password", ScramblePassword("proxy"));
    set("Number_Of_POP3", "1");
    set("Server", "pop.example.net", "POP31");
    set("Password", ScramblePassword("mail"), "POP31");
    load();
    EXPECT_EQ(s.Password, "keeper");
    EXPECT_EQ(s.Proxy_Password, "proxy");
    EXPECT_EQ(lists.POP3s[1].Password, "mail");
}

TEST_F(Load, PasswordFileIsLoadedWhenPresentAndKeptWhenMissing) {
    QTemporaryDir dir;
    passwordFile = dir.filePath("Logs/password.bin");
    lists.Passwords[1].Company = "in memory";
    load();
    EXPECT_EQ(lists.Passwords[1].Company, "in memory");

    PasswordTable onDisk;
    onDisk[1] = {"Bank", "me", "pw", ""};
    ASSERT_TRUE(passwordfile::write(passwordFile, onDisk));
    load();
    EXPECT_EQ(lists.Passwords, onDisk);
}

TEST(SettingsVersion, SameVersionAsksNothing) {
    MemorySettingsStore store;
    ScriptedPrompts prompts;
    store.setValue("", "Version", "1.17");
    EXPECT_FALSE(CheckSettingsVersion(store, prompts));
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST(SettingsVersion, OtherOrMissingVersionAsksAndResetsOnYesOnly) {
    for (const char* stored : {"1.16", ""}) {
        MemorySettingsStore store;
        ScriptedPrompts prompts;
        if (*stored)
            store.setValue("", "Version", stored);
        store.setValue("Costing1", "ChargePerMin", "1");
        prompts.answerNext(Prompts::Answer::No);
        EXPECT_FALSE(CheckSettingsVersion(store, prompts));
        EXPECT_TRUE(store.hasSection("Costing1"));

        prompts.answerNext(Prompts::Answer::Yes);
        EXPECT_TRUE(CheckSettingsVersion(store, prompts));
        EXPECT_FALSE(store.hasSection("Costing1"));
        EXPECT_FALSE(store.hasValue("", "Version"));
        ASSERT_EQ(prompts.shown.size(), 2);
        EXPECT_EQ(prompts.shown[0].kind, Prompts::Kind::Confirmation);
        EXPECT_EQ(prompts.shown[0].buttons, Prompts::Buttons::YesNo);
        EXPECT_TRUE(prompts.shown[0].text.startsWith(
            "To avoid conversion problems with old and possible invalid settings you can reset "
            "your existing VORN entries.  If you have"));
        EXPECT_TRUE(prompts.shown[0].text.contains(
            "should select No.\n\r\n\rThis will not effect your call log or password "
            "database.\n\r\n\rDo you want the settings to be reset?"));
    }
}
