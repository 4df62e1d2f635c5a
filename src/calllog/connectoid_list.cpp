#include "connectoid_list.h"

#include "call_log_record.h"
#include "core/records.h"

#include <algorithm>

namespace {

// Fills unused slots while sorting so that they sort last among plain names.
const QString Filler = QString(ConnectoidNameTable::MaxNameLength, u'z');

} // namespace

ConnectoidNameTable GetConnectoidList(const ConnectoidNameTable& connectoidNames, bool addUnknown,
                                      bool addDefault) {
    ConnectoidNameTable list = connectoidNames;
    constexpr int Last = ConnectoidNameTable::Capacity;
    if (addUnknown && addDefault) {
        list[Last] = UnknownConnectoid;
        list[Last - 1] = DefaultConnectoid;
    } else if (addUnknown) {
        list[Last] = UnknownConnectoid;
    } else if (addDefault) {
        list[Last] = DefaultConnectoid;
    }
    for (QString& slot : list.slots) {
        if (slot.isEmpty())
            slot = Filler;
    }
    // Code-unit order, which for Latin-1 names is the byte order; stable as an exchange
    // sort is.
    std::stable_sort(list.slots.begin(), list.slots.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseSensitive) < 0;
    });
    for (QString& slot : list.slots) {
        if (slot == Filler)
            slot.clear();
    }
    return list;
}

bool IsUnknownConnectoid(const ConnectoidNameTable& connectoidNames, const QString& name,
                         bool addDefault) {
    const ConnectoidNameTable list = GetConnectoidList(connectoidNames, false, addDefault);
    return std::none_of(list.slots.begin(), list.slots.end(),
                        [&](const QString& slot) { return slot == name; });
}

ConnectoidGrouping::ConnectoidGrouping(const ConnectoidNameTable& connectoidNames) {
    const ConnectoidNameTable list = GetConnectoidList(connectoidNames, false, false);
    for (const QString& slot : list.slots) {
        if (slot.isEmpty())
            continue;
        known_.insert(slot);
        // The log holds names in Latin-1 with '?' for anything else: an entry named
        // with such characters must still find its own calls.
        known_.insert(calllog::fieldText(slot, calllog::ConnectoidNameLength));
    }
}

ConnectoidGrouping ConnectoidGrouping::everyStoredName() {
    ConnectoidGrouping grouping;
    grouping.knowsEveryName_ = true;
    return grouping;
}

QString ConnectoidGrouping::displayName(const QString& storedName) const {
    if (storedName.isEmpty() || storedName == UnknownConnectoid ||
        !(knowsEveryName_ || known_.contains(storedName)))
        return UnknownConnectoid;
    return storedName;
}
