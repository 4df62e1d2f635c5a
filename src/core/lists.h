#pragma once

#include "records.h"

#include <QString>

// The program-wide list tables, filled by LoadSettings and edited in place by the
// options dialog and the tools window.
struct typLists {
    CostingTable Costings;
    CostingFurtherDetailTable CostingFurtherDetails;
    ApplicationTable Applications;
    ToolHostTable Fingers;
    ToolHostTable Pings;
    POP3Table POP3s;
    PasswordTable Passwords;
    ExcludeTable Excludes;
    AutoExcludeTable AutoExcludes;

    friend bool operator==(const typLists&, const typLists&) = default;
};

// Every slot free.
void ClearCostings(CostingTable& table); // only ChargePerMin is reset
void ClearCostingFurtherDetails(CostingFurtherDetailTable& table);
void ClearApplications(ApplicationTable& table);
void ClearFingers(ToolHostTable& table);
void ClearPings(ToolHostTable& table);
void ClearPOP3s(POP3Table& table);
void ClearPasswords(PasswordTable& table);
void ClearExcludes(ExcludeTable& table);
void ClearAutoExcludes(AutoExcludeTable& table);

// The records an insert dialog starts from.
typCostingInformation FreshCosting();
typCostingFurtherDetailInformation FreshCostingFurtherDetail();
// Keeps the connectoid of the record the editor last worked on, so it stays preselected.
typApplicationInformation FreshApplication(const typApplicationInformation& working);
typToolWithDefaultInformation FreshToolWithDefault();
typPOP3Information FreshPOP3();
typPasswordInformation FreshPassword();

// The first free slot from 1, or 0 when the table is full.
int FindFreeCosting(const CostingTable& table);
int FindFreeCostingFurtherDetail(const CostingFurtherDetailTable& table);
int FindFreeApplication(const ApplicationTable& table);
int FindFreeFinger(const ToolHostTable& table);
int FindFreePing(const ToolHostTable& table);
int FindFreePOP3(const POP3Table& table);
int FindFreePassword(const PasswordTable& table);
int FindFreeExclude(const ExcludeTable& table);
int FindFreeAutoExclude(const AutoExcludeTable& table);

// Removes entry k; the later entries move down one. An index outside the table does nothing.
void DeleteCosting(CostingTable& table, int k);
void DeleteCostingFurtherDetail(CostingFurtherDetailTable& table, int k);
void DeleteApplication(ApplicationTable& table, int k);
void DeleteFinger(ToolHostTable& table, int k);
void DeletePing(ToolHostTable& table, int k);
void DeletePOP3(POP3Table& table, int k);
void DeletePassword(PasswordTable& table, int k);
void DeleteExclude(ExcludeTable& table, int k);
void DeleteAutoExclude(AutoExcludeTable& table, int k);

// True when an auto-exclude entry occurs in the text, ignoring case. The scan stops at
// the first empty slot.
bool IsAutoExcluded(const AutoExcludeTable& table, const QString& text);
// "\channels\", "\links\" and "\media\" in slots 1 to 3, the rest free.
void SetDefaultAutoExcludes(AutoExcludeTable& table);

// XOR with 0x5A per character; applying it twice gives the text back.
QString ScramblePassword(const QString& text);
