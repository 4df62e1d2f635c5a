// Repricing a running call: the main window prices the whole call again every two
// seconds, and the call log accepts calls of up to five days. The floor for any sum taken
// second by second is a bare loop adding one constant as many times; the run ends with
// the ratio of each call to that floor.

#include "core/clock.h"
#include "core/debug_log.h"
#include "core/regional.h"
#include "tariff/call_costing.h"
#include "tariff/charge_bands.h"
#include "tariff/further_details.h"
#include "tariff/tariff_context.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

const QString Connectoid = QStringLiteral("MyISP");

struct Tables {
    CostingTable bands;
    CostingFurtherDetailTable details;
    RegionalSettings regional = RegionalSettings::english();
    SystemClock clock;
    DebugLog log{clock};

    TariffContext tariff() { return {bands, details, regional, log, false}; }

    // 75 bands, specific ones before "Default" ones as they are saved. Most never or seldom
    // match this call: other connectoids, other days, length windows, narrow windows and
    // zero charges stand before the bands that price most of the day.
    Tables() {
        clearTable(bands);
        int slot = 1;
        auto add = [&](const QString& name, qint32 days, double start, double finish, double charge,
                       qint32 lengthStart = 0, qint32 lengthFinish = 0) {
            bands[slot++] = {name, start, finish, lengthStart, lengthFinish, days, charge, 0};
        };
        for (int i = 0; i < 20; ++i)
            add(QStringLiteral("Other%1").arg(i), 127, TimeOfDay(0, 0, 0), TimeOfDay(23, 59, 59),
                0.05);
        for (int i = 0; i < 10; ++i)
            add(Connectoid, 127, TimeOfDay(0, 0, 0), TimeOfDay(23, 59, 59), 0.07, 0, 60 + i);
        for (int i = 0; i < 10; ++i)
            add(Connectoid, 1 << (i % 7), TimeOfDay(i, 30, 0), TimeOfDay(i, 44, 59), 0.03);
        for (int i = 0; i < 10; ++i)
            add(Connectoid, 127, TimeOfDay(8 + i, 0, 0), TimeOfDay(8 + i, 59, 59), 0);
        for (int i = 0; i < 10; ++i)
            add(DefaultConnectoid, 65, TimeOfDay(2 * i, 0, 0), TimeOfDay(2 * i + 1, 59, 59), 0.01);
        for (int i = 0; i < 12; ++i)
            add(DefaultConnectoid, 62, TimeOfDay(2 * i, 0, 0), TimeOfDay(2 * i + 1, 59, 59),
                0.01 + i / 1000.0);
        add(DefaultConnectoid, 62, TimeOfDay(18, 0, 0), TimeOfDay(7, 59, 59), 0.0149);
        add(DefaultConnectoid, 127, TimeOfDay(22, 0, 0), TimeOfDay(5, 59, 59), 0.009);
        add(DefaultConnectoid, 127, TimeOfDay(0, 0, 0), TimeOfDay(23, 59, 59), 0.02);

        // 50 further details; this call's own ones come last.
        clearTable(details);
        for (int i = 1; i <= 45; ++i)
            details[i] = {QStringLiteral("Other%1").arg(i % 20), FurtherDetailOption::MinimumCharge,
                          0, 0, QStringLiteral("0.05")};
        details[46] = {DefaultConnectoid, FurtherDetailOption::MinimumCharge, 0, 0, "0.05"};
        details[47] = {DefaultConnectoid, FurtherDetailOption::Discount, 0, 0, "10"};
        details[48] = {DefaultConnectoid, FurtherDetailOption::ConnectionCharge, 0, 0, "0.1"};
        details[49] = {DefaultConnectoid, FurtherDetailOption::MaximumCharge, 0, 0, "10000"};
        details[50] = {DefaultConnectoid, FurtherDetailOption::ApplyDiscountMinimumCharge, 0, 0,
                       "Yes"};
    }
};

// A Tuesday morning, part-way through a second.
const TDateTime CallStart = 45000 + TimeOfDay(9, 41, 7) + 0.371 / 86400;

long pricedSeconds(double days) {
    long n = 0;
    for (double t = CallStart; t <= CallStart + days;)
        t = tariff::nextSecond(t), ++n;
    return n;
}

void BM_CalculateCost(benchmark::State& state, double days) {
    Tables tables;
    const TariffContext tariff = tables.tariff();
    typCallCostInformation result;
    for (auto _ : state) {
        CalculateCost(tariff, Connectoid, result, CallStart, CallStart + days);
        benchmark::DoNotOptimize(result);
    }
    state.counters["seconds"] = static_cast<double>(pricedSeconds(days));
}

// The same call summed with the plain scan of every band for every second.
void BM_PlainScan(benchmark::State& state, double days) {
    Tables tables;
    const TariffContext tariff = tables.tariff();
    const auto Duration = static_cast<qint32>(days * 86400);
    for (auto _ : state) {
        double sum = 0;
        for (double T = CallStart; T <= CallStart + days;) {
            T = tariff::nextSecond(T);
            sum = sum + CostOfThisSecond(tariff, Connectoid, Duration, T);
        }
        benchmark::DoNotOptimize(sum);
    }
}

void BM_BareLoop(benchmark::State& state, double days) {
    const long n = pricedSeconds(days);
    double perSecond = 0.0395 / 60;
    benchmark::DoNotOptimize(perSecond);
    for (auto _ : state) {
        double sum = 0;
        for (long i = 0; i < n; ++i)
            sum = sum + perSecond;
        benchmark::DoNotOptimize(sum);
    }
    state.counters["seconds"] = static_cast<double>(n);
}

constexpr double TwoHours = 2.0 / 24;
constexpr double FiveDays = 5.0;

BENCHMARK_CAPTURE(BM_CalculateCost, two_hours, TwoHours)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_BareLoop, two_hours, TwoHours)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PlainScan, two_hours, TwoHours)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_CalculateCost, five_days, FiveDays)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_BareLoop, five_days, FiveDays)->Unit(benchmark::kMicrosecond);

// The console report, followed by each call's time as a multiple of the bare loop.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                times_[run.benchmark_name()] = run.GetAdjustedCPUTime();
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        for (const char* call : {"two_hours", "five_days"}) {
            const std::string suffix = std::string("/") + call;
            const auto cost = times_.find("BM_CalculateCost" + suffix);
            const auto bare = times_.find("BM_BareLoop" + suffix);
            if (cost == times_.end() || bare == times_.end() || bare->second <= 0)
                continue;
            std::printf("%-10s CalculateCost %.3f ms, bare loop %.3f ms, ratio %.2f\n", call,
                        cost->second / 1000, bare->second / 1000, cost->second / bare->second);
            const auto plain = times_.find("BM_PlainScan" + suffix);
            if (plain != times_.end())
                std::printf("%-10s plain scan %.3f ms, %.1f times CalculateCost\n", call,
                            plain->second / 1000, plain->second / cost->second);
        }
    }

private:
    std::map<std::string, double> times_; // microseconds, as the benchmarks report them
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
