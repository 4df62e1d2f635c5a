#pragma once

#include "datetime.h"
#include "version.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

// What the platform can tell about the connection. Where the program once asked which
// Windows family it ran on, it now asks the dial-up service and the byte counters.
struct PlatformCapabilities {
    bool dataRateAvailable = true;      // byte counters exist for the current link
    bool connectSpeedAvailable = false; // the dial-up service reports a connect speed
};

// The words Dial_Up_Service takes, in the order the options dialog offers them.
inline const QStringList DialUpServiceWords = {QStringLiteral("auto"),
                                               QStringLiteral("networkmanager"),
                                               QStringLiteral("pppd"), QStringLiteral("simulated")};

// Every single setting, one field per stored value (same name), with the default that
// LoadSettings uses when the value is missing. Colours are Windows colour values: red in
// the low byte, blue in the third.
struct typSettings {
    // Window and LED display
    qint32 Window_Left = 0;
    qint32 Window_Top = 0;
    bool Show_Splash = true;
    bool Show_Time = true;
    bool Show_Cost = true;
    bool Show_CostPerMinute = false;
    bool Show_DTR = true;
    bool Show_Data_Transferred = true;
    bool Show_Connect_Speed = false;
    qint32 Intelligent_Display = 0;
    qint32 Show_Digital_Display = 0;
    qint32 Number_Of_Characters = 3; // characters shown = index + 6
    qint32 Character_Size = 1;
    qint32 Pixel_Spacing = 0;
    bool Show_Cost_Including_Discount = false;
    bool Indicate_Minimum_Charge = true;
    bool Indicate_Maximum_Charge = true;
    bool Hide_Tray_Icon = false;
    bool Flash_Icon_Minimum = false;
    bool Flash_Icon_Connected = false;
    bool Flash_Icon_Maximum = false;
    bool Enable_TransmitReceive = true;
    bool Adjust_Display_After_Resolution_Change = false;
    bool Adjust_Intelligence_After_Resolution_Change = false;
    qint32 Default_Menu = 0;

    // Data counts: 0 received, 1 sent, 2 both
    qint32 Data_Log = 2;
    qint32 Data_DTR = 2;

    // Decimal places: 0 the currency's places, 1..5 for 0..4 places
    qint32 Decimal_Places_Charge_Bands = 0;
    qint32 Decimal_Places_Log_Statistics = 0;
    qint32 Decimal_Places_Log_Detail = 0;
    qint32 Decimal_Places_Display = 0;
    qint32 Decimal_Places_Cost_Per_Minute = 0;
    qint32 Decimal_Places_DTR = 0;
    qint32 Decimal_Places_Data_Transferred = 0;

    // Sounds: 0 none, 1 internal speaker, 2 wave, 3 both
    qint32 Sound_Event_WhenConnected = 0;
    qint32 Sound_Event_WhenDisconnect = 0;
    qint32 Sound_Event_AtMinimumCharge = 0;
    qint32 Sound_Event_AtMaximumCharge = 0;
    qint32 Sound_Event_AtAutoDisconnectStart = 0;
    qint32 Sound_Event_NewMailNotification = 0;

    // LED colours
    qint32 Color_LED_Idle = 16777215;
    qint32 Color_LED_Minimum = 16777088;
    qint32 Color_LED_Maximum = 65280;
    qint32 Color_LED_Time = 33023;
    qint32 Color_LED_Costs = 8454143;
    qint32 Color_LED_Cost_Per_Minute = 16744703;
    qint32 Color_LED_DTR = 12632256;
    qint32 Color_LED_Transferred = 16744576;
    qint32 Color_LED_Lights = 65280;
    qint32 Color_Connect_Speed = 8388863;

    // Tray icon hint
    bool Icon_Hint_Cost = true;
    bool Icon_Hint_Duration = true;
    bool Icon_Hint_CostPerMinute = false;
    bool Icon_Hint_DTR = true;
    bool Icon_Hint_Data = false;
    bool Icon_Hint_IPAddress = false;
    bool Icon_Hint_ConnectSpeed = true;

