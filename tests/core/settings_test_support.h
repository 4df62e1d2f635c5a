#pragma once

#include "core/regional.h"
#include "core/settings_io.h"
#include "core/settings_store.h"
#include "manual_clock.h"
#include "memory_settings_store.h"

#include <QSet>

// A store that remembers the names written to the product key, so a test can reach every
// single value that the save functions know about.
class NameRecordingStore final : public SettingsStore {
public:
    std::optional<QString> value(const QString& section, const QString& name) const override {
        return inner.value(section, name);
    }
    void setValue(const QString& section, const QString& name, const QString& text) override {
        if (section.isEmpty())
            productNames.insert(name);
        inner.setValue(section, name, text);
    }
    void removeValue(const QString& section, const QString& name) override {
        inner.removeValue(section, name);
    }
    void removeSection(const QString& section) override { inner.removeSection(section); }
    QStringList sections() const override { return inner.sections(); }
    void sync() override { inner.sync(); }

    MemorySettingsStore inner;
    QSet<QString> productNames;
};

// LoadSettings with fixed surroundings.
struct LoadFixture {
    RegionalSettings regional = RegionalSettings::english();
    ManualClock clock;
    PlatformCapabilities capabilities{true, true};
    QString passwordFile;
    QString favorites = QStringLiteral("/home/u/Favorites");
    QList<int> prioritiesApplied;

    SettingsEnvironment env() {
        return {regional,     clock,     capabilities,
                passwordFile, favorites, [this](int p) { prioritiesApplied << p; }};
    }
    void load(SettingsStore& store, typSettings& s, typLists& lists) {
        LoadSettings(store, s, lists, env());
    }
};
