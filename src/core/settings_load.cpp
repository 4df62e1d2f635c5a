#include "settings_io.h"

#include "clock.h"
#include "datetime.h"
#include "formatting.h"
#include "password_file.h"
#include "prompts.h"
#include "regional.h"
#include "settings_store.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <cmath>
#include <limits>

const QString SettingsResetQuestion = QStringLiteral(
    "To avoid conversion problems with old and possible invalid settings you can reset your "
    "existing VORN entries.  If you have not been keeping up with VORN releases (i.e. you "
    "were not running the lastest version before installing this update) you *MUST* reset "
    "your settings.  Users who have not installed VORN before should select No.\n\r\n\rThis "
    "will not effect your call log or password database.\n\r\n\rDo you want the settings to "
    "be reset?");

bool CheckSettingsVersion(SettingsStore& store, Prompts& prompts) {
    const QString stored = store.readString(QString(), QStringLiteral("Version"), QString());
    if (stored == QLatin1String(VornVersion))
        return false;
    if (!prompts.askYesNo(SettingsResetQuestion))
        return false;
    store.removeSection(QString());
    store.sync();
    return true;
}

namespace {

const QString Product; // values of the product key itself

// Typed reads of the product key and of list sections, with the fallbacks that keep a
// hand-edited or corrupt file from leaving the load half done.
class Reader {
public:
    Reader(const SettingsStore& store, const RegionalSettings& regional)
        : store_(store), regional_(regional) {}

    bool boolean(const QString& name, bool def, const QString& section = Product) const {
        return store_.readBoolean(section, name, def);
    }
    qint32 integer(const QString& name, qint32 def, const QString& section = Product) const {
        return store_.readInteger(section, name, def);
    }
    // An index into a fixed list of choices: anything outside 0..count-1 is the default.
    qint32 index(const QString& name, qint32 def, int count) const {
        const qint32 v = integer(name, def);
        return v >= 0 && v < count ? v : def;
    }
    // Timer intervals: zero would stop a timer for good, so only positive values count.
    qint32 interval(const QString& name, qint32 def) const {
        const qint32 v = integer(name, def);
        return v > 0 ? v : def;
    }
    QString string(const QString& name, const QString& def = QString(),
                   const QString& section = Product) const {
        return store_.readString(section, name, def);
    }
    // Floats and date-times, whatever decimal separator they were written with.
    double floating(const QString& name, double def, const QString& section = Product) const {
        const auto text = store_.value(section, name);
        return text ? ReadFloatSetting(*text, regional_, def) : def;
    }
    // Colours are written through the float conversion; read as a float and rounded.
    qint32 colour(const QString& name, qint32 def) const {
        const double v = floating(name, def);
        const double rounded = std::round(v);
        if (rounded < std::numeric_limits<qint32>::min() ||
            rounded > std::numeric_limits<qint32>::max())
            return def;
        return static_cast<qint32>(rounded);
    }
    // A minutes value that must look like a number first; any other text turns it off.
    qint32 minutes(const QString& name, const QString& defText, qint32 def) const {
        return IsValidNumber(string(name, defText), regional_) ? integer(name, def) : 0;
    }
    // A list counter, kept within the list's capacity.
    int count(const QString& name, int capacity) const {
        return qBound(0, integer(name, 0), capacity);
    }

private:
    const SettingsStore& store_;
    const RegionalSettings& regional_;
};

QString numbered(const char* prefix, int n) {
    return QLatin1String(prefix) + QString::number(n);
}

// Reads entries 1..count of a list stored one section per entry into slots 1.. of the
// table. Sections that do not exist and entries that come out free are skipped.
template <typename Table, typename ReadEntry>
void loadSectionList(const QSet<QString>& sections, Table& table, const char* prefix, int count,
                     ReadEntry readEntry) {
    clearTable(table);
    int slot = 1;
    for (int n = 1; n <= count; ++n) {
        const QString section = numbered(prefix, n);
        if (!sections.contains(section))
            continue;
        typename Table::Record entry = readEntry(section);
        if (!isFreeSlot(entry))
            table[slot++] = entry;
    }
}

// Reads values <name>1..<name>count of one section into slots 1.. of the table.
template <typename Table>
void loadValueList(const Reader& r, Table& table, const QString& section, const char* name,
                   int count) {
    clearTable(table);
    int slot = 1;
    for (int n = 1; n <= count; ++n) {
        const QString text = r.string(numbered(name, n), QString(), section);
        if (!text.isEmpty())
            table[slot++].Text = text;
    }
}

void setDefaultFingers(ToolHostTable& table) {
    clearTable(table);
    table[1] = {QStringLiteral("summary@status.gateway.example.net"),
                QStringLiteral("Summarized Operational Status"), true};
    table[2] = {QStringLiteral("detail@status.gateway.example.net"),
                QStringLiteral("Detailed Operational Status"), false};
    table[3] = {QStringLiteral("motd@status.gateway.example.net"),
                QStringLiteral("Message Of The Day"), false};
}

void setDefaultPings(ToolHostTable& table) {
    clearTable(table);
    table[1] = {QStringLiteral("gateway.example.net"), QStringLiteral("Gateway"), true};
}

QString dialUpServiceWord(const QString& text) {
    const QString word = text.trimmed().toLower();
    return DialUpServiceWords.contains(word) ? word : DialUpServiceWords.first();
}

} // namespace

