#include "settings_io.h"

#include "datetime.h"
#include "regional.h"
#include "settings_store.h"

#include <algorithm>

namespace {

const QString Product;

QString numbered(const char* prefix, int n) {
    return QLatin1String(prefix) + QString::number(n);
}

// Moves the used entries to the front, keeping their order (free slots in between are
// skipped: an entry behind a gap would otherwise be written but never counted).
template <typename Table> int compact(Table& table) {
    const auto firstFree = std::stable_partition(table.begin(), table.end(),
                                                 [](const auto& e) { return !isFreeSlot(e); });
    return static_cast<int>(firstFree - table.begin());
}

// Connectoid-specific entries before "Default" ones, each group keeping its order.
template <typename Table> void defaultsLast(Table& table, int used) {
    std::stable_partition(table.begin(), table.begin() + used,
                          [](const auto& e) { return e.Connectoid_Name != DefaultConnectoid; });
}

// Writes used entries 1..n into <prefix>n sections, deletes the sections of the other
// slots, and sets the counter. Entries are written in slot order with no gaps.
template <typename Table, typename WriteEntry>
void saveSectionList(SettingsStore& store, const Table& table, const char* prefix,
                     const QString& counter, WriteEntry writeEntry) {
    int n = 0;
    for (const auto& entry : table) {
        if (!isFreeSlot(entry))
            writeEntry(numbered(prefix, ++n), entry);
    }
    for (int k = n + 1; k <= Table::Capacity; ++k)
        store.removeSection(numbered(prefix, k));
    store.writeInteger(Product, counter, n);
}

// Writes used entries as values <name>1..<name>n of one section, deletes the others, and
// deletes the whole section when the list is empty.
template <typename Table>
void saveValueList(SettingsStore& store, const Table& table, const QString& section,
                   const char* name, const QString& counter) {
    int n = 0;
    for (const ExcludeText& entry : table) {
        if (!isFreeSlot(entry))
            store.writeString(section, numbered(name, ++n), entry.Text);
    }
    for (int k = n + 1; k <= Table::Capacity; ++k)
        store.removeValue(section, numbered(name, k));
    store.writeInteger(Product, counter, n);
    if (n == 0)
        store.removeSection(section);
}

// Fingers and pings share one record and one way of saving it.
void saveToolList(SettingsStore& store, const ToolHostTable& table, const char* prefix,
                  const QString& counter) {
    saveSectionList(store, table, prefix, counter,
                    [&](const QString& sec, const typToolWithDefaultInformation& t) {
                        store.writeString(sec, QStringLiteral("Host"), t.Host);
                        store.writeString(sec, QStringLiteral("Description"), t.Description);
                        store.writeBoolean(sec, QStringLiteral("DefaultItem"), t.DefaultItem);
                    });
}

// The lists as SaveOptions writes them, without the trip to the disk.
void writeCostings(SettingsStore& store, CostingTable& table, const RegionalSettings& regional);
void writeCostingFurtherDetails(SettingsStore& store, CostingFurtherDetailTable& table);
void writeApplications(SettingsStore& store, const ApplicationTable& table);

} // namespace

