#pragma once

#include <QString>

// Starting the program when the user logs in.
class Autostart {
public:
    virtual ~Autostart() = default;

    virtual bool isEnabled() const = 0;
    // False, with why in *error, when the setting could not be changed.
    virtual bool setEnabled(bool enabled, QString* error = nullptr) = 0;
};

// A desktop entry in the autostart folder, which every desktop following the freedesktop.org
// autostart convention runs at log-in. An entry switched off there (Hidden, or GNOME's
// X-GNOME-Autostart-enabled=false) counts as off.
class XdgAutostart final : public Autostart {
public:
    // An empty entry path is defaultEntryPath(); an empty program is this executable.
    explicit XdgAutostart(QString entryPath = {}, QString program = {});

    // $XDG_CONFIG_HOME/autostart/vorn.desktop
    static QString defaultEntryPath();
    // The program as a desktop entry's Exec value: quoted and escaped where it needs it.
    static QString execValue(const QString& program);

    bool isEnabled() const override;
    bool setEnabled(bool enabled, QString* error = nullptr) override;

private:
    QString entryPath_;
    QString program_;
};
