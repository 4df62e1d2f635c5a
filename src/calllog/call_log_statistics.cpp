#include "call_log_statistics.h"

#include "call_log_record.h"
#include "connectoid_list.h"
#include "core/code_page.h"
#include "core/connectoid_names.h"
#include "core/date_texts.h"
#include "core/records.h"

#include <QHash>

#include <cmath>
#include <limits>

const QString AllConnectoidsItem = QStringLiteral("All");

ConnectoidFilter ConnectoidFilter::fromItem(const QStringList& items, qsizetype index) {
    if (index <= 0 || index >= items.size())
        return all();
    return named(items[index]);
}

QString ConnectoidFilter::caption() const {
    return everyCall ? AllConnectoidsItem : name.left(calllog::ConnectoidNameLength);
}

QStringList connectoidFilterItems(const ConnectoidNameTable& connectoidNames) {
    QStringList items{AllConnectoidsItem};
    for (const QString& name : GetConnectoidList(connectoidNames, true, false).slots) {
        if (!name.isEmpty())
            items << name;
    }
    return items;
}

double CallLogFigures::days() const {
    const double span = std::trunc(latestFinish - earliestStart) + 1;
    return span >= 1 ? span : 1;
}

double CallLogFigures::fullDays() const {
    const double span = std::trunc(latestFinish) - std::trunc(earliestStart) + 1;
    return span >= 1 ? span : 1;
}

CallLogFigures::Projection CallLogFigures::projection(int k) const {
    const double d = days();
    return {totalLength / d * k, totalCostExc / d * k, totalCostInc / d * k,
            static_cast<quint64>(std::trunc(static_cast<double>(totalData) / d * k))};
}

qint64 CallLogFigures::projectedCalls(int k) const {
    double d = std::trunc(latestFinish) - std::trunc(earliestStart);
    if (!(d >= 1))
        d = 1;
    return static_cast<qint64>(std::trunc(static_cast<double>(calls) / d * k));
}

qint64 CallLogFigures::wastedSpacePercent() const {
    return static_cast<qint64>(
        std::trunc(static_cast<double>(removedCount) / static_cast<double>(totalRecords()) * 100));
}

CallLogSelection selectCalls(const CallLogTable& table, const ConnectoidFilter& filter,
                             TDateTime now) {
    CallLogSelection selection;
    CallLogFigures& f = selection.figures;
    f.recordCount = table.recordCount();
    f.removedCount = table.removedCount();

    qint64 wanted = -1;
    if (!filter.everyCall) {
        wanted = table.textIndex(codepage::roundTrip(filter.name, calllog::ConnectoidNameLength));
        if (wanted < 0)
            return selection;
    }

    constexpr double Infinity = std::numeric_limits<double>::infinity();
    double earliest = Infinity;
    double last = -Infinity;
    QHash<int, qsizetype> monthIndex;
    int lastMonthKey = -1;
    qsizetype lastMonth = -1;
    const std::vector<CallLogRow>& rows = table.rows();
    selection.rows.reserve(wanted < 0 ? rows.size() : rows.size() / 4);
    for (size_t i = 0; i < rows.size(); ++i) {
        const CallLogRow& r = rows[i];
        if (wanted >= 0 && table.shownConnectoid(r) != static_cast<quint32>(wanted))
            continue;
        selection.rows.push_back(static_cast<quint32>(i));
        ++f.calls;
        if (r.Mode >= 0 && r.Mode < CallLogFigures::ModeCount)
            ++f.modeCounts[static_cast<size_t>(r.Mode)];
        if (r.Start < earliest)
            earliest = r.Start;
        if (r.Finish > last)
            last = r.Finish;
        f.totalCostInc += r.Cost_Inc;
        f.totalCostExc += r.Cost_Exc;
        f.totalLength += r.Length;
        f.totalData += r.Data;

        datetime::WallClock start;
        if (!datetime::split(r.Start, &start))
            continue; // no date, no month
        const int key = start.year * 12 + start.month - 1;
        if (key != lastMonthKey) {
            lastMonthKey = key;
            const auto found = monthIndex.constFind(key);
            if (found != monthIndex.constEnd()) {
                lastMonth = *found;
            } else {
                lastMonth = f.months.size();
                monthIndex.insert(key, lastMonth);
                f.months.append({start.year, start.month});
            }
        }
        MonthFigures& month = f.months[lastMonth];
        month.length += r.Length;
        month.costExc += r.Cost_Exc;
        month.costInc += r.Cost_Inc;
        month.data += r.Data;
    }

    constexpr double None = std::numeric_limits<double>::quiet_NaN();
    f.lastFinish = last > -Infinity ? last : None;
    f.latestFinish = last;
    if (now > f.latestFinish)
        f.latestFinish = now;
    if (!(f.latestFinish > -Infinity)) // neither a finish nor a clock
        f.latestFinish = earliest < Infinity ? earliest : 0;
    f.earliestStart = earliest < Infinity ? earliest : None;
    return selection;
}
