#include "charge_bands.h"

#include "core/debug_log.h"
#include "core/regional.h"
#include "tariff_context.h"

#include <cmath>

namespace tariff {

Moment splitMoment(TDateTime moment) {
    Moment m;
    if (!(std::abs(moment) < LatestMoment)) {
        m.time = std::nan("");
        return m;
    }
    const double day = std::floor(moment);
    m.time = moment - day;
    m.dayBit = 1 << (datetime::dayOfWeek(day) - 1);
    return m;
}

} // namespace tariff

namespace {

// The trace shows a moment at midnight by its date alone.
QString momentText(TDateTime moment, const RegionalSettings& regional) {
    if (!(std::abs(moment) < tariff::LatestMoment))
        return datetime::floatToText(moment, regional);
    if (moment == std::floor(moment))
        return datetime::shortDateText(moment, regional);
    return datetime::dateTimeText(moment, regional);
}

void traceArguments(DebugLog& log, const QString& name, const QString& DUN, qint32 Duration,
                    TDateTime TheTime, const RegionalSettings& regional) {
    log.trace([&] { return name + QStringLiteral(" - Start ") + name; });
    log.trace(
        [&] { return name + QStringLiteral(" - TheTime = ") + momentText(TheTime, regional); });
    log.trace([&] { return name + QStringLiteral(" - Duration = ") + QString::number(Duration); });
    log.trace([&] { return name + QStringLiteral(" - DUN = ") + DUN; });
}

} // namespace

bool InLengthWindow(qint32 Duration, qint32 LengthStart, qint32 LengthFinish) {
    return (LengthStart <= Duration && Duration <= LengthFinish) ||
           (LengthStart <= Duration && LengthFinish == 0) ||
           (LengthStart == 0 && LengthFinish == 0);
}

bool BandMatches(const typCostingInformation& band, const QString& DUN, qint32 Duration,
                 const tariff::Moment& moment) {
    return !isFreeSlot(band) &&
           (band.Connectoid_Name == DUN || band.Connectoid_Name == DefaultConnectoid) &&
           (band.Days & moment.dayBit) != 0 &&
           InLengthWindow(Duration, band.Length_Start, band.Length_Finish) &&
           tariff::timeInBand(band.StartTime, band.FinishTime, moment.time);
}

namespace {

// The field of the first matching band, in slot order, where it is not 0: a band that
// matches but grants nothing does not end the search.
template <typename T>
T firstNonZero(const TariffContext& tariff, const QString& DUN, qint32 Duration, TDateTime TheTime,
               T typCostingInformation::*field) {
    const tariff::Moment moment = tariff::splitMoment(TheTime);
    T result = 0;
    for (const typCostingInformation& band : tariff.costings) {
        if (BandMatches(band, DUN, Duration, moment) && (result = band.*field) != 0)
            break;
    }
    return result;
}

} // namespace

double CostOfThisSecond(const TariffContext& tariff, const QString& DUN, qint32 Duration,
                        TDateTime TheTime) {
    static const QString name = QStringLiteral("CostOfThisSecond");
    traceArguments(tariff.log, name, DUN, Duration, TheTime, tariff.regional);

    const double result =
        firstNonZero(tariff, DUN, Duration, TheTime, &typCostingInformation::ChargePerMin) / 60;

    tariff.log.trace([&] {
        return name + QStringLiteral(" - Result = ") +
               datetime::floatToText(result, tariff.regional);
    });
    tariff.log.trace([&] { return name + QStringLiteral(" - Finish ") + name; });
    return result;
}

qint32 GetFreeMinutes(const TariffContext& tariff, const QString& DUN, qint32 Duration,
                      TDateTime TheTime) {
    static const QString name = QStringLiteral("GetFreeMinutes");
    traceArguments(tariff.log, name, DUN, Duration, TheTime, tariff.regional);

    const qint32 result =
        firstNonZero(tariff, DUN, Duration, TheTime, &typCostingInformation::FreeMinutes);

    tariff.log.trace(
        [&] { return name + QStringLiteral(" - Result = ") + QString::number(result); });
    tariff.log.trace([&] { return name + QStringLiteral(" - Finish ") + name; });
    return result;
}
