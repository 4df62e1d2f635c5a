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
#include "monitor/tfrm_digital.h"

#include <QDir>
#include <QTemporaryDir>

#include <memory>

// One main window over test doubles: an in-memory settings key, a dial-up service and
// byte counters set by hand, a settable clock, scripted message boxes and a program
// folder of its own. The stored settings skip the about window and the reset question.
struct MonitorHarness {
    MonitorHarness() {
        store.setValue({}, QStringLiteral("Version"), QStringLiteral("1.17"));
        store.setValue({}, QStringLiteral("Show_Splash"), QStringLiteral("0"));
    }

    MonitorServices services() {
        return MonitorServices{store,
                               dialUp,
                               counters,
                               clock,
                               prompts,
                               regional,
                               debugLog,
                               settings,
                               lists,
                               names,
                               home.path(),
                               [](int) {},
                               [this](int code) { terminatedWith = code; }};
    }

    TfrmDigital& start() {
        window = std::make_unique<TfrmDigital>(services());
        window->setCallJournal(&journal);
        window->FormCreate();
        return *window;
    }

    void check() { window->timerCheckerTimer(); }

    QString stored(const QString& name) const {
        return store.value({}, name).value_or(QStringLiteral("<missing>"));
    }

    QString logPath() const { return calllog::logFilePath(QDir(home.path()).filePath("Logs")); }
    QList<typCallLogInformation> log() const { return calllog::readAll(logPath()); }

    // A charge band for every connectoid, all day, every day, at this price per minute.
    void chargeEveryMinute(const QString& perMinute) {
        const QString band = QStringLiteral("Costing1");
        store.setValue({}, QStringLiteral("Number_Of_Costings"), QStringLiteral("1"));
        store.setValue(band, QStringLiteral("Connectoid_Name"), QStringLiteral("Default"));
        store.setValue(band, QStringLiteral("StartTime"), QStringLiteral("0"));
        store.setValue(band, QStringLiteral("FinishTime"), QStringLiteral("0.99999"));
        store.setValue(band, QStringLiteral("Days"), QStringLiteral("127"));
        store.setValue(band, QStringLiteral("ChargePerMin"), perMinute);
    }

    void furtherDetail(const QString& option, const QString& value) {
        const QString detail = QStringLiteral("Costing_Further_Details1");
        store.setValue({}, QStringLiteral("Number_Of_Costing_Further_Details"),
                       QStringLiteral("1"));
        store.setValue(detail, QStringLiteral("Connectoid_Name"), QStringLiteral("Default"));
        store.setValue(detail, QStringLiteral("Option"), option);
        store.setValue(detail, QStringLiteral("Value"), value);
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
    int terminatedWith = -1;
    QStringList journal;
    std::unique_ptr<TfrmDigital> window;
};
