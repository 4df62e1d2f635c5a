#include "calllog/call_log_file.h"
#include "real_shaped_log.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

QString writeLog(const QTemporaryDir& dir, int records) {
    static const QList<typCallLogInformation> calls = benchlog::longTimeUsersCalls();
    const QString path = dir.filePath("log070.bin");
    benchlog::writeLog(path, calls.mid(0, records));
    return path;
}

void BM_ReadWholeLog(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = writeLog(dir, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const auto records = calllog::readAll(path);
        benchmark::DoNotOptimize(records.constData());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReadWholeLog)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_CompactLog(benchmark::State& state) {
    QTemporaryDir dir;
    for (auto _ : state) {
        state.PauseTiming();
        writeLog(dir, static_cast<int>(state.range(0)));
        state.ResumeTiming();
        benchmark::DoNotOptimize(CompactCallLog(dir.path()));
    }
}
BENCHMARK(BM_CompactLog)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

BENCHMARK_MAIN();
