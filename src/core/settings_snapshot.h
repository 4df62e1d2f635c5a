#pragma once

#include "settings_store.h"

#include <QMap>

// The settings file read once into memory, for a reader that must never change it
// (vorn-log): what LoadSettings writes back stays in memory, and a missing file is not
// created.
class SettingsSnapshot final : public SettingsStore {
public:
    // Reads the INI file that IniSettingsStore writes; false in *ok when it cannot be read.
    explicit SettingsSnapshot(const QString& iniPath, bool* ok = nullptr);

    std::optional<QString> value(const QString& section, const QString& name) const override;
    void setValue(const QString& section, const QString& name, const QString& text) override;
    void removeValue(const QString& section, const QString& name) override;
    void removeSection(const QString& section) override;
    QStringList sections() const override;
    void sync() override {}

private:
    QMap<QString, QMap<QString, QString>> data_; // section -> name -> text
};
