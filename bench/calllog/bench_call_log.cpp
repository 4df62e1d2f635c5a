#include "calllog/call_log_file.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// A long-time user's log: 100 000 calls over a handful of connectoids.
QString writeLog(const QTemporaryDir& dir, int records) {
    const QString path = dir.filePath("log070.bin");
    const QStringList connectoids{"BT Internet", "Home ISP", "Mobile", "Work VPN"};
    QByteArray content;
    content.reserve(qsizetype(records) * calllog::RecordSize);
    for (int i = 0; i < records; ++i) {
        typCallLogInformation r;
        r.Start = 36000.0 + i * 0.1;
        r.Finish = r.Start + 0.02;
        r.Cost_Inc = 0.25 + i % 7;
        r.Cost_Exc = r.Cost_Inc * 1.1;
        r.Mode = i % 6;
        r.Data = static_cast<quint32>(i) * 1024u;
        r.Connect_Speed = 56000;
        r.Connectoid_Name = connectoids[i % connectoids.size()];
        r.User_Name = QStringLiteral("anna");
        r.Deleted = i % 50 == 0 ? 1 : 0;
        content += calllog::encodeRecord(r);
    }
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size())
        qFatal("cannot write the benchmark log");
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
