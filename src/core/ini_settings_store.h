#pragma once

#include "settings_store.h"

#include <QSettings>

// The settings file: INI, one section per subkey, product-key values in [General],
// owner-only because it holds scrambled passwords.
class IniSettingsStore final : public SettingsStore {
public:
    explicit IniSettingsStore(const QString& path);

    // $VORN_CONFIG, else $XDG_CONFIG_HOME/Ostrand Labs/VORN.conf.
    static QString defaultPath();

    QString path() const { return settings_.fileName(); }
    // A stored value as text: a hand-edited value with an unquoted comma reads as a list.
    static QString text(const QVariant& value);

    std::optional<QString> value(const QString& section, const QString& name) const override;
    void setValue(const QString& section, const QString& name, const QString& text) override;
    void removeValue(const QString& section, const QString& name) override;
    void removeSection(const QString& section) override;
    QStringList sections() const override;
    void sync() override;

private:
    static QString key(const QString& section, const QString& name);
    void restrictPermissions();

    QSettings settings_;
};