    // General
    bool Exit_VORN = false;
    bool Disable_Checks = false;
    bool Debug_Logging = false;
    qint32 Priority_Of_Application = 1; // 0 idle, 1 normal, 2 high
    bool Backup_Log = true;
    bool Compact_Call_Log = true;
    bool Alternative_Detector = false;
    qint32 Applications_Delay = 9; // seconds
    bool Close_Stalled_Windows = false;
    qint32 Standard_Delay = 1;
    qint32 Stalled_Delay = 1;
    bool No_Charge_Bands = false;
    // Which dial-up backend watches the connection: auto, networkmanager, pppd, simulated.
    QString Dial_Up_Service = QStringLiteral("auto");
    // NetworkManager: every profile is a phonebook entry, not only the metered kinds.
    bool Dial_Up_All_Profiles = false;

    // Auto-disconnect
    qint32 Auto_Disconnect = 0; // minutes, 0 off
    qint32 Auto_Idle_Disconnect = 5;
    TDateTime Auto_At_Disconnect = 0; // LoadSettings defaults it to now plus one day
    qint32 Auto_Disconnect_Connect_Speed = 0;
    double Auto_Disconnect_Exceed_Cost = 0;
    bool Auto_Disconnect_Free_Minutes = false;
    bool Auto_Disconnect_Minimum_Period = false;
    qint32 Operation_After_Auto_Disconnecting = 0; // 0 nothing, 1 shut down, 2 restart
    qint32 Operation_After_Disconnecting = 0;

    // Timer intervals, milliseconds
    qint32 Interval_Call_Checker = 2000;
    qint32 Interval_Calculate_Cost = 2000;
    qint32 Interval_Display_Changer = 1500;
    qint32 Interval_Auto_Hide = 100;
    qint32 Interval_DTR = 5000;
    qint32 Interval_Transmit_Receive = 250;

    // Tools
    qint32 Repeat_Ping = 4;
    qint32 Time_Out = 1;
    qint32 Additional_Lines = 0;
    bool Check_At_Startup = false;
    bool Execute_Mail_Application = false;
    QString Mail_Application;
    QString Mail_Application_Parameters;
    qint32 Port_Number = 110;
    QString Proxy;
    QString Proxy_UserName;
    QString Proxy_Password; // plain in memory, scrambled when stored
    qint32 Proxy_Port = 0;
    bool Show_Always_Company = true;
    bool Show_Always_Username = false;
    bool Show_Always_Password = false;
    bool Show_Always_Comments = true;
    QString Password; // the password keeper's security password, plain in memory
    qint32 Simultaneous_Connections = 0;
    qint32 Web_Notify_Retries = 3;
    qint32 Web_Notify_Time_Out = 1;
    QString URL_Folder_Location; // LoadSettings defaults it to the favourites folder
    bool Recurse_Frame_Pages = false;
    bool Use_Last_Updated_Only = false;
    bool Web_Notify_Page_Size_Changes = true;
    bool Web_Notify_Last_Updated_Changes = true;
    qint32 Web_Notify_Page_Size_Margin = 1;

    // Window sizes, pixels. Each window reads and writes its own through the store when
    // it opens and closes; LoadSettings does not fill these.
    qint32 Options_Window_Width = 550;
    qint32 Options_Window_Height = 450;
    qint32 Tools_Window_Width = 630;
    qint32 Tools_Window_Height = 450;
    qint32 Log_Window_Width = 600;
    qint32 Log_Window_Height = 450;

    // Crash-recovery values. The main window and the call recorder keep them in the store
    // during a call; LoadSettings does not fill these.
    TDateTime Last_Call_Start = 0;
    TDateTime Last_Call_Finish = 0;
    qint64 Last_Data_Transfer = 0;
    QString Last_User_Name = QStringLiteral("Default");
    QString Last_Connectoid_Name = QStringLiteral("Unknown/Other");
    qint32 Last_Connect_Speed = 0;

    QString Version = QString::fromLatin1(VornVersion);

    friend bool operator==(const typSettings&, const typSettings&) = default;
};
