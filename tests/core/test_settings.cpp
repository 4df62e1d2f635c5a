// The settings key: loading every value with its rules, saving it back, the lists, the INI
// file underneath and a window's working copy.
#include "core/ini_settings_store.h"
#include "core/password_file.h"
#include "core/regional.h"
#include "core/settings_io.h"
#include "core/working_copy.h"
#include "manual_clock.h"
#include "memory_settings_store.h"
#include "scripted_prompts.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <ostream>
#include <tuple>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

// "Name=text Name=text ..." as a map; texts hold no blanks.
QMap<QString, QString> pairs(const char* text) {
    QMap<QString, QString> out;
    for (const QString& item :
         QString::fromUtf8(text).split(QRegularExpression("\\s+"), Qt::SkipEmptyParts))
        out.insert(item.section(u'=', 0, 0), item.section(u'=', 1));
    return out;
}

// What SaveOptions and SaveToolOptions write to the product key for a settings record.
QMap<QString, QString> savedTexts(const typSettings& s) {
    MemorySettingsStore store;
    typLists none;
    SaveOptions(store, s, none, RegionalSettings::english());
    SaveToolOptions(store, s);
    return store.values(QString());
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// LoadSettings with fixed surroundings.
struct LoadFixture {
    RegionalSettings regional = RegionalSettings::english();
    ManualClock clock; // noon of 45000
    PlatformCapabilities capabilities{true, true};
    QString passwordFile;
    QList<int> prioritiesApplied;

    void load(SettingsStore& store, typSettings& s, typLists& lists) {
        LoadSettings(store, s, lists,
                     {regional, clock, capabilities, passwordFile, "/home/u/Favorites",
                      [this](int p) { prioritiesApplied << p; }});
    }
};

class Load : public ::testing::Test, protected LoadFixture {
protected:
    // "Section/Name=text ..." words; a name without a section is in the product key.
    void setAll(const char* words) {
        const auto all = pairs(words);
        for (auto it = all.cbegin(); it != all.cend(); ++it)
            store.setValue(it.key().contains(u'/') ? it.key().section(u'/', 0, 0) : QString(),
                           it.key().section(u'/', -1), it.value());
    }
    void load() { LoadFixture::load(store, s, lists); }

    MemorySettingsStore store;
    typSettings s;
    typLists lists;
};

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

// The last choice of each list of choices, by name or the start of a name.
const char* const LastChoices = R"(
    Intelligent_Display=6 Show_Digital_Display=2 Number_Of_Characters=6 Character_Size=2
    Pixel_Spacing=1 Default_Menu=5 Decimal_Places_=5 Sound_Event_=3 Repeat_Ping=5 Time_Out=5
    Additional_Lines=5 Simultaneous_Connections=9 Web_Notify_Retries=5 Web_Notify_Time_Out=5
    Web_Notify_Page_Size_Margin=10 Applications_Delay=29 Operation_After_=2
    Priority_Of_Application=2)";

// A valid value other than the default: the last choice, else the default moved a little.
QString otherValue(const QString& name, const QString& def) {
    const auto last = pairs(LastChoices);
    for (auto it = last.cbegin(); it != last.cend(); ++it)
        if (name.startsWith(it.key()))
            return it.value();
    if (def == "0" || def == "1")
        return def == "0" ? "1" : "0";
    bool number = false;
    const double value = def.toDouble(&number);
    if (number)
        return QString::number(value - 1, 'g', 15);
    return def == "auto" ? "pppd" : def + "x";
}

} // namespace

