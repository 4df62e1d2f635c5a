#include "repricing.h"

#include "calllog/call_log_record.h"
#include "core/clock.h"
#include "core/debug_log.h"
#include "core/lists.h"
#include "core/settings.h"
#include "tariff/call_costing.h"
#include "tariff/presets.h"
#include "tariff/tariff_context.h"

#include <QHash>

namespace {

// The preset keys, by the menu item they come from.
const QHash<QString, QString>& presetKeys() {
    static const QHash<QString, QString> keys = {
        {QStringLiteral("mnuStandard"), QStringLiteral("bt-standard")},
        {QStringLiteral("mnuFF"), QStringLiteral("bt-ff")},
        {QStringLiteral("mnuFFBF"), QStringLiteral("bt-ff-bf")},
        {QStringLiteral("mnuFFPrem"), QStringLiteral("bt-ff-prem")},
        {QStringLiteral("mnuFFBFPrem"), QStringLiteral("bt-ff-bf-prem")},
        {QStringLiteral("mnuItaliaStandard"), QStringLiteral("italia-standard")},
        {QStringLiteral("mnuItaliaDiscounted"), QStringLiteral("italia-discounted")},
    };
    return keys;
}

const QString CurrentKey = QStringLiteral("current");

// The log stores names cut to 20 characters in its code page; bands and further details
// carry the dial-up entry's own name. A stored name prices under the entry it came from.
QString pricingName(const QString& stored, const Tariff& tariff) {
    const auto matches = [&stored](const QString& name) {
        return !name.isEmpty() && name != stored &&
               calllog::fieldText(name, calllog::ConnectoidNameLength) == stored;
    };
    for (const typCostingInformation& band : tariff.bands)
        if (!isFreeSlot(band) && matches(band.Connectoid_Name))
            return band.Connectoid_Name;
    for (const typCostingFurtherDetailInformation& detail : tariff.details)
        if (!isFreeSlot(detail) && matches(detail.Connectoid_Name))
            return detail.Connectoid_Name;
    return stored;
}

} // namespace

QStringList tariffKeys() {
    QStringList keys{CurrentKey};
    for (const TariffPreset& preset : TariffPresets())
        keys << presetKeys().value(preset.ObjectName);
    return keys;
}

QList<Tariff> presetTariffs() {
    QList<Tariff> tariffs;
    for (const TariffPreset& preset : TariffPresets()) {
        Tariff t;
        t.key = presetKeys().value(preset.ObjectName);
        t.name = preset.Submenu + QStringLiteral(": ") + preset.Item;
        preset.Fill(t.bands, t.details);
        tariffs.append(t);
    }
    return tariffs;
}

std::optional<Tariff> findTariff(const QString& key, const typSettings& settings,
                                 const typLists& lists) {
    if (key == CurrentKey)
        return Tariff{CurrentKey, QStringLiteral("Your charge bands"), lists.Costings,
                      lists.CostingFurtherDetails, settings.No_Charge_Bands};
    for (const Tariff& t : presetTariffs())
        if (t.key == key)
            return t;
    return std::nullopt;
}

qsizetype RepricedCalls::cheapest() const {
    qsizetype best = -1;
    for (qsizetype t = 0; t < tariffCount; ++t)
        if (best < 0 || totals[static_cast<size_t>(t)].inc < totals[static_cast<size_t>(best)].inc)
            best = t;
    return best;
}

RepricedCalls reprice(const CallLogTable& table, const std::vector<quint32>& rows,
                      const QList<Tariff>& tariffs, const RegionalSettings& regional) {
    RepricedCalls result;
    result.rows = rows;
    result.tariffCount = tariffs.size();
    result.costs.resize(rows.size() * static_cast<size_t>(tariffs.size()));
    result.totals.resize(static_cast<size_t>(tariffs.size()));

    SystemClock clock;
    DebugLog quiet(clock); // off: nothing is traced
    for (qsizetype t = 0; t < tariffs.size(); ++t) {
        const Tariff& tariff = tariffs[t];
        const TariffContext context{tariff.bands, tariff.details, regional, quiet,
                                    tariff.noChargeBands};
        QHash<quint32, QString> names; // by the stored name's text index
        RepricedCalls::Amounts& total = result.totals[static_cast<size_t>(t)];
        for (size_t i = 0; i < rows.size(); ++i) {
            const CallLogRow& row = table.rows()[rows[i]];
            RepricedCalls::Amounts& amounts =
                result.costs[i * static_cast<size_t>(tariffs.size()) + static_cast<size_t>(t)];
            if (row.Mode == ModeAdjust) {
                amounts = {row.Cost_Inc, row.Cost_Exc};
            } else {
                auto name = names.constFind(row.Connectoid);
                if (name == names.constEnd())
                    name = names.insert(row.Connectoid,
                                        pricingName(table.text(row.Connectoid), tariff));
                typCallCostInformation cost;
                CalculateCost(context, *name, cost, row.Start, row.Finish);
                amounts = {cost.With_Discount, cost.Without_Discount};
            }
            total.inc += amounts.inc;
            total.exc += amounts.exc;
        }
    }
    for (const quint32 r : rows) {
        result.recorded.inc += table.rows()[r].Cost_Inc;
        result.recorded.exc += table.rows()[r].Cost_Exc;
    }
    return result;
}
