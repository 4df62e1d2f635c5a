#pragma once

#include "memory_settings_store.h"
#include "window_test_doubles.h"

#include "config/tfrm_configuration.h"
#include "core/settings_io.h"
#include "platform/autostart.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The log-in setting, kept in memory; it can be made to fail.
struct FakeAutostart final : Autostart {
    bool isEnabled() const override { return enabled; }
    bool setEnabled(bool on, QString* error) override {
        ++changes;
        if (failure.isEmpty())
            enabled = on;
        else if (error)
            *error = failure;
        return failure.isEmpty();
    }
    bool enabled = false;
    QString failure;
    int changes = 0;
};

// The options dialog over test doubles: an in-memory settings key loaded the way the main
// window loads it, scripted boxes and dialogs, a dial-up service set by hand.
struct OptionsFixture : WindowDoubles {
    OptionsFixture() { store.setValue({}, "Version", "1.17"); }

    OptionsFixture& set(const char* name, const QString& value, const QString& section = {}) {
        store.setValue(section, QString::fromLatin1(name), value);
        return *this;
    }
    QString stored(const QString& name, const QString& section = {}) const {
        return store.value(section, name).value_or("<missing>");
    }

    // LoadSettings as the main window runs it.
    void load() {
        const SettingsEnvironment env{regional, clock, capabilities, {}, {}, {}};
        LoadSettings(*liveStore, settings, lists, env);
    }

    WindowServices services() {
        WindowServices s = windowServices(*liveStore, home.path(), capabilities);
        s.showDigitalDisplay = [this] { ++ledShown; };
        s.keptCallLengthLimit = [this] { return kept; };
        s.autostart = autostart;
        return s;
    }

    // Loads the settings and opens the dialog on them.
    std::unique_ptr<TfrmConfiguration> open() {
        load();
        return std::make_unique<TfrmConfiguration>(services());
    }

    template <typename T> static T* find(const TfrmConfiguration& window, const char* name) {
        T* control = window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_TRUE(control) << name;
        return control;
    }

    QTemporaryDir home;
    MemorySettingsStore store;
    SettingsStore* liveStore = &store;
    PlatformCapabilities capabilities{true, true};
    qint32* kept = nullptr;
    Autostart* autostart = nullptr;
    int ledShown = 0;
};
