#pragma once

#include "list_table.h"

#include <QString>

// The list records shared by every part of the program, with their capacities and the
// field that marks a free slot.

struct typCostingInformation {
    QString Connectoid_Name;
    double StartTime = 0;  // time of day, fraction of a day
    double FinishTime = 0; // inclusive; earlier than StartTime = over midnight
    qint32 Length_Start = 0;
    qint32 Length_Finish = 0;
    qint32 Days = 0;            // 1 Sunday, 2 Monday, … 64 Saturday
    double ChargePerMin = -1.0; // -1.0 marks a free slot
    qint32 FreeMinutes = 0;

    friend bool operator==(const typCostingInformation&, const typCostingInformation&) = default;
};
inline bool isFreeSlot(const typCostingInformation& r) {
    return r.ChargePerMin == -1.0;
}
inline void markFreeSlot(typCostingInformation& r) {
    r.ChargePerMin = -1.0;
}

struct typCostingFurtherDetailInformation {
    QString Connectoid_Name;
    QString Option;
    qint32 Length_Start = 0;
    qint32 Length_Finish = 0;
    QString Value; // empty marks a free slot

    friend bool operator==(const typCostingFurtherDetailInformation&,
                           const typCostingFurtherDetailInformation&) = default;
};
inline bool isFreeSlot(const typCostingFurtherDetailInformation& r) {
    return r.Value.isEmpty();
}
inline void markFreeSlot(typCostingFurtherDetailInformation& r) {
    r = {};
}

struct typApplicationInformation {
    QString Connectoid_Name;
    QString Filename; // empty marks a free slot
    QString Working_Directory;
    QString Parameters;
    qint32 Window_State = 0; // 0 Normal, 1 Minimized, 2 Maximized, 3 Hidden
    qint32 Execute = 0;      // 0 Disabled, 1 When Connected, 2 When Disconnected
    qint32 Close = 0;        // 0 Disabled, 1 At Disconnection
    qint32 Delay = 0;        // seconds after the call start

    friend bool operator==(const typApplicationInformation&,
                           const typApplicationInformation&) = default;
};
inline bool isFreeSlot(const typApplicationInformation& r) {
    return r.Filename.isEmpty();
}
inline void markFreeSlot(typApplicationInformation& r) {
    r = {};
}

struct typToolWithDefaultInformation {
    QString Host; // empty marks a free slot
    QString Description;
    bool DefaultItem = false;

    friend bool operator==(const typToolWithDefaultInformation&,
                           const typToolWithDefaultInformation&) = default;
};
inline bool isFreeSlot(const typToolWithDefaultInformation& r) {
    return r.Host.isEmpty();
}
inline void markFreeSlot(typToolWithDefaultInformation& r) {
    r = {};
}

struct typPOP3Information {
    QString Server; // empty marks a free slot
    QString User_Name;
    QString Password; // plain in memory
    bool Include_In_Startup_Check = false;

    friend bool operator==(const typPOP3Information&, const typPOP3Information&) = default;
};
inline bool isFreeSlot(const typPOP3Information& r) {
    return r.Server.isEmpty();
}
inline void markFreeSlot(typPOP3Information& r) {
    r = {};
}

// A password keeper entry; in the password file a 174-byte record of four
// length-prefixed Latin-1 texts (40, 40, 40, 50 characters at most).
struct typPasswordInformation {
    QString Company; // empty marks a free slot
    QString UserName;
    QString Password;
    QString Comments;

    friend bool operator==(const typPasswordInformation&, const typPasswordInformation&) = default;
};
inline bool isFreeSlot(const typPasswordInformation& r) {
    return r.Company.isEmpty();
}
inline void markFreeSlot(typPasswordInformation& r) {
    r = {};
}

// Web notify exclusions are plain texts; empty marks a free slot.
struct ExcludeText {
    QString Text;

    friend bool operator==(const ExcludeText&, const ExcludeText&) = default;
};
inline bool isFreeSlot(const ExcludeText& r) {
    return r.Text.isEmpty();
}
inline void markFreeSlot(ExcludeText& r) {
    r.Text.clear();
}

using CostingTable = ListTable<typCostingInformation, 75>;
using CostingFurtherDetailTable = ListTable<typCostingFurtherDetailInformation, 50>;
using ApplicationTable = ListTable<typApplicationInformation, 60>;
using ToolHostTable = ListTable<typToolWithDefaultInformation, 15>; // finger and ping
using POP3Table = ListTable<typPOP3Information, 15>;
using PasswordTable = ListTable<typPasswordInformation, 75>;
using ExcludeTable = ListTable<ExcludeText, 100>;
using AutoExcludeTable = ListTable<ExcludeText, 10>;

// Connectoid names used as pseudo entries throughout the program.
inline const QString DefaultConnectoid = QStringLiteral("Default");
inline const QString UnknownConnectoid = QStringLiteral("Unknown/Other");