TEST_F(Load, EmptyStoreGivesEveryDefaultAndOnlyKnownPrioritiesAreApplied) {
    load();
    EXPECT_EQ(savedTexts(s), pairs(Defaults));
    // The values that only their own windows write.
    EXPECT_EQ(std::tuple(s.Window_Left, s.Window_Top, s.Show_Splash, s.Close_Stalled_Windows,
                         s.Standard_Delay, s.Stalled_Delay, s.Options_Window_Width,
                         s.Tools_Window_Width, s.Log_Window_Width, s.Log_Window_Height),
              std::tuple(0, 0, true, false, 1, 1, 550, 630, 600, 450));
    EXPECT_EQ(store.readString("", "Version", ""), "1.17");
    EXPECT_GE(store.syncCount, 1);
    // Every list is empty, but missing finger and ping counts bring the default entries.
    EXPECT_EQ(QList<int>({FindFreeCosting(lists.Costings),
                          FindFreeCostingFurtherDetail(lists.CostingFurtherDetails),
                          FindFreeApplication(lists.Applications), FindFreePOP3(lists.POP3s),
                          FindFreeExclude(lists.Excludes), FindFreeAutoExclude(lists.AutoExcludes),
                          FindFreeFinger(lists.Fingers), FindFreePing(lists.Pings)}),
              QList<int>({1, 1, 1, 1, 1, 1, 4, 2}));
    QStringList tools;
    for (const auto* t : {&lists.Fingers[1], &lists.Fingers[2], &lists.Fingers[3], &lists.Pings[1]})
        tools << t->Description + (t->DefaultItem ? "*" : "");
    EXPECT_EQ(tools, QStringList({"Summarized Operational Status*", "Detailed Operational Status",
                                  "Message Of The Day", "Gateway*"}));
    EXPECT_TRUE(lists.Fingers[1].Host.contains(u'@'));

    for (const char* priority : {"2", "0", "7"}) {
        store.setValue("", "Priority_Of_Application", priority);
        load();
    }
    EXPECT_EQ(prioritiesApplied, (QList<int>{1, 2, 0}));
    EXPECT_EQ(s.Priority_Of_Application, 7);
}

// Changing one value at a time shows that each is read from its own name, kept in its own
// field and saved back unchanged.
TEST_F(Load, EverySingleValueIsLoadedAndSavedAgainUnchanged) {
    const auto defaults = pairs(Defaults);
    for (auto it = defaults.cbegin(); it != defaults.cend(); ++it) {
        if (it.key().startsWith("Number_Of_"))
            continue; // the list counters
        auto expected = defaults;
        expected[it.key()] = otherValue(it.key(), it.value());
        SCOPED_TRACE(it.key().toStdString() + "=" + expected[it.key()].toStdString());
        ASSERT_NE(expected[it.key()], it.value());
        MemorySettingsStore one;
        one.setValue("", it.key(), expected[it.key()]);
        LoadFixture::load(one, s, lists);
        EXPECT_EQ(savedTexts(s), expected);
    }
}

TEST_F(Load, GarbageInEverySingleValueLoadsItsDefault) {
    // Every name the save functions write, plus those only other windows write.
    QStringList all = pairs(Defaults).keys();
    all += QString("Window_Left Window_Top Show_Splash Close_Stalled_Windows Standard_Delay "
                   "Stalled_Delay Number_Of_Fingers Number_Of_Pings Number_Of_POP3 "
                   "Number_Of_Excludes Number_Of_Auto_Excludes")
               .split(u' ');
    for (const QString& name : all)
        store.setValue("", name, "garbage");
    s.Disable_Checks = true; // the data-rate fallback must not hide the two defaults
    load();

    typSettings expected;
    expected.Auto_At_Disconnect = clock.now() + 1.0;
    expected.Auto_Idle_Disconnect = 0; // text that is not a number switches it off
    for (QString* text : {&expected.Mail_Application, &expected.Mail_Application_Parameters,
                          &expected.Proxy, &expected.Proxy_UserName, &expected.URL_Folder_Location})
        *text = "garbage";
    expected.Proxy_Password = expected.Password = ScramblePassword("garbage");
    EXPECT_TRUE(s == expected);
    // Garbage counts load empty lists, and the defaults for fingers and pings.
    EXPECT_EQ(FindFreeCosting(lists.Costings), 1);
    EXPECT_EQ(FindFreeFinger(lists.Fingers), 4);
    EXPECT_EQ(FindFreeExclude(lists.Excludes), 1);
}

TEST_F(Load, ValuesOutOfTheirRangeLoadTheirDefaultsAndEitherSeparatorReads) {
    // Stored text, and the value loaded as it would be saved again.
    // clang-format off
    const struct { const char* name; const char* stored; const char* loaded; } cases[] = {
        {"Number_Of_Characters", "99", "3"},         {"Character_Size", "-1", "1"},
        {"Intelligent_Display", "7", "0"},           {"Decimal_Places_Display", "6", "0"},
        {"Sound_Event_WhenConnected", "4", "0"},     {"Port_Number", "70000", "110"},
        {"Proxy_Port", "-8", "0"},                   {"Interval_Call_Checker", "0", "2000"},
        {"Interval_DTR", "-5000", "5000"},           {"Color_LED_Idle", "1e12", "16777215"},
        {"Color_LED_Time", "255.6", "256"},          {"Color_LED_Costs", "1,5E3", "1500"},
        {"Dial_Up_Service", " PPPD ", "pppd"},       {"Show_Cost", "7", "1"},
        {"Auto_Disconnect", "12.5", "0"},            {"Auto_Idle_Disconnect", "7.5", "5"},
        {"Auto_Disconnect_Exceed_Cost", "2,75", "2.75"},
        {"Auto_At_Disconnect", "45001,25", "45001.25"}};
    // clang-format on
    for (const auto& c : cases) {
        MemorySettingsStore one;
        one.setValue("", c.name, c.stored);
        LoadFixture::load(one, s, lists);
        EXPECT_EQ(savedTexts(s).value(c.name), c.loaded) << c.name << "=" << c.stored;
    }
}