void SaveOptions(SettingsStore& store, const typSettings& s, typLists& lists,
                 const RegionalSettings& regional, OptionsWritten written) {
    const auto integer = [&](const char* name, qint64 v) {
        store.writeInteger(Product, QLatin1String(name), v);
    };
    const auto boolean = [&](const char* name, bool v) {
        store.writeBoolean(Product, QLatin1String(name), v);
    };
    const auto floating = [&](const char* name, double v) {
        store.writeString(Product, QLatin1String(name), datetime::floatToText(v, regional));
    };

    boolean("Show_Time", s.Show_Time);
    boolean("Show_Cost", s.Show_Cost);
    boolean("Show_CostPerMinute", s.Show_CostPerMinute);
    boolean("Show_DTR", s.Show_DTR);
    boolean("Show_Data_Transferred", s.Show_Data_Transferred);
    boolean("Show_Connect_Speed", s.Show_Connect_Speed);
    integer("Intelligent_Display", s.Intelligent_Display);
    integer("Show_Digital_Display", s.Show_Digital_Display);
    integer("Number_Of_Characters", s.Number_Of_Characters);
    integer("Character_Size", s.Character_Size);
    integer("Pixel_Spacing", s.Pixel_Spacing);
    boolean("Show_Cost_Including_Discount", s.Show_Cost_Including_Discount);
    boolean("Indicate_Minimum_Charge", s.Indicate_Minimum_Charge);
    boolean("Indicate_Maximum_Charge", s.Indicate_Maximum_Charge);
    boolean("Hide_Tray_Icon", s.Hide_Tray_Icon);
    boolean("Flash_Icon_Minimum", s.Flash_Icon_Minimum);
    boolean("Flash_Icon_Connected", s.Flash_Icon_Connected);
    boolean("Flash_Icon_Maximum", s.Flash_Icon_Maximum);
    boolean("Enable_TransmitReceive", s.Enable_TransmitReceive);
    boolean("Adjust_Display_After_Resolution_Change", s.Adjust_Display_After_Resolution_Change);
    boolean("Adjust_Intelligence_After_Resolution_Change",
            s.Adjust_Intelligence_After_Resolution_Change);
    integer("Default_Menu", s.Default_Menu);

    integer("Data_Log", s.Data_Log);
    integer("Data_DTR", s.Data_DTR);

    integer("Decimal_Places_Charge_Bands", s.Decimal_Places_Charge_Bands);
    integer("Decimal_Places_Log_Statistics", s.Decimal_Places_Log_Statistics);
    integer("Decimal_Places_Log_Detail", s.Decimal_Places_Log_Detail);
    integer("Decimal_Places_Display", s.Decimal_Places_Display);
    integer("Decimal_Places_Cost_Per_Minute", s.Decimal_Places_Cost_Per_Minute);
    integer("Decimal_Places_DTR", s.Decimal_Places_DTR);
    integer("Decimal_Places_Data_Transferred", s.Decimal_Places_Data_Transferred);

    integer("Sound_Event_WhenConnected", s.Sound_Event_WhenConnected);
    integer("Sound_Event_WhenDisconnect", s.Sound_Event_WhenDisconnect);
    integer("Sound_Event_AtMinimumCharge", s.Sound_Event_AtMinimumCharge);
    integer("Sound_Event_AtMaximumCharge", s.Sound_Event_AtMaximumCharge);
    integer("Sound_Event_AtAutoDisconnectStart", s.Sound_Event_AtAutoDisconnectStart);
    integer("Sound_Event_NewMailNotification", s.Sound_Event_NewMailNotification);

    floating("Color_LED_Idle", s.Color_LED_Idle);
    floating("Color_LED_Minimum", s.Color_LED_Minimum);
    floating("Color_LED_Maximum", s.Color_LED_Maximum);
    floating("Color_LED_Time", s.Color_LED_Time);
    floating("Color_LED_Costs", s.Color_LED_Costs);
    floating("Color_LED_Cost_Per_Minute", s.Color_LED_Cost_Per_Minute);
    floating("Color_LED_DTR", s.Color_LED_DTR);
    floating("Color_LED_Transferred", s.Color_LED_Transferred);
    floating("Color_LED_Lights", s.Color_LED_Lights);
    floating("Color_Connect_Speed", s.Color_Connect_Speed);

    boolean("Icon_Hint_Cost", s.Icon_Hint_Cost);
    boolean("Icon_Hint_Duration", s.Icon_Hint_Duration);
    boolean("Icon_Hint_CostPerMinute", s.Icon_Hint_CostPerMinute);
    boolean("Icon_Hint_DTR", s.Icon_Hint_DTR);
    boolean("Icon_Hint_Data", s.Icon_Hint_Data);
    boolean("Icon_Hint_IPAddress", s.Icon_Hint_IPAddress);
    boolean("Icon_Hint_ConnectSpeed", s.Icon_Hint_ConnectSpeed);

    boolean("Exit_VORN", s.Exit_VORN);
    boolean("Disable_Checks", s.Disable_Checks);
    boolean("Debug_Logging", s.Debug_Logging);
    integer("Priority_Of_Application", s.Priority_Of_Application);
    boolean("Backup_Log", s.Backup_Log);
    boolean("Compact_Call_Log", s.Compact_Call_Log);
    boolean("Alternative_Detector", s.Alternative_Detector);
    integer("Applications_Delay", s.Applications_Delay);
    boolean("No_Charge_Bands", s.No_Charge_Bands);
    store.writeString(Product, QStringLiteral("Dial_Up_Service"), s.Dial_Up_Service);
    boolean("Dial_Up_All_Profiles", s.Dial_Up_All_Profiles);

    if (written.autoDisconnect)
        integer("Auto_Disconnect", s.Auto_Disconnect);
    integer("Auto_Idle_Disconnect", s.Auto_Idle_Disconnect);
    if (written.autoAtDisconnect)
        floating("Auto_At_Disconnect", s.Auto_At_Disconnect);
    integer("Auto_Disconnect_Connect_Speed", s.Auto_Disconnect_Connect_Speed);
    floating("Auto_Disconnect_Exceed_Cost", s.Auto_Disconnect_Exceed_Cost);
    boolean("Auto_Disconnect_Free_Minutes", s.Auto_Disconnect_Free_Minutes);
    boolean("Auto_Disconnect_Minimum_Period", s.Auto_Disconnect_Minimum_Period);
    integer("Operation_After_Auto_Disconnecting", s.Operation_After_Auto_Disconnecting);
    integer("Operation_After_Disconnecting", s.Operation_After_Disconnecting);

    integer("Interval_Call_Checker", s.Interval_Call_Checker);
    integer("Interval_Calculate_Cost", s.Interval_Calculate_Cost);
    integer("Interval_Display_Changer", s.Interval_Display_Changer);
    integer("Interval_Auto_Hide", s.Interval_Auto_Hide);
    integer("Interval_DTR", s.Interval_DTR);
    integer("Interval_Transmit_Receive", s.Interval_Transmit_Receive);

    writeCostings(store, lists.Costings, regional);
    writeCostingFurtherDetails(store, lists.CostingFurtherDetails);
    writeApplications(store, lists.Applications);
    // One trip to the disk for the whole dialog.
    store.sync();
}

