#include "settings_snapshot.h"

#include "ini_settings_store.h"

#include <QSettings>

SettingsSnapshot::SettingsSnapshot(const QString& iniPath, bool* ok) {
    const QSettings file(iniPath, QSettings::IniFormat);
    if (ok)
        *ok = file.status() == QSettings::NoError;
    for (const QString& key : file.allKeys()) {
        const qsizetype slash = key.indexOf(u'/');
        setValue(slash < 0 ? QString() : key.left(slash), slash < 0 ? key : key.mid(slash + 1),
                 IniSettingsStore::text(file.value(key)));
    }
}