TEST_F(Load, PlatformCapabilitiesHideWhatCannotBeShown) {
    setAll("Show_DTR=1 Show_Data_Transferred=1 Show_Connect_Speed=1 Icon_Hint_ConnectSpeed=1 "
           "Disable_Checks=1");
    const auto shown = [&] {
        return std::tuple(s.Show_DTR, s.Show_Data_Transferred, s.Show_Connect_Speed,
                          s.Icon_Hint_ConnectSpeed);
    };
    capabilities = {false, false};
    load(); // the first load sees Disable_Checks as it was before: off
    EXPECT_EQ(shown(), std::tuple(false, false, false, false));
    load(); // now the checks are disabled
    EXPECT_EQ(shown(), std::tuple(true, true, false, false));
    capabilities = {true, true};
    load();
    EXPECT_EQ(shown(), std::tuple(true, true, true, true));
}

TEST_F(Load, ListsLoadAtMostTheirCapacityWithoutGapsAndAReloadDropsWhatWasNeverSaved) {
    load();
    lists.CostingFurtherDetails[2] = {"Default", "Connection Charge", 0, 0, "0.5"};
    lists.AutoExcludes[1].Text = "\\unsaved\\";
    // Costing2 is missing, Application2 empty, and entries hold values that are no numbers.
    setAll(R"(Number_Of_Costings=3 Costing1/ChargePerMin=0,02 Costing3/Connectoid_Name=Third
        Costing3/StartTime=x Costing3/FinishTime=x Costing3/Days=x Costing3/FreeMinutes=x
        Costing3/Length_Start=x Costing3/Length_Finish=x Costing3/ChargePerMin=1,2,3
        Number_Of_Costing_Further_Details=1 Costing_Further_Details1/Length_Start=x
        Number_Of_Applications=3 Application1/Filename=/usr/bin/a Application2/Filename=
        Application3/Filename=/usr/bin/c Application3/Delay=soon Number_Of_Fingers=2
        Finger2/Host=x@y Number_Of_Excludes=3 Exclude/URL1=http://a/ Exclude/URL3=http://c/
        Number_Of_Auto_Excludes=11 Number_Of_Pings=-3)");
    for (int n = 1; n <= 11; ++n)
        store.setValue("AutoExclude", "Entry" + QString::number(n), "x" + QString::number(n));
    load();
    EXPECT_EQ(lists.Costings[1], (typCostingInformation{"Default", 0, 0, 0, 0, 0, 0.02, 0}));
    EXPECT_EQ(lists.Costings[2], (typCostingInformation{"Third", 0, 0, 0, 0, 0, 0.0, 0}));
    EXPECT_EQ(FindFreeCosting(lists.Costings), 3);
    EXPECT_EQ(lists.CostingFurtherDetails[1],
              (typCostingFurtherDetailInformation{"Default", "Minimum Charge", 0, 0, "0"}));
    EXPECT_EQ(FindFreeCostingFurtherDetail(lists.CostingFurtherDetails), 2);
    EXPECT_EQ(lists.Applications[2],
              (typApplicationInformation{"Default", "/usr/bin/c", "", "", 0, 0, 0, 20}));
    EXPECT_EQ(FindFreeApplication(lists.Applications), 3);
    EXPECT_EQ(lists.Fingers[1].Host, "x@y");
    EXPECT_EQ(FindFreeFinger(lists.Fingers), 2); // a count above 0 means no defaults
    EXPECT_EQ(lists.Excludes[2].Text, "http://c/");
    EXPECT_EQ(FindFreeExclude(lists.Excludes), 3);
    EXPECT_EQ(FindFreeAutoExclude(lists.AutoExcludes), 0);
    EXPECT_EQ(lists.AutoExcludes[10].Text, "x10");
    EXPECT_EQ(lists.Pings[1].Description, "Gateway"); // a negative count is none

    store.setValue("", "Number_Of_Costings", "200");
    for (int n = 1; n <= 80; ++n)
        store.setValue("Costing" + QString::number(n), "ChargePerMin", QString::number(n));
    load();
    EXPECT_EQ(FindFreeCosting(lists.Costings), 0);
    EXPECT_EQ(lists.Costings[75].ChargePerMin, 75);
}