namespace {

void writeCostings(SettingsStore& store, CostingTable& table, const RegionalSettings& regional) {
    defaultsLast(table, compact(table));
    saveSectionList(store, table, "Costing", QStringLiteral("Number_Of_Costings"),
                    [&](const QString& sec, const typCostingInformation& c) {
                        store.writeString(sec, QStringLiteral("Connectoid_Name"),
                                          c.Connectoid_Name);
                        store.writeString(sec, QStringLiteral("StartTime"),
                                          datetime::floatToText(c.StartTime, regional));
                        store.writeString(sec, QStringLiteral("FinishTime"),
                                          datetime::floatToText(c.FinishTime, regional));
                        store.writeInteger(sec, QStringLiteral("Days"), c.Days);
                        store.writeInteger(sec, QStringLiteral("FreeMinutes"), c.FreeMinutes);
                        store.writeInteger(sec, QStringLiteral("Length_Start"), c.Length_Start);
                        store.writeInteger(sec, QStringLiteral("Length_Finish"), c.Length_Finish);
                        store.writeString(sec, QStringLiteral("ChargePerMin"),
                                          datetime::floatToText(c.ChargePerMin, regional));
                    });
}

void writeCostingFurtherDetails(SettingsStore& store, CostingFurtherDetailTable& table) {
    defaultsLast(table, compact(table));
    saveSectionList(store, table, "Costing_Further_Details",
                    QStringLiteral("Number_Of_Costing_Further_Details"),
                    [&](const QString& sec, const typCostingFurtherDetailInformation& f) {
                        store.writeString(sec, QStringLiteral("Connectoid_Name"),
                                          f.Connectoid_Name);
                        store.writeString(sec, QStringLiteral("Option"), f.Option);
                        store.writeString(sec, QStringLiteral("Value"), f.Value);
                        store.writeInteger(sec, QStringLiteral("Length_Start"), f.Length_Start);
                        store.writeInteger(sec, QStringLiteral("Length_Finish"), f.Length_Finish);
                    });
}

void writeApplications(SettingsStore& store, const ApplicationTable& table) {
    saveSectionList(
        store, table, "Application", QStringLiteral("Number_Of_Applications"),
        [&](const QString& sec, const typApplicationInformation& a) {
            store.writeString(sec, QStringLiteral("Connectoid_Name"), a.Connectoid_Name);
            store.writeString(sec, QStringLiteral("Filename"), a.Filename);
            store.writeString(sec, QStringLiteral("Working_Directory"), a.Working_Directory);
            store.writeString(sec, QStringLiteral("Parameters"), a.Parameters);
            store.writeInteger(sec, QStringLiteral("Window_State"), a.Window_State);
            store.writeInteger(sec, QStringLiteral("Execute"), a.Execute);
            store.writeInteger(sec, QStringLiteral("Close"), a.Close);
            store.writeInteger(sec, QStringLiteral("Delay"), a.Delay);
        });
}

} // namespace

