#include "further_details.h"

#include "charge_bands.h"
#include "core/debug_log.h"
#include "core/formatting.h"
#include "core/records.h"
#include "core/regional.h"
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

QString resultText(double value, const RegionalSettings& regional) {
    return datetime::floatToText(value, regional);
}
QString resultText(bool value, const RegionalSettings&) {
    return value ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
}

// The traced lookups share one frame around reading the entry found; only some first
// lines say "Start".
template <typename Read>
auto tracedLookup(const TariffContext& tariff, const QString& DUN, qint32 Duration,
                  const QString& name, bool saysStart, const QString& option, Read read) {
    DebugLog& log = tariff.log;
    log.trace([&] {
        return name + (saysStart ? QStringLiteral(" - Start ") : QStringLiteral(" - ")) + name;
    });
    log.trace([&] { return name + QStringLiteral(" - DUN = ") + DUN; });
    log.trace([&] { return name + QStringLiteral(" - Duration = ") + QString::number(Duration); });
    const auto result = read(findEntry(tariff, DUN, Duration, true, option));
    log.trace([&] {
        return name + QStringLiteral(" - Result = ") + resultText(result, tariff.regional);
    });
    log.trace([&] { return name + QStringLiteral(" - Finish ") + name; });
    return result;
}

double numericLookup(const TariffContext& tariff, const QString& DUN, qint32 Duration,
                     const QString& name, bool saysStart, const QString& option) {
    return tracedLookup(
        tariff, DUN, Duration, name, saysStart, option,
        [&](const typCostingFurtherDetailInformation* entry) { return numberOf(tariff, entry); });
}

bool yesNoLookup(const TariffContext& tariff, const QString& DUN, qint32 Duration,
                 const QString& name, const QString& option) {
    return tracedLookup(tariff, DUN, Duration, name, true, option,
                        [](const typCostingFurtherDetailInformation* entry) {
                            return entry && entry->Value == FurtherDetailOption::Yes;
                        });
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
