#pragma once

#include "settings_store.h"

#include <QMap>

// Settings held in memory, section by section.
class MapSettingsStore : public SettingsStore {
public:
    std::optional<QString> value(const QString& section, const QString& name) const override;
    void setValue(const QString& section, const QString& name, const QString& text) override;
    void removeValue(const QString& section, const QString& name) override;
    void removeSection(const QString& section) override;
    QStringList sections() const override;
    void sync() override {}

    bool hasSection(const QString& section) const { return data_.contains(section); }
    QMap<QString, QString> values(const QString& section) const { return data_.value(section); }

private:
    QMap<QString, QMap<QString, QString>> data_; // section -> name -> text
};