void SaveCostings(SettingsStore& store, CostingTable& table, const RegionalSettings& regional) {
    writeCostings(store, table, regional);
    store.sync();
}

void SaveCostingFurtherDetails(SettingsStore& store, CostingFurtherDetailTable& table) {
    writeCostingFurtherDetails(store, table);
    store.sync();
}

void SaveApplications(SettingsStore& store, const ApplicationTable& table) {
    writeApplications(store, table);
    store.sync();
}

void SaveToolOptions(SettingsStore& store, const typSettings& s) {
    const auto integer = [&](const char* name, qint64 v) {
        store.writeInteger(Product, QLatin1String(name), v);
    };
    const auto boolean = [&](const char* name, bool v) {
        store.writeBoolean(Product, QLatin1String(name), v);
    };
    const auto string = [&](const char* name, const QString& v) {
        store.writeString(Product, QLatin1String(name), v);
    };
    integer("Repeat_Ping", s.Repeat_Ping);
    integer("Time_Out", s.Time_Out);
    integer("Additional_Lines", s.Additional_Lines);
    boolean("Check_At_Startup", s.Check_At_Startup);
    boolean("Execute_Mail_Application", s.Execute_Mail_Application);
    string("Mail_Application", s.Mail_Application);
    string("Mail_Application_Parameters", s.Mail_Application_Parameters);
    integer("Port_Number", s.Port_Number);
    string("Proxy", s.Proxy);
    string("Proxy_UserName", s.Proxy_UserName);
    string("Proxy_Password", ScramblePassword(s.Proxy_Password));
    integer("Proxy_Port", s.Proxy_Port);
    boolean("Show_Always_Company", s.Show_Always_Company);
    boolean("Show_Always_Username", s.Show_Always_Username);
    boolean("Show_Always_Password", s.Show_Always_Password);
    boolean("Show_Always_Comments", s.Show_Always_Comments);
    string("Password", ScramblePassword(s.Password));
    integer("Simultaneous_Connections", s.Simultaneous_Connections);
    integer("Web_Notify_Retries", s.Web_Notify_Retries);
    integer("Web_Notify_Time_Out", s.Web_Notify_Time_Out);
    // An empty folder is not stored, so the next load falls back to the favourites folder.
    if (!s.URL_Folder_Location.isEmpty())
        string("URL_Folder_Location", s.URL_Folder_Location);
    boolean("Recurse_Frame_Pages", s.Recurse_Frame_Pages);
    boolean("Use_Last_Updated_Only", s.Use_Last_Updated_Only);
    boolean("Web_Notify_Page_Size_Changes", s.Web_Notify_Page_Size_Changes);
    boolean("Web_Notify_Last_Updated_Changes", s.Web_Notify_Last_Updated_Changes);
    integer("Web_Notify_Page_Size_Margin", s.Web_Notify_Page_Size_Margin);
    store.sync();
}

void SaveFingers(SettingsStore& store, const ToolHostTable& table) {
    saveToolList(store, table, "Finger", QStringLiteral("Number_Of_Fingers"));
    store.sync();
}

void SavePings(SettingsStore& store, const ToolHostTable& table) {
    saveToolList(store, table, "Ping", QStringLiteral("Number_Of_Pings"));
    store.sync();
}

void SavePOP3s(SettingsStore& store, const POP3Table& table) {
    saveSectionList(store, table, "POP3", QStringLiteral("Number_Of_POP3"),
                    [&](const QString& sec, const typPOP3Information& p) {
                        store.writeString(sec, QStringLiteral("Server"), p.Server);
                        store.writeString(sec, QStringLiteral("User_Name"), p.User_Name);
                        store.writeString(sec, QStringLiteral("Password"),
                                          ScramblePassword(p.Password));
                        store.writeBoolean(sec, QStringLiteral("Include_In_Startup_Check"),
                                           p.Include_In_Startup_Check);
                    });
    store.sync();
}

void SaveExcludes(SettingsStore& store, const ExcludeTable& table) {
    saveValueList(store, table, QStringLiteral("Exclude"), "URL",
                  QStringLiteral("Number_Of_Excludes"));
    store.sync();
}

void SaveAutoExcludes(SettingsStore& store, const AutoExcludeTable& table) {
    saveValueList(store, table, QStringLiteral("AutoExclude"), "Entry",
                  QStringLiteral("Number_Of_Auto_Excludes"));
    store.sync();
}
