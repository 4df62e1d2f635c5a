#include "further_details.h"

#include "charge_bands.h"
#include "core/debug_log.h"
#include "core/formatting.h"
#include "core/records.h"
#include "tariff_context.h"

#include <cmath>

namespace {

const typCostingFurtherDetailInformation* findEntry(const TariffContext& tariff, const QString& DUN,
                                                    qint32 Duration, bool useLengthWindow,
                                                    const QString& option) {
    for (const typCostingFurtherDetailInformation& entry : tariff.furtherDetails) {
        if (isFreeSlot(entry))
            break;
        if (entry.Connectoid_Name != DUN && entry.Connectoid_Name != DefaultConnectoid)
            continue;
        if (useLengthWindow && !InLengthWindow(Duration, entry.Length_Start, entry.Length_Finish))
            continue;
        if (entry.Option == option)
            return &entry;
    }
    return nullptr;
}

double numberOf(const TariffContext& tariff, const typCostingFurtherDetailInformation* entry) {
    if (!entry || !IsValidNumber(entry->Value, tariff.regional))
        return 0;
    const double value = ReadFloatSetting(entry->Value, tariff.regional, 0.0);
    return std::isfinite(value) ? value : 0.0;
}

// The traced lookups share one shape; only some first lines say "Start".
double numericLookup(const TariffContext& tariff, const QString& DUN, qint32 Duration,
                     const QString& name, bool saysStart, const QString& option) {
    DebugLog& log = tariff.log;
    log.trace([&] {
        return name + (saysStart ? QStringLiteral(" - Start ") : QStringLiteral(" - ")) + name;
    });
    log.trace([&] { return name + QStringLiteral(" - DUN = ") + DUN; });
    log.trace([&] { return name + QStringLiteral(" - Duration = ") + QString::number(Duration); });
    const double result = numberOf(tariff, findEntry(tariff, DUN, Duration, true, option));
    log.trace([&] {
        return name + QStringLiteral(" - Result = ") +
               datetime::floatToText(result, tariff.regional);
    });
    log.trace([&] { return name + QStringLiteral(" - Finish ") + name; });
    return result;
}

bool yesNoLookup(const TariffContext& tariff, const QString& DUN, qint32 Duration,
                 const QString& name, const QString& option) {
    DebugLog& log = tariff.log;
    log.trace([&] { return name + QStringLiteral(" - Start ") + name; });
    log.trace([&] { return name + QStringLiteral(" - DUN = ") + DUN; });
    log.trace([&] { return name + QStringLiteral(" - Duration = ") + QString::number(Duration); });
    const typCostingFurtherDetailInformation* entry =
        findEntry(tariff, DUN, Duration, true, option);
    const bool result = entry && entry->Value == FurtherDetailOption::Yes;
    log.trace([&] {
        return name +
               (result ? QStringLiteral(" - Result = TRUE") : QStringLiteral(" - Result = FALSE"));
    });
    log.trace([&] { return name + QStringLiteral(" - Finish ") + name; });
    return result;
}

} // namespace

double GetMinimumCharge(const TariffContext& tariff, const QString& DUN, qint32 Duration) {
    static const QString name = QStringLiteral("GetMinimumCharge");
    return numericLookup(tariff, DUN, Duration, name, true, FurtherDetailOption::MinimumCharge);
}

double GetConnectionCharge(const TariffContext& tariff, const QString& DUN, qint32 Duration) {
    static const QString name = QStringLiteral("GetConnectionCharge");
    return numericLookup(tariff, DUN, Duration, name, false, FurtherDetailOption::ConnectionCharge);
}

double GetMaximumCharge(const TariffContext& tariff, const QString& DUN, qint32 Duration) {
    static const QString name = QStringLiteral("GetMaximumCharge");
    return numericLookup(tariff, DUN, Duration, name, false, FurtherDetailOption::MaximumCharge);
}

double GetDiscount(const TariffContext& tariff, const QString& DUN, qint32 Duration) {
    static const QString name = QStringLiteral("GetDiscount");
    return numericLookup(tariff, DUN, Duration, name, true, FurtherDetailOption::Discount);
}

double GetHandshakingAdjustment(const TariffContext& tariff, const QString& DUN) {
    return numberOf(tariff,
                    findEntry(tariff, DUN, 0, false, FurtherDetailOption::HandshakingAdjustment));
}

bool GetApplyDiscountMinimumCharge(const TariffContext& tariff, const QString& DUN,
                                   qint32 Duration) {
    return yesNoLookup(tariff, DUN, Duration, QStringLiteral("GetApplyDiscountMinimumCharge"),
                       FurtherDetailOption::ApplyDiscountMinimumCharge);
}

bool GetApplyDiscountMaximumCharge(const TariffContext& tariff, const QString& DUN,
                                   qint32 Duration) {
    return yesNoLookup(tariff, DUN, Duration, QStringLiteral("GetApplyDiscountMaximumCharge"),
                       FurtherDetailOption::ApplyDiscountMaximumCharge);
}

bool GetApplyDiscountConnectionCharge(const TariffContext& tariff, const QString& DUN,
                                      qint32 Duration) {
    return yesNoLookup(tariff, DUN, Duration, QStringLiteral("GetApplyDiscountConnectionCharge"),
                       FurtherDetailOption::ApplyDiscountConnectionCharge);
}