// A missing file is an empty database; one that cannot be read keeps what memory holds,
// so the next save does not empty it.
TEST_F(Load, PasswordFileIsLoadedWhenPresentEmptyWhenMissingAndKeptWhenUnreadable) {
    QTemporaryDir dir;
    passwordFile = dir.filePath("Logs/password.bin");
    lists.Passwords[1].Company = "in memory";
    load();
    EXPECT_EQ(FindFreePassword(lists.Passwords), 1);
    PasswordTable onDisk;
    onDisk[1] = {"Bank", "me", "pw", ""};
    ASSERT_TRUE(passwordfile::write(passwordFile, onDisk));
    load();
    EXPECT_EQ(lists.Passwords, onDisk);
    passwordFile = dir.path(); // a folder: there, but not readable as a file
    load();
    EXPECT_EQ(lists.Passwords, onDisk);

    EXPECT_EQ(DefaultFavoritesFolder(dir.path()), QString());
    ASSERT_TRUE(QDir(dir.path()).mkdir("Favorites"));
    EXPECT_EQ(DefaultFavoritesFolder(dir.path()), dir.filePath("Favorites"));
}

TEST(SettingsVersion, AnotherOrMissingVersionAsksAndResetsOnYesOnly) {
    for (const char* stored : {"1.17", "1.16", ""}) {
        SCOPED_TRACE(stored);
        MemorySettingsStore store;
        ScriptedPrompts prompts;
        if (*stored)
            store.setValue("", "Version", stored);
        store.setValue("Costing1", "ChargePerMin", "1");
        const bool asks = QLatin1String(stored) != "1.17";
        EXPECT_FALSE(CheckSettingsVersion(store, prompts)); // No
        EXPECT_TRUE(store.hasSection("Costing1"));
        prompts.answerNext(Prompts::Answer::Yes);
        EXPECT_EQ(CheckSettingsVersion(store, prompts), asks);
        EXPECT_EQ(store.hasSection("Costing1"), !asks);
        EXPECT_EQ(store.hasValue("", "Version"), !asks);
        ASSERT_EQ(prompts.shown.size(), asks ? 2 : 0);
        if (asks) {
            EXPECT_EQ(prompts.shown[0].buttons, Prompts::Buttons::YesNo);
            EXPECT_TRUE(prompts.shown[0].text.startsWith(
                "To avoid conversion problems with old and possible invalid settings you can "
                "reset your existing VORN entries.  If you have"));
            EXPECT_TRUE(prompts.shown[0].text.endsWith(
                "should select No.\n\r\n\rThis will not effect your call log or password "
                "database.\n\r\n\rDo you want the settings to be reset?"));
        }
    }
}

namespace {

typCostingInformation band(const QString& name, double charge) {
    return {name, 0, 0, 0, 0, 0, charge, 0};
}

// The saved charge bands as "name charge", in section order.
QStringList savedBands(const SettingsStore& store) {
    QStringList out;
    for (int i = 1; i <= store.readInteger("", "Number_Of_Costings", -1); ++i)
        out << store.readString("Costing" + QString::number(i), "Connectoid_Name", "?") + ' ' +
                   store.readString("Costing" + QString::number(i), "ChargePerMin", "?");
    return out;
}

} // namespace

