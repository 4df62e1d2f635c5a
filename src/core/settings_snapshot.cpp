#include "settings_snapshot.h"

#include "ini_settings_store.h"

#include <QSettings>

SettingsSnapshot::SettingsSnapshot(const QString& iniPath, bool* ok) {
    const QSettings file(iniPath, QSettings::IniFormat);
    if (ok)
        *ok = file.status() == QSettings::NoError;
    for (const QString& key : file.allKeys()) {
        const qsizetype slash = key.indexOf(u'/');
        const QString section = slash < 0 ? QString() : key.left(slash);
        const QString name = slash < 0 ? key : key.mid(slash + 1);
        data_[section][name] = IniSettingsStore::text(file.value(key));
    }
}

std::optional<QString> SettingsSnapshot::value(const QString& section, const QString& name) const {
    const auto s = data_.constFind(section);
    if (s == data_.constEnd())
        return std::nullopt;
    const auto v = s->constFind(name);
    if (v == s->constEnd())
        return std::nullopt;
    return *v;
}

void SettingsSnapshot::setValue(const QString& section, const QString& name, const QString& text) {
    data_[section][name] = text;
}

void SettingsSnapshot::removeValue(const QString& section, const QString& name) {
    const auto s = data_.find(section);
    if (s != data_.end())
        s->remove(name);
}

void SettingsSnapshot::removeSection(const QString& section) {
    if (section.isEmpty())
        data_.clear();
    else
        data_.remove(section);
}

QStringList SettingsSnapshot::sections() const {
    QStringList out;
    for (auto it = data_.constBegin(); it != data_.constEnd(); ++it) {
        if (!it.key().isEmpty())
            out << it.key();
    }
    return out;
}
