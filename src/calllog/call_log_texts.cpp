#include "call_log_texts.h"

#include "call_log_record.h"
#include "core/formatting.h"
#include "core/records.h"
#include "core/settings.h"

#include <cmath>

namespace logtexts {
const QString SeparatorRow = QStringLiteral("**************************");
const QString NotApplicable = QStringLiteral("not applicable");
const QString NotKnownData = QStringLiteral("n/a");
} // namespace logtexts

namespace {

void appendTwoDigits(QString& out, qint64 value) {
    out += QLatin1Char(static_cast<char>('0' + value / 10));
    out += QLatin1Char(static_cast<char>('0' + value % 10));
}

QString floatTextOfDate(TDateTime value, const RegionalSettings& regional) {
    return std::isnan(value) ? QString() : datetime::floatToText(value, regional);
}

} // namespace

QString logColumnCaption(LogColumn column) {
    static const QStringList captions = {QStringLiteral("Start"),
                                         QStringLiteral("Finish"),
                                         QStringLiteral("Length"),
                                         QStringLiteral("Cost (exc.)"),
                                         QStringLiteral("Cost (inc.)"),
                                         QStringLiteral("Data"),
                                         QStringLiteral("Mode"),
                                         QStringLiteral("Record_Number"),
                                         QStringLiteral("Cost_Exc_Number"),
                                         QStringLiteral("Cost_Inc_Number"),
                                         QStringLiteral("Data_Number"),
                                         QStringLiteral("Finish_Date"),
                                         QStringLiteral("Connect_Speed"),
                                         QStringLiteral("Connectoid_Name"),
                                         QStringLiteral("User_Name"),
                                         QStringLiteral("Start_Date"),
                                         QStringLiteral("Finish_Date_Value")};
    return captions.value(static_cast<int>(column));
}

QString FormatDuration(double days, const RegionalSettings& regional) {
    if (!std::isfinite(days))
        days = 0;
    double whole = std::floor(std::fabs(days));
    double ms = std::round((std::fabs(days) - whole) * datetime::MillisecondsPerDay);
    if (ms >= datetime::MillisecondsPerDay) {
        whole += 1;
        ms -= datetime::MillisecondsPerDay;
    }
    QString out;
    out.reserve(12);
    if (days < 0 && (whole > 0 || ms > 0))
        out += u'-';
    if (whole < 1e18) {
        const auto d = static_cast<qint64>(whole);
        if (d < 10)
            out += u'0';
        out += QString::number(d);
    } else {
        out += QString::number(whole, 'f', 0);
    }
    const auto msOfDay = static_cast<qint64>(ms);
    const QChar separator = regional.timeSeparator;
    out += separator;
    appendTwoDigits(out, msOfDay / 3600000);
    out += separator;
    appendTwoDigits(out, msOfDay / 60000 % 60);
    out += separator;
    appendTwoDigits(out, msOfDay / 1000 % 60);
    return out;
}

CallLogTexts::CallLogTexts(const RegionalSettings& regional, int decimalPlacesLogDetail,
                           int decimalPlacesLogStatistics, const QLocale& names)
    : regional_(regional), detailPlaces_(decimalPlacesLogDetail),
      statisticsPlaces_(decimalPlacesLogStatistics), dates_(regional, names) {}

CallLogTexts::CallLogTexts(const RegionalSettings& regional, const typSettings& settings,
                           const QLocale& names)
    : CallLogTexts(regional, settings.Decimal_Places_Log_Detail,
                   settings.Decimal_Places_Log_Statistics, names) {}

QString CallLogTexts::DateTimeToFullStr(TDateTime value) const {
    QString text = dates_.dateTime(value);
    if (text.size() == 8)
        text += QStringLiteral(" 00:00:00");
    return text;
}

QString CallLogTexts::detailMoney(double amount) const {
    return FormatMoneyWithSymbol(detailPlaces_, amount, regional_);
}

QString CallLogTexts::statisticsMoney(double amount) const {
    return FormatMoneyWithSymbol(statisticsPlaces_, amount, regional_);
}

QString CallLogTexts::dataSize(quint64 bytes) const {
    return FormatDataSize(statisticsPlaces_, static_cast<qint64>(qMin<quint64>(bytes, INT64_MAX)),
                          regional_);
}

QString CallLogTexts::cell(const CallLogTable& table, const CallLogRow& row,
                           LogColumn column) const {
    switch (column) {
    case LogColumn::Start:
        return DateTimeToFullStr(row.Start);
    case LogColumn::Finish:
        return dates_.longTime(row.Finish);
    case LogColumn::Length:
        return duration(row.Length);
    case LogColumn::CostExc:
        return detailMoney(row.Cost_Exc);
    case LogColumn::CostInc:
        return detailMoney(row.Cost_Inc);
    case LogColumn::Data:
        return row.Data == 0 ? logtexts::NotKnownData : dataSize(row.Data);
    case LogColumn::Mode:
        return callLogModeText(row.Mode);
    case LogColumn::RecordNumber:
        return QString::number(row.Record_Number);
    case LogColumn::CostExcNumber:
        return datetime::floatToText(row.Cost_Exc, regional_);
    case LogColumn::CostIncNumber:
        return datetime::floatToText(row.Cost_Inc, regional_);
    case LogColumn::DataNumber:
        return QString::number(row.Data);
    case LogColumn::FinishDate:
        return DateTimeToFullStr(row.Finish);
    case LogColumn::ConnectSpeed:
        return row.Connect_Speed == 0 ? UnknownConnectoid : QString::number(row.Connect_Speed);
    case LogColumn::ConnectoidName:
        return table.shownConnectoidName(row);
    case LogColumn::UserName: {
        const QString& user = table.text(row.User_Name);
        return user.isEmpty() ? UnknownConnectoid : user;
    }
    case LogColumn::StartDate:
        return floatTextOfDate(row.Start, regional_);
    case LogColumn::FinishDateValue:
        return floatTextOfDate(row.Finish, regional_);
    }
    return {};
}

