// The log window over a long-time user's log of 100 000 calls: from the tray command to the
// first painted page, the same after a filter change and after an edit, a sort by each
// column, the memory the open window holds, and the detail report printed into a PDF
// through the program's report printer (with its progress box).

#include "fake_dial_up_service.h"
#include "gui_benchmarks.h"
#include "real_shaped_log.h"
#include "window_doubles.h"

#include "app/qt_report_printer.h"
#include "calllog/call_log_file.h"
#include "calllog/tfrm_log_gui.h"
#include "core/clock.h"
#include "core/connectoid_names.h"
#include "core/debug_log.h"
#include "core/lists.h"
#include "core/map_settings_store.h"
#include "core/program_paths.h"
#include "core/regional.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QTreeView>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <malloc.h>

namespace {

struct Program {
    QTemporaryDir dir;
    MapSettingsStore store;
    AnsweringPrompts prompts{Prompts::Answer::Yes}; // a Remove goes through, a print is wanted
    AnsweringDialogs dialogs;
    QtReportPrinter printer{dialogs};
    NoHelp help;
    NoShell shell;
    SystemClock clock;
    RegionalSettings regional = RegionalSettings::english();
    DebugLog debugLog{clock};
    typSettings settings;
    typLists lists;
    ConnectoidNameTable names;
    FakeDialUpService dialUp;
    QByteArray log;

    Program() {
        QDir().mkpath(logsFolderOf(dir.path()));
        const QList<typCallLogInformation> calls = benchlog::longTimeUsersCalls();
        for (const typCallLogInformation& r : calls)
            log += calllog::encodeRecord(r);
        restoreLog();
        dialUp.entryNames = benchlog::Connectoids;
        printer.hasPrinters = [] { return false; };
        dialogs.file = dir.filePath("detail.pdf");
    }
    void restoreLog() const {
        QFile f(calllog::logFilePath(logsFolderOf(dir.path())));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(log) != log.size())
            qFatal("cannot write the benchmark log");
    }
    std::unique_ptr<TfrmLogGUI> open() {
        auto window = std::make_unique<TfrmLogGUI>(WindowServices{store,
                                                                  prompts,
                                                                  dialogs,
                                                                  printer,
                                                                  help,
                                                                  shell,
                                                                  clock,
                                                                  regional,
                                                                  debugLog,
                                                                  settings,
                                                                  lists,
                                                                  names,
                                                                  dialUp,
                                                                  dir.path(),
                                                                  {true, true}});
        window->show();
        paint(*window);
        return window;
    }
    static QTreeView* detail(TfrmLogGUI& w) { return w.findChild<QTreeView*>("lstvLog"); }
    // The page the user sees, painted now.
    static void paint(TfrmLogGUI& w) {
        QCoreApplication::processEvents();
        detail(w)->viewport()->repaint();
    }
};

Program& program() {
    static Program p;
    return p;
}

void BM_OpenToFirstPage(benchmark::State& state) {
    Program& p = program();
    size_t heap = 0;
    for (auto _ : state) {
        const size_t before = mallinfo2().uordblks;
        std::unique_ptr<TfrmLogGUI> window = p.open();
        state.PauseTiming();
        heap = mallinfo2().uordblks - before;
        window.reset();
        state.ResumeTiming();
    }
    state.counters["window_heap_MB"] = static_cast<double>(heap) / 1e6;
}
BENCHMARK(BM_OpenToFirstPage)->Unit(benchmark::kMillisecond);

// A filter chosen in the list: 0 goes back to "All", 1 chooses one connectoid.
void BM_FilterChange(benchmark::State& state) {
    Program& p = program();
    std::unique_ptr<TfrmLogGUI> window = p.open();
    auto* filter = window->findChild<QComboBox*>("cboConnectoidMain");
    const int wanted = state.range(0) == 0 ? 0 : filter->findText("Mobile");
    const int other = wanted == 0 ? filter->findText("Mobile") : 0;
    for (auto _ : state) {
        state.PauseTiming();
        filter->setCurrentIndex(other);
        Q_EMIT filter->activated(other);
        state.ResumeTiming();
        filter->setCurrentIndex(wanted);
        Q_EMIT filter->activated(wanted);
        Program::paint(*window);
    }
    state.SetLabel(state.range(0) == 0 ? "to All" : "to Mobile");
}
BENCHMARK(BM_FilterChange)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Remove the top row (its question answered Yes), which refreshes the window.
void BM_EditAndRefresh(benchmark::State& state) {
    Program& p = program();
    std::unique_ptr<TfrmLogGUI> window = p.open();
    QTreeView* list = Program::detail(*window);
    for (auto _ : state) {
        state.PauseTiming();
        list->clearSelection();
        list->selectionModel()->select(list->model()->index(0, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
        state.ResumeTiming();
        window->mnuRemoveClick();
        Program::paint(*window);
    }
    window.reset();
    p.restoreLog();
}
BENCHMARK(BM_EditAndRefresh)->Unit(benchmark::kMillisecond);

// A click on a column header: sorted by it, the page painted again.
void BM_SortInWindow(benchmark::State& state) {
    Program& p = program();
    std::unique_ptr<TfrmLogGUI> window = p.open();
    QHeaderView* header = Program::detail(*window)->header();
    const int column = static_cast<int>(state.range(0));
    for (auto _ : state) {
        Q_EMIT header->sectionClicked(column);
        Program::paint(*window);
    }
    state.SetLabel(logColumnCaption(static_cast<LogColumn>(column)).toStdString());
}
BENCHMARK(BM_SortInWindow)->DenseRange(0, VisibleLogColumnCount - 1)->Unit(benchmark::kMillisecond);

// The detail report of every call through the program's report printer into a PDF.
void BM_PrintDetailToPdf(benchmark::State& state) {
    Program& p = program();
    std::unique_ptr<TfrmLogGUI> window = p.open();
    for (auto _ : state)
        window->mnuPrintDetailClick();
    state.counters["pdf_MB"] = static_cast<double>(QFileInfo(*p.dialogs.file).size()) / 1e6;
}
BENCHMARK(BM_PrintDetailToPdf)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv) {
    preferOffscreenPlatform();
    // The offscreen platform cannot raise a window and says so each time.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& message) {
        if (!message.startsWith(QStringLiteral("This plugin does not support")))
            std::fprintf(stderr, "%s\n", qPrintable(message));
    });
    QApplication app(argc, argv);
    return runBenchmarks(argc, argv);
}
