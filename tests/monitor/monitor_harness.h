#pragma once

#include "fake_dial_up_service.h"
#include "manual_clock.h"
#include "memory_settings_store.h"
#include "scripted_prompts.h"

#include "calllog/call_log_file.h"
#include "core/connectoid_names.h"
#include "core/debug_log.h"
#include "core/lists.h"
#include "core/regional.h"
#include "core/settings.h"
#include "monitor/program_windows.h"
#include "monitor/tfrm_digital.h"

#include <QDir>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <vector>

// Program windows that only record that they were opened; whileOpen runs as if from inside
// the open window.
struct RecordingWindows final : ProgramWindows {
    void run(ProgramWindow window) override {
        opened.push_back(window);
        if (whileOpen)
            whileOpen(window);
    }
    std::vector<ProgramWindow> opened;
    std::function<void(ProgramWindow)> whileOpen;
};

// One main window over test doubles: an in-memory settings key, a dial-up service and
// byte counters set by hand, a settable clock, scripted message boxes and a program
// folder of its own. The stored settings skip the about window and the reset question.
struct MonitorHarness {
    MonitorHarness() { set("Version", "1.17").set("Show_Splash", "0"); }

    MonitorHarness& set(const char* name, const QString& value, const QString& section = {}) {
        store.setValue(section, QString::fromLatin1(name), value);
        return *this;
    }

    MonitorServices services() {
        MonitorServices s{store,
                          *dialUpService,
                          *countersService,
                          clock,
                          *answering,
                          regional,
                          debugLog,
                          settings,
                          lists,
                          names,
                          home.path(),
                          [](int) {},
                          [this](int code) { terminatedWith = code; }};
        s.sound = soundService;
        s.shell = shellService;
        s.power = powerService;
        s.windows = &windows;
        s.help = helpService;
        return s;
    }

    TfrmDigital& start() {
        window = std::make_unique<TfrmDigital>(services());
        window->setCallJournal(&journal);
        window->FormCreate();
        return *window;
    }

    void check() { window->timerCheckerTimer(); }

    QString stored(const QString& name) const {
        return store.value({}, name).value_or("<missing>");
    }

    QString logPath() const { return calllog::logFilePath(QDir(home.path()).filePath("Logs")); }
    QList<typCallLogInformation> log() const { return calllog::readAll(logPath()); }

    // A charge band for every connectoid, all day, every day, at this price per minute.
    void chargeEveryMinute(const QString& perMinute) {
        const QString band = "Costing1";
        store.setValue({}, "Number_Of_Costings", "1");
        store.setValue(band, "Connectoid_Name", "Default");
        store.setValue(band, "StartTime", "0");
        store.setValue(band, "FinishTime", "0.99999");
        store.setValue(band, "Days", "127");
        store.setValue(band, "ChargePerMin", perMinute);
    }

    void furtherDetail(const QString& option, const QString& value) {
        const QString detail = "Costing_Further_Details1";
        store.setValue({}, "Number_Of_Costing_Further_Details", "1");
        store.setValue(detail, "Connectoid_Name", "Default");
        store.setValue(detail, "Option", option);
        store.setValue(detail, "Value", value);
    }

    QTemporaryDir home;
    MemorySettingsStore store;
    FakeDialUpService dialUp;
    FakeByteCounters counters;
    DialUpService* dialUpService = &dialUp;
    ByteCounters* countersService = &counters;
    ManualClock clock;
    ScriptedPrompts prompts;
    Prompts* answering = &prompts;
    Sound* soundService = nullptr;
    Shell* shellService = nullptr;
    Power* powerService = nullptr;
    RecordingWindows windows;
    Help* helpService = nullptr;
    RegionalSettings regional = RegionalSettings::english();
    DebugLog debugLog{clock};
    typSettings settings;
    typLists lists;
    ConnectoidNameTable names;
    int terminatedWith = -1;
    QStringList journal;
    std::unique_ptr<TfrmDigital> window;
};
