// The options dialog with full lists (75 charge bands, 50 further details, 60 applications):
// from the tray command to the painted dialog, the first time in the process and after;
// and OK: save, sync, reload and re-apply in the main window.

#include "fake_dial_up_service.h"
#include "gui_benchmarks.h"
#include "window_doubles.h"

#include "config/tfrm_configuration.h"
#include "core/clock.h"
#include "core/connectoid_names.h"
#include "core/debug_log.h"
#include "core/ini_settings_store.h"
#include "core/regional.h"
#include "core/settings_io.h"
#include "monitor/program_windows.h"
#include "monitor/tfrm_digital.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>

#include <functional>

namespace {

// The options window as the program opens it; what happens inside is the benchmark's.
class BenchWindows final : public ProgramWindows {
public:
    void run(ProgramWindow) override { inside(); }
    std::function<void()> inside;
};

// A settings file holding full lists, the real main window over it, and what the dialog
// needs besides.
struct Program {
    Program() : store(dir.filePath("VORN.conf")), debugLog(clock) {
        const QStringList entries = {"Provider A", "Provider B", "Mobile", "Office", "Home"};
        dialUp.entryNames = entries;
        typSettings s;
        typLists l;
        for (int i = 1; i <= CostingTable::Capacity; ++i)
            l.Costings[i] = {entries[i % entries.size()], 0.25, 0.75, 0, 0, 62, 0.01 * i, i % 3};
        for (int i = 1; i <= CostingFurtherDetailTable::Capacity; ++i)
            l.CostingFurtherDetails[i] = {entries[i % entries.size()], "Minimum Charge", 0, 0,
                                          QString::number(i)};
        for (int i = 1; i <= ApplicationTable::Capacity; ++i)
            l.Applications[i] = {entries[i % entries.size()],
                                 QString("/usr/bin/tool%1").arg(i),
                                 "/tmp",
                                 "--quiet",
                                 0,
                                 1,
                                 1,
                                 20};
        SaveOptions(store, s, l, regional);
        store.writeString({}, "Version", "1.17");
        store.writeBoolean({}, "Show_Splash", false);
        store.sync();

        MonitorServices m{store,    dialUp, counters, clock,      prompts,    regional,  debugLog,
                          settings, lists,  names,    dir.path(), [](int) {}, [](int) {}};
        m.shell = &shell;
        m.windows = &windows;
        main = std::make_unique<TfrmDigital>(m);
        main->FormCreate();
    }

    WindowServices services() {
        WindowServices s{store, prompts, dialogs,  printer,    help,
                         shell, clock,   regional, debugLog,   settings,
                         lists, names,   dialUp,   dir.path(), PlatformCapabilities{true, true}};
        s.callInProgress = [this] { return main->state().connected; };
        s.keptCallLengthLimit = [this] { return main->keptCallLengthLimit(); };
        return s;
    }

    QTemporaryDir dir;
    IniSettingsStore store;
    FakeDialUpService dialUp;
    FakeByteCounters counters;
    SystemClock clock;
    AnsweringPrompts prompts{Prompts::Answer::No};
    AnsweringDialogs dialogs;
    NoPrinter printer;
    NoHelp help;
    NoShell shell;
    RegionalSettings regional = RegionalSettings::english();
    DebugLog debugLog;
    typSettings settings;
    typLists lists;
    ConnectoidNameTable names;
    BenchWindows windows;
    std::unique_ptr<TfrmDigital> main;
};

Program* program = nullptr;

// The tray's Options command until the dialog is on the screen, painted; then it closes.
void openOptions(benchmark::State& state) {
    program->windows.inside = [&state] {
        TfrmConfiguration dialog(program->services());
        dialog.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(dialog.grab());
        state.PauseTiming();
        dialog.btnCancelClick();
    };
    for (auto _ : state) {
        program->main->mnuOptionsClick();
        state.ResumeTiming();
    }
}

void BM_OpenOptionsFirstTime(benchmark::State& state) {
    openOptions(state);
}
BENCHMARK(BM_OpenOptionsFirstTime)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_OpenOptionsAgain(benchmark::State& state) {
    openOptions(state);
}
BENCHMARK(BM_OpenOptionsAgain)->Unit(benchmark::kMillisecond);

// OK: the pages read back, the settings and lists saved and synced, then the main window's
// reload and re-apply.
void BM_OptionsOk(benchmark::State& state) {
    program->windows.inside = [&state] {
        state.PauseTiming();
        TfrmConfiguration dialog(program->services());
        dialog.show();
        QApplication::processEvents();
        state.ResumeTiming();
        dialog.btnOKClick();
    };
    for (auto _ : state)
        program->main->mnuOptionsClick();
}
BENCHMARK(BM_OptionsOk)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    preferOffscreenPlatform();
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    Program p;
    program = &p;
    return runBenchmarks(argc, argv);
}
