#pragma once

// A main window built offscreen from test doubles, for the display and data-rate tests. The
// creation steps (FormCreate) are not run: each test lays the window out itself.

#include "fake_dial_up_service.h"

#include "core/connectoid_names.h"
#include "core/debug_log.h"
#include "core/lists.h"
#include "core/regional.h"
#include "core/settings.h"
#include "manual_clock.h"
#include "memory_settings_store.h"
#include "monitor/tfrm_digital.h"
#include "platform/simulated_dial_up.h"
#include "scripted_prompts.h"
#include "widgets/lcd_label.h"

#include <QTemporaryDir>

#include <memory>

struct DigitalWindowParts {
    QTemporaryDir folder;
    MemorySettingsStore store;
    SimulatedDialUp dialUp{folder.filePath(QStringLiteral("vorn-sim.json"))};
    FakeByteCounters fakeCounters;
    ByteCounters* counters = &fakeCounters;
    ManualClock clock;
    ScriptedPrompts prompts;
    RegionalSettings regional = RegionalSettings::english();
    DebugLog debugLog{clock};
    typSettings settings;
    typLists lists;
    ConnectoidNameTable connectoidNames;
    QPoint cursor{5000, 5000}; // far from everything
    QRect work{0, 0, 1024, 740};

    std::unique_ptr<TfrmDigital> makeWindow() {
        MonitorServices services{store,
                                 dialUp,
                                 *counters,
                                 clock,
                                 prompts,
                                 regional,
                                 debugLog,
                                 settings,
                                 lists,
                                 connectoidNames,
                                 folder.path(),
                                 [](int) {},
                                 [](int) {},
                                 [this] { return cursor; },
                                 [this] { return work; }};
        auto window = std::make_unique<TfrmDigital>(services);
        window->lcdDigital->move(window->lcdDigital->x(), TfrmDigital::FrameWidth);
        window->resize(window->width(), TfrmDigital::DigitalTextHeight(settings.Character_Size,
                                                                       settings.Pixel_Spacing) +
                                            2 * TfrmDigital::FrameWidth);
        window->LayoutDigitalDisplay();
        return window;
    }
};
