#pragma once

// A main window over test doubles for the tray, sound and mail tests; the sound and the
// shell only record what they were asked.

#include "fake_dial_up_service.h"
#include "manual_clock.h"
#include "memory_settings_store.h"
#include "recording_sound.h"
#include "scripted_prompts.h"

#include "core/connectoid_names.h"
#include "core/debug_log.h"
#include "core/lists.h"
#include "core/regional.h"
#include "core/settings.h"
#include "monitor/tfrm_digital.h"
#include "platform/shell.h"

#include <QTemporaryDir>

#include <memory>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

class RecordingShell final : public Shell {
public:
    int openDocument(const QString& file, const QString& parameters) override {
        opened << file + u'|' + parameters;
        return Shell::Opened;
    }
    StartedProgram startProgram(const QString&, const QStringList&, const QString&,
                                WindowState) override {
        return {};
    }
    bool terminate(qint64) override { return false; }

    QStringList opened; // "file|parameters"
};

struct TrayFixture {
    // Stored settings: no about window and no reset question at start.
    TrayFixture() { set("Version", "1.17").set("Show_Splash", "0"); }

    TrayFixture& set(const char* name, const QString& value, const QString& section = {}) {
        store.setValue(section, QString::fromLatin1(name), value);
        return *this;
    }

    TfrmDigital& start() {
        MonitorServices services{store,       dialUp,     counters,  clock, prompts,
                                 regional,    debugLog,   settings,  lists, names,
                                 home.path(), [](int) {}, [](int) {}};
        services.sound = &sound;
        services.shell = &shell;
        window = std::make_unique<TfrmDigital>(services);
        window->FormCreate();
        return *window;
    }

    // A call that the checker has seen come up, and seen end.
    void callUp() {
        dialUp.dial(QStringLiteral("Demo"));
        window->timerCheckerTimer();
    }
    void callDown() {
        dialUp.active->clear();
        window->timerCheckerTimer();
    }

    void storeAccount(int slot, const QString& user, bool included) {
        const QString section = QStringLiteral("POP3") + QString::number(slot);
        set("Number_Of_POP3", QString::number(slot));
        set("Server", QStringLiteral("127.0.0.1"), section).set("User_Name", user, section);
        set("Password", ScramblePassword(QStringLiteral("secret")), section);
        set("Include_In_Startup_Check", included ? "1" : "0", section);
    }

    QTemporaryDir home;
    MemorySettingsStore store;
    FakeDialUpService dialUp;
    FakeByteCounters counters;
    ManualClock clock;
    ScriptedPrompts prompts;
    RegionalSettings regional = RegionalSettings::english();
    DebugLog debugLog{clock};
    typSettings settings;
    typLists lists;
    ConnectoidNameTable names;
    RecordingSound sound;
    RecordingShell shell;
    std::unique_ptr<TfrmDigital> window;
};
