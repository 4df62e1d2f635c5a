#pragma once

#include "calllog/call_log_table.h"
#include "core/records.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

struct RegionalSettings;
struct typSettings;
struct typLists;

// A set of charge bands and further details that calls can be priced under: the user's
// own ("current") or one of the built-in presets.
struct Tariff {
    QString key;  // what --preset takes: "current", "bt-standard", …
    QString name; // what the totals show
    CostingTable bands;
    CostingFurtherDetailTable details;
    bool noChargeBands = false;
};

// "current", then the presets in the options dialog's menu order.
QStringList tariffKeys();
// The built-in presets, in menu order.
QList<Tariff> presetTariffs();
// The tariff of that key, or nullopt when there is none.
std::optional<Tariff> findTariff(const QString& key, const typSettings& settings,
                                 const typLists& lists);

// Calls priced again under each tariff, beside what was recorded. Adjustments keep their
// recorded amounts under every tariff.
struct RepricedCalls {
    struct Amounts {
        double inc = 0; // with discount
        double exc = 0; // without discount
    };

    std::vector<quint32> rows;   // indexes into the table's rows, as given
    std::vector<Amounts> costs;  // rows.size() × tariff count, one row after another
    Amounts recorded;            // the recorded totals
    std::vector<Amounts> totals; // per tariff
    qsizetype tariffCount = 0;

    const Amounts& cost(size_t row, qsizetype tariff) const {
        return costs[row * static_cast<size_t>(tariffCount) + static_cast<size_t>(tariff)];
    }
    // The tariff with the lowest total with discount (the first of equals); -1 for none.
    qsizetype cheapest() const;
};

RepricedCalls reprice(const CallLogTable& table, const std::vector<quint32>& rows,
                      const QList<Tariff>& tariffs, const RegionalSettings& regional);
