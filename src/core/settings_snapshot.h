#pragma once

#include "map_settings_store.h"

// The settings file read once into memory, for a reader that must never change it
// (vorn-log): what LoadSettings writes back stays in memory, and a missing file is not
// created.
class SettingsSnapshot final : public MapSettingsStore {
public:
    // Reads the INI file that IniSettingsStore writes; false in *ok when it cannot be read.
    explicit SettingsSnapshot(const QString& iniPath, bool* ok = nullptr);
};