TEST(Save, ChargeBandsSpecificFirstGapsClosedStaleSectionsDeletedAndTheOrderStable) {
    MemorySettingsStore store;
    CostingTable t;
    for (int i = 1; i <= 75; ++i)
        t[i] = band("C" + QString::number(i), i);
    SaveCostings(store, t, RegionalSettings::english());
    EXPECT_EQ(store.readInteger("", "Number_Of_Costings", -1), 75);
    EXPECT_TRUE(store.hasSection("Costing75"));

    clearTable(t);
    t[1] = band("Default", 1);
    t[2] = band("A", 2);
    t[4] = band("Default", 3); // slot 3 is free
    t[6] = band("B", 4);
    t[75] = band("Default", 5);
    const QStringList expected{"A 2", "B 4", "Default 1", "Default 3", "Default 5"};
    SaveCostings(store, t, RegionalSettings::english());
    EXPECT_EQ(savedBands(store), expected);
    EXPECT_FALSE(store.hasSection("Costing6"));
    EXPECT_FALSE(store.hasSection("Costing75"));
    // Memory follows the saved order, so the reload finds what is in the editor, and a
    // plain OK saving again does not reorder overlapping bands.
    EXPECT_EQ(t[2].Connectoid_Name, "B");
    SaveCostings(store, t, RegionalSettings::english());
    EXPECT_EQ(savedBands(store), expected);

    clearTable(t);
    SaveCostings(store, t, RegionalSettings::english());
    EXPECT_EQ(store.readInteger("", "Number_Of_Costings", -1), 0);
    EXPECT_TRUE(store.sections().isEmpty());

    CostingFurtherDetailTable d;
    store.setValue("Costing_Further_Details3", "Value", "stale");
    d[1] = {"Default", "Minimum Charge", 0, 0, "0.1"};
    d[3] = {"Work", "Connection Charge", 0, 0, "0.2"};
    SaveCostingFurtherDetails(store, d);
    EXPECT_EQ(store.readInteger("", "Number_Of_Costing_Further_Details", -1), 2);
    EXPECT_EQ(store.readString("Costing_Further_Details1", "Connectoid_Name", ""), "Work");
    EXPECT_EQ(store.readString("Costing_Further_Details2", "Value", ""), "0.1");
    EXPECT_FALSE(store.hasSection("Costing_Further_Details3"));
}

TEST(Save, ToolListsDropEmptySectionsAndNoFingersBringTheDefaultsBack) {
    MemorySettingsStore store;
    AutoExcludeTable t;
    SetDefaultAutoExcludes(t);
    DeleteAutoExclude(t, 3);
    SaveAutoExcludes(store, t);
    EXPECT_EQ(store.readInteger("", "Number_Of_Auto_Excludes", -1), 2);
    EXPECT_EQ(store.readString("AutoExclude", "Entry2", ""), "\\links\\");
    ClearAutoExcludes(t);
    SaveAutoExcludes(store, t);
    EXPECT_EQ(store.readInteger("", "Number_Of_Auto_Excludes", -1), 0);
    EXPECT_FALSE(store.hasSection("AutoExclude"));

    LoadFixture f;
    typSettings s;
    typLists lists;
    f.load(store, s, lists);
    ClearFingers(lists.Fingers);
    SaveFingers(store, lists.Fingers);
    EXPECT_EQ(store.readInteger("", "Number_Of_Fingers", -1), 0);
    f.load(store, s, lists);
    EXPECT_EQ(FindFreeFinger(lists.Fingers), 4);

    // An empty folder is not stored: the next load offers the favourites folder again.
    s.URL_Folder_Location = "/srv/pages";
    SaveToolOptions(store, s);
    s.URL_Folder_Location.clear();
    SaveToolOptions(store, s);
    EXPECT_EQ(store.readString("", "URL_Folder_Location", ""), "/srv/pages");
    MemorySettingsStore fresh;
    SaveToolOptions(fresh, s);
    EXPECT_FALSE(fresh.hasValue("", "URL_Folder_Location"));
}

class RoundTrip : public ::testing::TestWithParam<bool> {};

