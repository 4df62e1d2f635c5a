#pragma once

#include "core/settings_store.h"

#include <QMap>

// The settings key held in memory; counts syncs so tests can see writes reach the disk.
class MemorySettingsStore final : public SettingsStore {
public:
    std::optional<QString> value(const QString& section, const QString& name) const override;
    void setValue(const QString& section, const QString& name, const QString& text) override;
    void removeValue(const QString& section, const QString& name) override;
    void removeSection(const QString& section) override;
    QStringList sections() const override;
    void sync() override { ++syncCount; }

    bool hasSection(const QString& section) const { return data_.contains(section); }
    bool hasValue(const QString& section, const QString& name) const {
        return value(section, name).has_value();
    }
    QMap<QString, QString> values(const QString& section) const { return data_.value(section); }
    int syncCount = 0;

private:
    QMap<QString, QMap<QString, QString>> data_;
};