QList<QStringList> CallLogTexts::statisticsRows(const CallLogFigures& f) const {
    if (f.empty())
        return {};
    const QString length = duration(f.totalLength);
    const QString data = dataSize(f.totalData);
    const QString& na = logtexts::NotApplicable;
    const QString& stars = logtexts::SeparatorRow;
    return {{QStringLiteral("Total (excluding discount)"), length, statisticsMoney(f.totalCostExc),
             data},
            {QStringLiteral("Discount"), na, statisticsMoney(f.discount()), na},
            {stars, stars, stars, stars},
            {QStringLiteral("Total (including discount)"), length, statisticsMoney(f.totalCostInc),
             data}};
}

QList<QStringList> CallLogTexts::headingRows(const CallLogFigures& f) const {
    if (f.empty())
        return {};
    static const QStringList projections = {
        QStringLiteral("Weekly Projection"), QStringLiteral("Monthly Projection"),
        QStringLiteral("Quarterly Projection"), QStringLiteral("Yearly Projection")};
    QList<QStringList> rows;
    rows.reserve(4 + f.months.size());
    for (size_t i = 0; i < CallLogFigures::ProjectionDays.size(); ++i) {
        const CallLogFigures::Projection p = f.projection(CallLogFigures::ProjectionDays[i]);
        rows.append({projections[static_cast<qsizetype>(i)], duration(p.length),
                     statisticsMoney(p.costExc), statisticsMoney(p.costInc), dataSize(p.data)});
    }
    for (const MonthFigures& m : f.months)
        rows.append({dates_.monthYear(m.year, m.month), duration(m.length),
                     statisticsMoney(m.costExc), statisticsMoney(m.costInc), dataSize(m.data)});
    return rows;
}

QList<QStringList> CallLogTexts::otherStatisticsRows(const CallLogFigures& f) const {
    if (f.empty())
        return {};
    const auto count = [](qint64 n) { return QString::number(n); };
    const double seconds = f.totalLength * 86400;
    return {
        {QStringLiteral("Call Span"),
         dates_.dateTime(f.earliestStart) + QStringLiteral(" -> ") + dates_.dateTime(f.lastFinish)},
        {QStringLiteral("Number Of Full Days"), count(static_cast<qint64>(f.fullDays()))},
        {QStringLiteral("Number Of Calls"), count(f.calls)},
        {QStringLiteral("Average Length Per Call"), duration(f.averageLength())},
        {QStringLiteral("Total Number Of Seconds"), FormatMoney(1, seconds, regional_)},
        {QStringLiteral("Total Number Of Minutes"), FormatMoney(1, seconds / 60, regional_)},
        {QStringLiteral("Total Number Of Hours"), FormatMoney(2, seconds / 3600, regional_)},
        {QStringLiteral("Projected Number Of Calls Per Week"), count(f.projectedCalls(7))},
        {QStringLiteral("Projected Number Of Calls Per Month"), count(f.projectedCalls(30))},
        {QStringLiteral("Projected Number Of Calls Per Quarter"), count(f.projectedCalls(90))},
        {QStringLiteral("Projected Number Of Calls Per Year"), count(f.projectedCalls(365))},
        {QStringLiteral("Average Cost (without discount) Per Call"),
         statisticsMoney(f.averageCostExc())},
        {QStringLiteral("Average Cost (with discount) Per Call"),
         statisticsMoney(f.averageCostInc())},
        {QStringLiteral("Average Data Transferred Per Call"), dataSize(f.averageData())},
        {QStringLiteral("Number Of Automatic Log Entries"), count(f.modeCounts[ModeAuto])},
        {QStringLiteral("Number Of Log Entries Inserted"), count(f.modeCounts[ModeInsert])},
        {QStringLiteral("Number Of Log Entries Edited"), count(f.modeCounts[ModeEdit])},
        {QStringLiteral("Number Of Adjustments"), count(f.modeCounts[ModeAdjust])},
        {QStringLiteral("Number Of Recovered Log Entries"), count(f.modeCounts[ModeRecovered])},
        {QStringLiteral("Number Of Auto Disconnected Log Entries"),
         count(f.modeCounts[ModeDisconnected])},
        {QStringLiteral("Number Of Deleted Log Entries"), count(f.removedCount)},
        {QStringLiteral("Total Number Of Log Entries"), count(f.totalRecords())},
        {QStringLiteral("Wasted Space"), count(f.wastedSpacePercent()) + u'%'},
    };
}
