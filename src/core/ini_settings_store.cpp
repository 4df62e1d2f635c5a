#include "ini_settings_store.h"

#include "program_paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
constexpr auto OwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

QString prepared(const QString& path) {
    // Create the file owner-only before QSettings first writes it, so that the scrambled
    // passwords are never readable by others, not even for a moment.
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!QFileInfo::exists(path)) {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.close();
    }
    QFile::setPermissions(path, OwnerOnly);
    return path;
}
} // namespace

IniSettingsStore::IniSettingsStore(const QString& path)
    : settings_(prepared(path), QSettings::IniFormat) {}

QString IniSettingsStore::defaultPath() {
    return defaultSettingsPath(QProcessEnvironment::systemEnvironment());
}

QString IniSettingsStore::key(const QString& section, const QString& name) {
    return section.isEmpty() ? name : section + u'/' + name;
}

std::optional<QString> IniSettingsStore::value(const QString& section, const QString& name) const {
    const QVariant v = settings_.value(key(section, name));
    if (!v.isValid())
        return std::nullopt;
    return text(v);
}

QString IniSettingsStore::text(const QVariant& value) {
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(u',');
    return value.toString();
}

void IniSettingsStore::setValue(const QString& section, const QString& name, const QString& text) {
    settings_.setValue(key(section, name), text);
}

void IniSettingsStore::removeValue(const QString& section, const QString& name) {
    settings_.remove(key(section, name));
}

void IniSettingsStore::removeSection(const QString& section) {
    if (section.isEmpty())
        settings_.clear();
    else
        settings_.remove(section);
}

QStringList IniSettingsStore::sections() const {
    return settings_.childGroups();
}

void IniSettingsStore::sync() {
    settings_.sync();
    restrictPermissions();
}

void IniSettingsStore::restrictPermissions() {
    // QSettings replaces the file on write; keep the replacement owner-only too.
    if (QFileInfo::exists(settings_.fileName()))
        QFile::setPermissions(settings_.fileName(), OwnerOnly);
}
