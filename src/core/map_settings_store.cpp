#include "map_settings_store.h"

std::optional<QString> MapSettingsStore::value(const QString& section, const QString& name) const {
    const auto s = data_.constFind(section);
    if (s == data_.constEnd())
        return std::nullopt;
    const auto v = s->constFind(name);
    if (v == s->constEnd())
        return std::nullopt;
    return *v;
}

void MapSettingsStore::setValue(const QString& section, const QString& name, const QString& text) {
    data_[section][name] = text;
}

void MapSettingsStore::removeValue(const QString& section, const QString& name) {
    const auto s = data_.find(section);
    if (s != data_.end())
        s->remove(name);
}

void MapSettingsStore::removeSection(const QString& section) {
    if (section.isEmpty())
        data_.clear();
    else
        data_.remove(section);
}

QStringList MapSettingsStore::sections() const {
    QStringList out;
    for (auto it = data_.constBegin(); it != data_.constEnd(); ++it) {
        if (!it.key().isEmpty())
            out << it.key();
    }
    return out;
}
