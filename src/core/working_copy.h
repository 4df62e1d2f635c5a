#pragma once

#include "core/lists.h"
#include "core/settings.h"

// What the options dialog and the tools window edit: a copy of the settings record and of
// the list tables. The live ones change only at commit(), so a call that ends while such a
// window is open is priced and logged with the saved tariff, never with half-made edits,
// and Cancel has nothing to undo.
class SettingsWorkingCopy {
public:
    SettingsWorkingCopy(typSettings& liveSettings, typLists& liveLists)
        : settings(liveSettings), lists(liveLists), liveSettings_(liveSettings),
          liveLists_(liveLists) {}

    // Makes the copy the live record and tables (before they are saved).
    void commit() const {
        liveSettings_ = settings;
        liveLists_ = lists;
    }

    const typSettings& liveSettings() const { return liveSettings_; }
    const typLists& liveLists() const { return liveLists_; }

    typSettings settings;
    typLists lists;

private:
    typSettings& liveSettings_;
    typLists& liveLists_;
};
