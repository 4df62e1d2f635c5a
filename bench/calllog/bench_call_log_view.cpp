// What the log window and vorn-log do with a long-time user's log of 100 000 calls over
// four connectoids: read it once, the statistics pass of a refresh, sorting by each
// column, a painted page of texts, and the detail export.

#include "calllog/call_log_export.h"
#include "calllog/call_log_file.h"
#include "calllog/call_log_sort.h"
#include "calllog/call_log_statistics.h"
#include "calllog/call_log_table.h"
#include "calllog/call_log_texts.h"
#include "calllog/connectoid_list.h"
#include "real_shaped_log.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <malloc.h>

namespace {

struct Fixture {
    QTemporaryDir dir;
    QString logs = dir.filePath("Logs");
    ConnectoidNameTable names;
    ConnectoidGrouping grouping{names};
    CallLogTexts texts{RegionalSettings::english(), 0, 0, QLocale::c()};
    TDateTime now = 45300.5;

    Fixture() {
        QDir().mkpath(logs);
        benchlog::writeLog(calllog::logFilePath(logs), benchlog::longTimeUsersCalls());
        names.fill(benchlog::Connectoids);
        grouping = ConnectoidGrouping(names);
    }
    CallLogTable load() const { return CallLogTable::load(calllog::logFilePath(logs), grouping); }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_LoadLog(benchmark::State& state) {
    Fixture& f = fixture();
    qint64 bytes = 0;
    qint64 heap = 0;
    for (auto _ : state) {
        const size_t before = mallinfo2().uordblks;
        const CallLogTable table = f.load();
        heap = static_cast<qint64>(mallinfo2().uordblks - before);
        bytes = table.memoryUsage();
        benchmark::DoNotOptimize(table.rows().data());
    }
    state.counters["rows_MB"] = static_cast<double>(bytes) / 1e6;
    state.counters["heap_MB"] = static_cast<double>(heap) / 1e6;
}
BENCHMARK(BM_LoadLog)->Unit(benchmark::kMillisecond);

// A refresh with a filter: the rows, every figure and the rows of the three lists.
void BM_StatisticsPass(benchmark::State& state) {
    Fixture& f = fixture();
    const CallLogTable table = f.load();
    const ConnectoidFilter filter =
        state.range(0) == 0 ? ConnectoidFilter::all() : ConnectoidFilter::named("Mobile");
    for (auto _ : state) {
        const CallLogSelection s = selectCalls(table, filter, f.now);
        const auto statistics = f.texts.statisticsRows(s.figures);
        const auto headings = f.texts.headingRows(s.figures);
        const auto other = f.texts.otherStatisticsRows(s.figures);
        benchmark::DoNotOptimize(other.constData());
    }
}
BENCHMARK(BM_StatisticsPass)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("one_connectoid")
    ->Unit(benchmark::kMillisecond);

void BM_SortByColumn(benchmark::State& state) {
    Fixture& f = fixture();
    const CallLogTable table = f.load();
    const std::vector<quint32> fileOrder = selectCalls(table, ConnectoidFilter::all(), f.now).rows;
    const LogSortState sort{static_cast<LogColumn>(state.range(0)), Qt::AscendingOrder};
    for (auto _ : state) {
        std::vector<quint32> rows = fileOrder;
        sortLogRows(table, rows, sort);
        benchmark::DoNotOptimize(rows.data());
    }
    state.SetLabel(logColumnCaption(sort.column).toStdString());
}
BENCHMARK(BM_SortByColumn)->DenseRange(0, VisibleLogColumnCount - 1)->Unit(benchmark::kMillisecond);

// The texts of one painted page of the detail list: 40 rows, every column.
void BM_PageOfTexts(benchmark::State& state) {
    Fixture& f = fixture();
    const CallLogTable table = f.load();
    for (auto _ : state) {
        for (int r = 0; r < 40; ++r)
            for (int c = 0; c < LogColumnCount; ++c)
                benchmark::DoNotOptimize(
                    f.texts.cell(table, table.rows()[static_cast<size_t>(r)], LogColumn(c)));
    }
}
BENCHMARK(BM_PageOfTexts)->Unit(benchmark::kMicrosecond);

// Reading the log afresh and writing the export of every call.
void BM_DetailExport(benchmark::State& state) {
    Fixture& f = fixture();
    const QString target = f.dir.filePath("vorn export detail.txt");
    for (auto _ : state) {
        const ExportResult r =
            exportDetail(f.logs, target, ConnectoidFilter::all(), f.grouping, f.texts);
        if (!r.ok())
            state.SkipWithError(r.message.toStdString().c_str());
    }
    state.counters["file_MB"] = static_cast<double>(QFileInfo(target).size()) / 1e6;
}
BENCHMARK(BM_DetailExport)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