QString DefaultFavoritesFolder(const QString& homeFolder) {
    const QString folder = QDir(homeFolder).filePath(QStringLiteral("Favorites"));
    return QFileInfo(folder).isDir() ? folder : QString();
}

void LoadSettings(SettingsStore& store, typSettings& s, typLists& lists,
                  const SettingsEnvironment& env) {
    const Reader r(store, env.regional);
    const typSettings d; // the defaults
    const bool checksDisabledBefore = s.Disable_Checks;

    // Display
    s.Window_Left = r.integer("Window_Left", d.Window_Left);
    s.Window_Top = r.integer("Window_Top", d.Window_Top);
    s.Show_Splash = r.boolean("Show_Splash", d.Show_Splash);
    s.Show_Time = r.boolean("Show_Time", d.Show_Time);
    s.Show_Cost = r.boolean("Show_Cost", d.Show_Cost);
    s.Show_CostPerMinute = r.boolean("Show_CostPerMinute", d.Show_CostPerMinute);
    s.Show_DTR = r.boolean("Show_DTR", d.Show_DTR);
    s.Show_Data_Transferred = r.boolean("Show_Data_Transferred", d.Show_Data_Transferred);
    s.Show_Connect_Speed = r.boolean("Show_Connect_Speed", d.Show_Connect_Speed);

    // Without byte counters there is no rate and no data count to show.
    if (!(env.capabilities.dataRateAvailable || checksDisabledBefore)) {
        s.Show_DTR = false;
        s.Show_Data_Transferred = false;
    }

    s.Intelligent_Display = r.index("Intelligent_Display", d.Intelligent_Display, 7);
    s.Data_Log = r.index("Data_Log", d.Data_Log, 3);
    s.Data_DTR = r.index("Data_DTR", d.Data_DTR, 3);
    s.Default_Menu = r.index("Default_Menu", d.Default_Menu, 6);
    s.Show_Digital_Display = r.index("Show_Digital_Display", d.Show_Digital_Display, 3);
    s.Number_Of_Characters = r.index("Number_Of_Characters", d.Number_Of_Characters, 7);
    s.Character_Size = r.index("Character_Size", d.Character_Size, 3);
    s.Pixel_Spacing = r.index("Pixel_Spacing", d.Pixel_Spacing, 2);
    s.Show_Cost_Including_Discount =
        r.boolean("Show_Cost_Including_Discount", d.Show_Cost_Including_Discount);
    s.Indicate_Minimum_Charge = r.boolean("Indicate_Minimum_Charge", d.Indicate_Minimum_Charge);
    s.Indicate_Maximum_Charge = r.boolean("Indicate_Maximum_Charge", d.Indicate_Maximum_Charge);
    s.Hide_Tray_Icon = r.boolean("Hide_Tray_Icon", d.Hide_Tray_Icon);

    s.Decimal_Places_Charge_Bands = r.index("Decimal_Places_Charge_Bands", 0, 6);
    s.Decimal_Places_Log_Statistics = r.index("Decimal_Places_Log_Statistics", 0, 6);
    s.Decimal_Places_Log_Detail = r.index("Decimal_Places_Log_Detail", 0, 6);
    s.Decimal_Places_Display = r.index("Decimal_Places_Display", 0, 6);
    s.Decimal_Places_Cost_Per_Minute = r.index("Decimal_Places_Cost_Per_Minute", 0, 6);
    s.Decimal_Places_DTR = r.index("Decimal_Places_DTR", 0, 6);
    s.Decimal_Places_Data_Transferred = r.index("Decimal_Places_Data_Transferred", 0, 6);

    s.Sound_Event_WhenConnected = r.index("Sound_Event_WhenConnected", 0, 4);
    s.Sound_Event_WhenDisconnect = r.index("Sound_Event_WhenDisconnect", 0, 4);
    s.Sound_Event_AtMinimumCharge = r.index("Sound_Event_AtMinimumCharge", 0, 4);
    s.Sound_Event_AtMaximumCharge = r.index("Sound_Event_AtMaximumCharge", 0, 4);
    s.Sound_Event_AtAutoDisconnectStart = r.index("Sound_Event_AtAutoDisconnectStart", 0, 4);
    s.Sound_Event_NewMailNotification = r.index("Sound_Event_NewMailNotification", 0, 4);

    s.Color_LED_Idle = r.colour("Color_LED_Idle", d.Color_LED_Idle);
    s.Color_LED_Minimum = r.colour("Color_LED_Minimum", d.Color_LED_Minimum);
    s.Color_LED_Maximum = r.colour("Color_LED_Maximum", d.Color_LED_Maximum);
    s.Color_LED_Time = r.colour("Color_LED_Time", d.Color_LED_Time);
    s.Color_LED_Costs = r.colour("Color_LED_Costs", d.Color_LED_Costs);
    s.Color_LED_Cost_Per_Minute =
        r.colour("Color_LED_Cost_Per_Minute", d.Color_LED_Cost_Per_Minute);
    s.Color_LED_DTR = r.colour("Color_LED_DTR", d.Color_LED_DTR);
    s.Color_LED_Transferred = r.colour("Color_LED_Transferred", d.Color_LED_Transferred);
    s.Color_LED_Lights = r.colour("Color_LED_Lights", d.Color_LED_Lights);
    s.Color_Connect_Speed = r.colour("Color_Connect_Speed", d.Color_Connect_Speed);

    s.Icon_Hint_Cost = r.boolean("Icon_Hint_Cost", d.Icon_Hint_Cost);
    s.Icon_Hint_Duration = r.boolean("Icon_Hint_Duration", d.Icon_Hint_Duration);
    s.Icon_Hint_CostPerMinute = r.boolean("Icon_Hint_CostPerMinute", d.Icon_Hint_CostPerMinute);
    s.Icon_Hint_DTR = r.boolean("Icon_Hint_DTR", d.Icon_Hint_DTR);
    s.Icon_Hint_Data = r.boolean("Icon_Hint_Data", d.Icon_Hint_Data);
    s.Icon_Hint_IPAddress = r.boolean("Icon_Hint_IPAddress", d.Icon_Hint_IPAddress);
    s.Icon_Hint_ConnectSpeed = r.boolean("Icon_Hint_ConnectSpeed", d.Icon_Hint_ConnectSpeed);

    // Tools
    s.Repeat_Ping = r.index("Repeat_Ping", d.Repeat_Ping, 6);
    s.Time_Out = r.index("Time_Out", d.Time_Out, 6);
    s.Additional_Lines = r.index("Additional_Lines", d.Additional_Lines, 6);
    s.Check_At_Startup = r.boolean("Check_At_Startup", d.Check_At_Startup);
    s.Execute_Mail_Application = r.boolean("Execute_Mail_Application", d.Execute_Mail_Application);
    s.Mail_Application = r.string("Mail_Application");
    s.Mail_Application_Parameters = r.string("Mail_Application_Parameters");
    s.Port_Number = r.integer("Port_Number", d.Port_Number);
    if (s.Port_Number < 1 || s.Port_Number > 65535)
        s.Port_Number = d.Port_Number;
    s.Proxy = r.string("Proxy");
    s.Proxy_UserName = r.string("Proxy_UserName");
    s.Proxy_Password = ScramblePassword(r.string("Proxy_Password"));
    s.Proxy_Port = r.integer("Proxy_Port", d.Proxy_Port);
    if (s.Proxy_Port < 0 || s.Proxy_Port > 65535)
        s.Proxy_Port = d.Proxy_Port;
    s.Show_Always_Company = r.boolean("Show_Always_Company", d.Show_Always_Company);
    s.Show_Always_Username = r.boolean("Show_Always_Username", d.Show_Always_Username);
    s.Show_Always_Password = r.boolean("Show_Always_Password", d.Show_Always_Password);
    s.Show_Always_Comments = r.boolean("Show_Always_Comments", d.Show_Always_Comments);
    s.Password = ScramblePassword(r.string("Password"));
    s.Simultaneous_Connections =
        r.index("Simultaneous_Connections", d.Simultaneous_Connections, 10);
    s.Web_Notify_Retries = r.index("Web_Notify_Retries", d.Web_Notify_Retries, 6);
    s.Web_Notify_Time_Out = r.index("Web_Notify_Time_Out", d.Web_Notify_Time_Out, 6);
    s.URL_Folder_Location = r.string("URL_Folder_Location", env.favoritesFolder);
    s.Recurse_Frame_Pages = r.boolean("Recurse_Frame_Pages", d.Recurse_Frame_Pages);
    s.Use_Last_Updated_Only = r.boolean("Use_Last_Updated_Only", d.Use_Last_Updated_Only);
    s.Web_Notify_Page_Size_Changes =
        r.boolean("Web_Notify_Page_Size_Changes", d.Web_Notify_Page_Size_Changes);
    s.Web_Notify_Last_Updated_Changes =
        r.boolean("Web_Notify_Last_Updated_Changes", d.Web_Notify_Last_Updated_Changes);
    s.Web_Notify_Page_Size_Margin =
        r.index("Web_Notify_Page_Size_Margin", d.Web_Notify_Page_Size_Margin, 11);

    // General
    s.Exit_VORN = r.boolean("Exit_VORN", d.Exit_VORN);
    s.Disable_Checks = r.boolean("Disable_Checks", d.Disable_Checks);
    s.Debug_Logging = r.boolean("Debug_Logging", d.Debug_Logging);
    s.Flash_Icon_Minimum = r.boolean("Flash_Icon_Minimum", d.Flash_Icon_Minimum);
    s.Flash_Icon_Connected = r.boolean("Flash_Icon_Connected", d.Flash_Icon_Connected);
    s.Flash_Icon_Maximum = r.boolean("Flash_Icon_Maximum", d.Flash_Icon_Maximum);
    s.Priority_Of_Application = r.integer("Priority_Of_Application", d.Priority_Of_Application);
    if (s.Priority_Of_Application >= 0 && s.Priority_Of_Application <= 2 && env.applyPriority)
        env.applyPriority(s.Priority_Of_Application);

    s.Backup_Log = r.boolean("Backup_Log", d.Backup_Log);
    s.Compact_Call_Log = r.boolean("Compact_Call_Log", d.Compact_Call_Log);
    s.Close_Stalled_Windows = r.boolean("Close_Stalled_Windows", d.Close_Stalled_Windows);
    s.Standard_Delay = r.integer("Standard_Delay", d.Standard_Delay);
    s.Stalled_Delay = r.integer("Stalled_Delay", d.Stalled_Delay);
    s.Enable_TransmitReceive = r.boolean("Enable_TransmitReceive", d.Enable_TransmitReceive);
    s.Adjust_Display_After_Resolution_Change = r.boolean("Adjust_Display_After_Resolution_Change",
                                                         d.Adjust_Display_After_Resolution_Change);
    s.Adjust_Intelligence_After_Resolution_Change =
        r.boolean("Adjust_Intelligence_After_Resolution_Change",
                  d.Adjust_Intelligence_After_Resolution_Change);
    s.Alternative_Detector = r.boolean("Alternative_Detector", d.Alternative_Detector);
    s.Applications_Delay = r.index("Applications_Delay", d.Applications_Delay, 30);
    s.Operation_After_Auto_Disconnecting =
        r.index("Operation_After_Auto_Disconnecting", d.Operation_After_Auto_Disconnecting, 3);
    s.Operation_After_Disconnecting =
        r.index("Operation_After_Disconnecting", d.Operation_After_Disconnecting, 3);
    s.Dial_Up_Service = dialUpServiceWord(r.string("Dial_Up_Service", d.Dial_Up_Service));
    s.Dial_Up_All_Profiles = r.boolean("Dial_Up_All_Profiles", d.Dial_Up_All_Profiles);

    // Auto-disconnect
    s.Auto_Disconnect = r.minutes("Auto_Disconnect", QStringLiteral("0"), 0);
    s.Auto_Idle_Disconnect = r.minutes("Auto_Idle_Disconnect", QStringLiteral("5"), 5);
    s.Auto_At_Disconnect = r.floating("Auto_At_Disconnect", env.clock.now() + 1.0);
    s.Auto_Disconnect_Connect_Speed =
        r.integer("Auto_Disconnect_Connect_Speed", d.Auto_Disconnect_Connect_Speed);
    s.Auto_Disconnect_Exceed_Cost =
        r.floating("Auto_Disconnect_Exceed_Cost", d.Auto_Disconnect_Exceed_Cost);
    s.Auto_Disconnect_Free_Minutes =
        r.boolean("Auto_Disconnect_Free_Minutes", d.Auto_Disconnect_Free_Minutes);
    s.Auto_Disconnect_Minimum_Period =
        r.boolean("Auto_Disconnect_Minimum_Period", d.Auto_Disconnect_Minimum_Period);

    s.Interval_Call_Checker = r.interval("Interval_Call_Checker", d.Interval_Call_Checker);
    s.Interval_Calculate_Cost = r.interval("Interval_Calculate_Cost", d.Interval_Calculate_Cost);
    s.Interval_Display_Changer = r.interval("Interval_Display_Changer", d.Interval_Display_Changer);
    s.Interval_Auto_Hide = r.interval("Interval_Auto_Hide", d.Interval_Auto_Hide);
    s.Interval_DTR = r.interval("Interval_DTR", d.Interval_DTR);
    s.Interval_Transmit_Receive =
        r.interval("Interval_Transmit_Receive", d.Interval_Transmit_Receive);
    s.No_Charge_Bands = r.boolean("No_Charge_Bands", d.No_Charge_Bands);

    // Lists. Every table is emptied first, so that a reload after Cancel also drops the
    // entries that were added in memory and never saved.
    const QStringList sectionList = store.sections();
    const QSet<QString> sections(sectionList.cbegin(), sectionList.cend());

    loadSectionList(sections, lists.Costings, "Costing",
                    r.count("Number_Of_Costings", CostingTable::Capacity), [&](const QString& sec) {
                        typCostingInformation c;
                        c.Connectoid_Name = r.string("Connectoid_Name", DefaultConnectoid, sec);
                        c.StartTime = r.floating("StartTime", 0, sec);
                        c.FinishTime = r.floating("FinishTime", 0, sec);
                        c.Days = r.integer("Days", 0, sec);
                        c.FreeMinutes = r.integer("FreeMinutes", 0, sec);
                        c.Length_Start = r.integer("Length_Start", 0, sec);
                        c.Length_Finish = r.integer("Length_Finish", 0, sec);
                        const QString charge = r.string("ChargePerMin", QStringLiteral("0"), sec);
                        c.ChargePerMin = IsValidNumber(charge, env.regional)
                                             ? ReadFloatSetting(charge, env.regional)
                                             : 0.0;
                        return c;
                    });

    loadSectionList(
        sections, lists.CostingFurtherDetails, "Costing_Further_Details",
        r.count("Number_Of_Costing_Further_Details", CostingFurtherDetailTable::Capacity),
        [&](const QString& sec) {
            typCostingFurtherDetailInformation f;
            f.Connectoid_Name = r.string("Connectoid_Name", DefaultConnectoid, sec);
            f.Option = r.string("Option", QStringLiteral("Minimum Charge"), sec);
            f.Value = r.string("Value", QStringLiteral("0"), sec);
            f.Length_Start = r.integer("Length_Start", 0, sec);
            f.Length_Finish = r.integer("Length_Finish", 0, sec);
            return f;
        });

    loadSectionList(sections, lists.Applications, "Application",
                    r.count("Number_Of_Applications", ApplicationTable::Capacity),
                    [&](const QString& sec) {
                        typApplicationInformation a;
                        a.Connectoid_Name = r.string("Connectoid_Name", DefaultConnectoid, sec);
                        a.Filename = r.string("Filename", QString(), sec);
                        a.Working_Directory = r.string("Working_Directory", QString(), sec);
                        a.Parameters = r.string("Parameters", QString(), sec);
                        a.Window_State = r.integer("Window_State", 0, sec);
                        a.Execute = r.integer("Execute", 0, sec);
                        a.Close = r.integer("Close", 0, sec);
                        a.Delay = r.integer("Delay", 20, sec);
                        return a;
                    });

    const auto readTool = [&](const QString& sec) {
        typToolWithDefaultInformation t;
        t.Host = r.string("Host", QString(), sec);
        t.Description = r.string("Description", QString(), sec);
        t.DefaultItem = r.boolean("DefaultItem", false, sec);
        return t;
    };
    const int fingers = r.count("Number_Of_Fingers", ToolHostTable::Capacity);
    if (fingers == 0)
        setDefaultFingers(lists.Fingers);
    else
        loadSectionList(sections, lists.Fingers, "Finger", fingers, readTool);
    const int pings = r.count("Number_Of_Pings", ToolHostTable::Capacity);
    if (pings == 0)
        setDefaultPings(lists.Pings);
    else
        loadSectionList(sections, lists.Pings, "Ping", pings, readTool);

    loadSectionList(sections, lists.POP3s, "POP3", r.count("Number_Of_POP3", POP3Table::Capacity),
                    [&](const QString& sec) {
                        typPOP3Information p;
                        p.Server = r.string("Server", QString(), sec);
                        p.User_Name = r.string("User_Name", QString(), sec);
                        p.Password = ScramblePassword(r.string("Password", QString(), sec));
                        p.Include_In_Startup_Check =
                            r.boolean("Include_In_Startup_Check", false, sec);
                        return p;
                    });

    loadValueList(r, lists.AutoExcludes, QStringLiteral("AutoExclude"), "Entry",
                  r.count("Number_Of_Auto_Excludes", AutoExcludeTable::Capacity));
    loadValueList(r, lists.Excludes, QStringLiteral("Exclude"), "URL",
                  r.count("Number_Of_Excludes", ExcludeTable::Capacity));

    // No file means no entries. A file that cannot be read leaves the entries in memory as
    // they were, so that the next save does not replace the file with an empty one.
    if (!env.passwordFilePath.isEmpty() &&
        passwordfile::read(env.passwordFilePath, lists.Passwords) ==
            passwordfile::ReadResult::Missing)
        ClearPasswords(lists.Passwords);

    s.Version = QString::fromLatin1(VornVersion);
    store.writeString(Product, QStringLiteral("Version"), s.Version);
    store.sync();

    if (!env.capabilities.connectSpeedAvailable) {
        s.Show_Connect_Speed = false;
        s.Icon_Hint_ConnectSpeed = false;
    }
}
