#pragma once

// A long-time user's call log, the same on every run: calls of a few minutes to two
// hours, more of them in the evening, over four connectoids, each priced as it was
// recorded under the BT Standard preset; a few inserted, edited, recovered and
// auto-disconnected entries, some adjustments and some removed records. Shared by the
// benchmarks and by the sample that the README shows.

#include "calllog/call_log_record.h"
#include "core/clock.h"
#include "core/debug_log.h"
#include "core/regional.h"
#include "tariff/call_costing.h"
#include "tariff/presets.h"
#include "tariff/tariff_context.h"

#include <QFile>
#include <QList>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <random>

namespace benchlog {

inline const QStringList Connectoids = {QStringLiteral("BT Internet"), QStringLiteral("Home ISP"),
                                        QStringLiteral("Mobile"), QStringLiteral("Work VPN")};

// `count` records spread over the days from `first` to `last` (day counts), in time order.
inline QList<typCallLogInformation> realShapedCalls(int count, TDateTime first, TDateTime last) {
    CostingTable bands;
    CostingFurtherDetailTable details;
    FillPresetBTStandard(bands, details);
    const RegionalSettings regional = RegionalSettings::english();
    SystemClock clock;
    DebugLog log(clock);
    const TariffContext tariff{bands, details, regional, log, false};

    std::mt19937 random(1999);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::exponential_distribution<double> minutes(1.0 / 18);
    std::discrete_distribution<int> connectoid({4, 3, 2, 1});
    const quint32 speeds[] = {50666, 48000, 115200, 0};
    const double days = std::max(1.0, std::floor(last - first));
    QList<typCallLogInformation> calls;
    calls.reserve(count);
    double due = 0;
    for (double day = std::floor(first); calls.size() < count; ++day) {
        due += count / days;
        // Evening-heavy: the times of day lean towards 18:00-23:59.
        QList<double> hours;
        for (; due >= 1 && calls.size() + hours.size() < count; due -= 1)
            hours << 24 * (1 - std::pow(unit(random), 2.0));
        std::sort(hours.begin(), hours.end());
        for (const double hour : hours) {
            typCallLogInformation r;
            const int which = connectoid(random);
            r.Connectoid_Name = Connectoids[which];
            r.User_Name = QStringLiteral("anna");
            r.Start = day + hour / 24;
            const double length = std::min(1 + minutes(random), 120.0) / 1440;
            r.Finish = r.Start + length;
            const double roll = unit(random);
            r.Mode = roll < 0.90   ? ModeAuto
                     : roll < 0.95 ? ModeDisconnected
                     : roll < 0.97 ? ModeRecovered
                     : roll < 0.98 ? ModeInsert
                     : roll < 0.99 ? ModeEdit
                                   : ModeAdjust;
            r.Connect_Speed = speeds[which];
            const double bytesPerSecond =
                which == 2 ? 20000 + unit(random) * 30000 : 3000 + unit(random) * 2500;
            r.Data = static_cast<quint32>(length * 86400 * bytesPerSecond);
            if (r.Mode == ModeAdjust) {
                r.Finish = r.Start;
                r.Data = 0;
                r.Cost_Inc = r.Cost_Exc = -std::round(unit(random) * 100) / 100;
            } else {
                typCallCostInformation cost;
                CalculateCost(tariff, r.Connectoid_Name, cost, r.Start, r.Finish);
                r.Cost_Inc = cost.With_Discount;
                r.Cost_Exc = cost.Without_Discount;
            }
            r.Deleted = unit(random) < 0.02 ? 1 : 0;
            calls.append(r);
        }
    }
    return calls;
}

// Writes the records as a call log file.
inline void writeLog(const QString& path, const QList<typCallLogInformation>& records) {
    QByteArray content;
    content.reserve(records.size() * calllog::RecordSize);
    for (const typCallLogInformation& r : records)
        content += calllog::encodeRecord(r);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(content) != content.size())
        qFatal("cannot write the benchmark log %s", qPrintable(path));
}

// 100 000 calls over twelve years.
inline QList<typCallLogInformation> longTimeUsersCalls() {
    return realShapedCalls(100000, 40909 /* 1 January 2012 */, 45292 /* 1 January 2024 */);
}

} // namespace benchlog
