#pragma once

// Every service a program window takes, as a test double: what the window tests share.

#include "fake_dial_up_service.h"
#include "fake_shell.h"
#include "manual_clock.h"
#include "recording_help.h"
#include "recording_printer.h"
#include "scripted_dialogs.h"
#include "scripted_prompts.h"

#include "core/connectoid_names.h"
#include "core/debug_log.h"
#include "core/lists.h"
#include "core/regional.h"
#include "core/settings.h"
#include "widgets/window_services.h"

struct WindowDoubles {
    // The services over a settings store and program folder of the test's own.
    WindowServices windowServices(SettingsStore& store, const QString& programFolder,
                                  PlatformCapabilities capabilities = {true, true}) {
        return windowServices(store, programFolder, capabilities, printer);
    }
    WindowServices windowServices(SettingsStore& store, const QString& programFolder,
                                  PlatformCapabilities capabilities, ReportPrinter& reports) {
        return {store,    prompts,  dialogs, reports, help,   shell,         clock,       regional,
                debugLog, settings, lists,   names,   dialUp, programFolder, capabilities};
    }

    ScriptedPrompts prompts;
    ScriptedDialogs dialogs;
    RecordingPrinter printer;
    RecordingHelp help;
    FakeShell shell;
    ManualClock clock;
    DebugLog debugLog{clock};
    RegionalSettings regional = RegionalSettings::english();
    typSettings settings;
    typLists lists;
    ConnectoidNameTable names;
    FakeDialUpService dialUp;
};
