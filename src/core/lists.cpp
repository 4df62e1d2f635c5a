#include "lists.h"

void ClearCostings(CostingTable& table) {
    clearTable(table);
}
void ClearCostingFurtherDetails(CostingFurtherDetailTable& table) {
    clearTable(table);
}
void ClearApplications(ApplicationTable& table) {
    clearTable(table);
}
void ClearFingers(ToolHostTable& table) {
    clearTable(table);
}
void ClearPings(ToolHostTable& table) {
    clearTable(table);
}
void ClearPOP3s(POP3Table& table) {
    clearTable(table);
}
void ClearPasswords(PasswordTable& table) {
    clearTable(table);
}
void ClearExcludes(ExcludeTable& table) {
    clearTable(table);
}
void ClearAutoExcludes(AutoExcludeTable& table) {
    clearTable(table);
}

typCostingInformation FreshCosting() {
    typCostingInformation r;
    r.ChargePerMin = -1.0;
    return r;
}
typCostingFurtherDetailInformation FreshCostingFurtherDetail() {
    return {};
}
typApplicationInformation FreshApplication(const typApplicationInformation& working) {
    typApplicationInformation r;
    r.Connectoid_Name = working.Connectoid_Name;
    return r;
}
typToolWithDefaultInformation FreshToolWithDefault() {
    return {};
}
typPOP3Information FreshPOP3() {
    return {};
}
typPasswordInformation FreshPassword() {
    return {};
}

int FindFreeCosting(const CostingTable& table) {
    return findFreeSlot(table);
}
int FindFreeCostingFurtherDetail(const CostingFurtherDetailTable& table) {
    return findFreeSlot(table);
}
int FindFreeApplication(const ApplicationTable& table) {
    return findFreeSlot(table);
}
int FindFreeFinger(const ToolHostTable& table) {
    return findFreeSlot(table);
}
int FindFreePing(const ToolHostTable& table) {
    return findFreeSlot(table);
}
int FindFreePOP3(const POP3Table& table) {
    return findFreeSlot(table);
}
int FindFreePassword(const PasswordTable& table) {
    return findFreeSlot(table);
}
int FindFreeExclude(const ExcludeTable& table) {
    return findFreeSlot(table);
}
int FindFreeAutoExclude(const AutoExcludeTable& table) {
    return findFreeSlot(table);
}

void DeleteCosting(CostingTable& table, int k) {
    deleteAtIndex(table, k);
}
void DeleteCostingFurtherDetail(CostingFurtherDetailTable& table, int k) {
    deleteAtIndex(table, k);
}
void DeleteApplication(ApplicationTable& table, int k) {
    deleteAtIndex(table, k);
}
void DeleteFinger(ToolHostTable& table, int k) {
    deleteAtIndex(table, k);
}
void DeletePing(ToolHostTable& table, int k) {
    deleteAtIndex(table, k);
}
void DeletePOP3(POP3Table& table, int k) {
    deleteAtIndex(table, k);
}
void DeletePassword(PasswordTable& table, int k) {
    deleteAtIndex(table, k);
}
void DeleteExclude(ExcludeTable& table, int k) {
    deleteAtIndex(table, k);
}
void DeleteAutoExclude(AutoExcludeTable& table, int k) {
    deleteAtIndex(table, k);
}

bool IsAutoExcluded(const AutoExcludeTable& table, const QString& text) {
    const QString upper = text.toUpper();
    for (const ExcludeText& entry : table) {
        if (entry.Text.isEmpty())
            break;
        if (upper.contains(entry.Text.toUpper()))
            return true;
    }
    return false;
}

void SetDefaultAutoExcludes(AutoExcludeTable& table) {
    clearTable(table);
    table[1].Text = QStringLiteral("\\channels\\");
    table[2].Text = QStringLiteral("\\links\\");
    table[3].Text = QStringLiteral("\\media\\");
}

QString ScramblePassword(const QString& text) {
    QString out = text;
    for (QChar& c : out)
        c = QChar(static_cast<char16_t>(c.unicode() ^ 0x5A));
    return out;
}
