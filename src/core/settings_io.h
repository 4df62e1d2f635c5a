#pragma once

#include "lists.h"
#include "settings.h"

#include <QString>

#include <functional>

class Clock;
class Prompts;
class SettingsStore;
struct RegionalSettings;

// What LoadSettings needs from outside the store.
struct SettingsEnvironment {
    const RegionalSettings& regional;
    const Clock& clock;                     // Auto_At_Disconnect defaults to now plus one day
    PlatformCapabilities capabilities;      // data-rate source, connect speed
    QString passwordFilePath;               // <program folder>/Logs/password.bin
    QString favoritesFolder;                // default of URL_Folder_Location ("" when none)
    std::function<void(int)> applyPriority; // 0 idle, 1 normal, 2 high; may be empty
};

// The default of URL_Folder_Location: the Favorites folder in the home folder when there
// is one, else "".
QString DefaultFavoritesFolder(const QString& homeFolder);

// The question asked when the stored settings come from another version.
extern const QString SettingsResetQuestion;

// Before the first load: when the stored Version is not this version, asks whether to
// reset, and on Yes deletes every stored setting and list. Returns true when it reset.
bool CheckSettingsVersion(SettingsStore& store, Prompts& prompts);

// Fills the settings record and the lists from the store, loads the password file, and
// writes Version. A value that is missing, not a number or out of its range takes its
// default; a list count beyond the capacity loads the capacity; entries whose section is
// missing or that come out empty are skipped so that the lists keep no gaps.
void LoadSettings(SettingsStore& store, typSettings& settings, typLists& lists,
                  const SettingsEnvironment& env);

// Values that the main window also writes during a call (the hang-up time at every connect,
// the call-length limit when its rule fires). The options dialog writes them only when the
// user changed them, so that an old value never replaces the main window's.
struct OptionsWritten {
    bool autoDisconnect = true;
    bool autoAtDisconnect = true;
};

// The options dialog's OK: its single values, then the charge bands, further details and
// applications. The dialog puts its edits into the record first.
void SaveOptions(SettingsStore& store, const typSettings& settings, typLists& lists,
                 const RegionalSettings& regional, OptionsWritten written = {});

// Charge bands and further details are compacted and reordered in memory as they are
// saved: connectoid-specific entries first, then the "Default" ones, each keeping its
// order, because the first matching entry wins when a call is priced.
void SaveCostings(SettingsStore& store, CostingTable& table, const RegionalSettings& regional);
void SaveCostingFurtherDetails(SettingsStore& store, CostingFurtherDetailTable& table);
void SaveApplications(SettingsStore& store, const ApplicationTable& table);

// The tools window's OK: its own single values and lists.
void SaveToolOptions(SettingsStore& store, const typSettings& settings);
void SaveFingers(SettingsStore& store, const ToolHostTable& table);
void SavePings(SettingsStore& store, const ToolHostTable& table);
void SavePOP3s(SettingsStore& store, const POP3Table& table);
void SaveExcludes(SettingsStore& store, const ExcludeTable& table);
void SaveAutoExcludes(SettingsStore& store, const AutoExcludeTable& table);