// Lists, passwords and texts with separators survive the real file, saved under one
// locale and loaded under the other; a window's working copy leaves it alone until commit.
TEST_P(RoundTrip, EverythingSurvivesTheFileAcrossLocales) {
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
    saved.URL_Folder_Location = "/home/u/Web pages; old";
    typLists l;
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
    const QString path = dir.filePath("VORN.conf");
    {
        IniSettingsStore store(path);
        SaveOptions(store, saved, l, writer);
        SaveToolOptions(store, saved);
        SaveFingers(store, l.Fingers);
        SavePings(store, l.Pings);
        SavePOP3s(store, l.POP3s);
        SaveExcludes(store, l.Excludes);
        SaveAutoExcludes(store, l.AutoExcludes);
        ASSERT_TRUE(passwordfile::write(f.passwordFile, l.Passwords));
        EXPECT_EQ(store.readString("Costing1", "ChargePerMin", ""),
                  italianFirst ? "0,0395" : "0.0395");
    }
    // It holds scrambled passwords: the owner's alone.
    EXPECT_EQ(QFile::permissions(path) & ~(QFile::ReadUser | QFile::WriteUser),
              QFile::ReadOwner | QFile::WriteOwner);
    IniSettingsStore store(path);
    typSettings loaded;
    typLists back;
    f.load(store, loaded, back);
    EXPECT_TRUE(loaded == saved);
    EXPECT_TRUE(back == l);
    EXPECT_EQ(store.readString("POP31", "Password", ""), ScramblePassword("Zap\npass="));
    EXPECT_EQ(store.readString("", "Password", ""), ScramblePassword(saved.Password));
    EXPECT_EQ(store.readString("", "Proxy_Password", ""), ScramblePassword(saved.Proxy_Password));

    // A window's edits on a working copy, then Cancel and the reload that follows every
    // window: the file keeps every byte.
    store.sync();
    const QByteArray before = fileBytes(path);
    {
        SettingsWorkingCopy copy(loaded, back);
        copy.settings.Password = "changed";
        DeleteCosting(copy.lists.Costings, 1);
        EXPECT_TRUE(copy.liveLists() == l);
    }
    f.load(store, loaded, back);
    store.sync();
    EXPECT_EQ(fileBytes(path), before);
    SettingsWorkingCopy copy(loaded, back);
    copy.settings.Password = "changed";
    copy.commit();
    EXPECT_EQ(loaded.Password, "changed");
}

INSTANTIATE_TEST_SUITE_P(Locales, RoundTrip, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "CommaToDot" : "DotToComma"; });

TEST(SettingsStore, TypedReadsFallBackOnMissingOrMalformedText) {
    MemorySettingsStore s;
    s.setValue("", "Big", "99999999999");
    s.setValue("", "Spaced", " 42 ");
    s.setValue("", "Half", "4.5");
    EXPECT_EQ(s.readInteger("", "Big", 3), 3); // out of 32-bit range
    EXPECT_EQ(s.readInteger64("", "Big", 3), 99999999999LL);
    EXPECT_EQ(s.readInteger("", "Spaced", 0), 42);
    EXPECT_EQ(s.readInteger("", "Half", 5), 5);
    EXPECT_TRUE(s.readBoolean("", "Half", true));
    EXPECT_EQ(s.readString("", "Missing", "Default"), "Default");
}

TEST(SettingsStore, TheIniFileJoinsHandEditedListsBackAndRemovesWhatIsRemoved) {
    QTemporaryDir dir;
    const QString path = dir.filePath("sub/VORN.conf");
    QDir().mkpath(dir.filePath("sub"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[General]\nProxy=a,b,c\nShow_Time=garbage\n[Costing3]\nX=y\n");
    }
    IniSettingsStore s(path);
    EXPECT_EQ(s.readString("", "Proxy", ""), "a,b,c");
    EXPECT_TRUE(s.readBoolean("", "Show_Time", true));
    s.writeInteger("Costing1", "Days", 62);
    s.removeSection("Costing3");
    EXPECT_EQ(s.sections(), QStringList({"Costing1"}));
    s.removeValue("Costing1", "Days");
    EXPECT_FALSE(s.value("Costing1", "Days").has_value());
    s.writeBoolean("Costing2", "DefaultItem", true);
    s.removeSection("");
    EXPECT_TRUE(s.sections().isEmpty());

    qputenv("VORN_CONFIG", "/tmp/x/vorn.conf");
    EXPECT_EQ(IniSettingsStore::defaultPath(), "/tmp/x/vorn.conf");
    qunsetenv("VORN_CONFIG");
    qputenv("XDG_CONFIG_HOME", "/cfg");
    EXPECT_EQ(IniSettingsStore::defaultPath(), "/cfg/Ostrand Labs/VORN.conf");
}

TEST(TestEnvironment, EveryVariableReachesTheTest) {
    // Tests must never touch the user's own settings or runtime folder.
    EXPECT_TRUE(qEnvironmentVariable("XDG_RUNTIME_DIR").endsWith("test-env/runtime"));
    EXPECT_TRUE(qEnvironmentVariable("XDG_CONFIG_HOME").endsWith("test-env/config"));
    EXPECT_FALSE(qEnvironmentVariable("VORN_BINARY_DIR").isEmpty());
    EXPECT_EQ(qEnvironmentVariable("QT_QPA_PLATFORM"), "offscreen");
}
