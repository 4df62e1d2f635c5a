#pragma once

#include "core/map_settings_store.h"

// The settings key held in memory; counts syncs so tests can see writes reach the disk.
class MemorySettingsStore final : public MapSettingsStore {
public:
    void sync() override { ++syncCount; }

    bool hasValue(const QString& section, const QString& name) const {
        return value(section, name).has_value();
    }
    int syncCount = 0;
};
