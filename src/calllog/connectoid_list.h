#pragma once

#include "core/connectoid_names.h"

#include <QSet>
#include <QString>

// The machine's dial-up entry names as the lists and the log use them: sorted, with
// the pseudo entries "Unknown/Other" and "Default" when asked for. Slots that end up
// empty are unused; names sorting after "z" stand after them, so callers skip empties
// rather than stop at the first.
ConnectoidNameTable GetConnectoidList(const ConnectoidNameTable& connectoidNames, bool addUnknown,
                                      bool addDefault);

// True when the name is none of the dial-up entries (nor "Default" when addDefault);
// exact and case-sensitive.
bool IsUnknownConnectoid(const ConnectoidNameTable& connectoidNames, const QString& name,
                         bool addDefault);

// Groups log entries by connectoid: built once per refresh from the current table, so
// that a whole log can be normalised without rebuilding the list for every record.
class ConnectoidGrouping {
public:
    explicit ConnectoidGrouping(const ConnectoidNameTable& connectoidNames);
    // For a reader that cannot ask the dial-up service (vorn-log): every name stored in the
    // log counts as a dial-up entry, so only empty names go to "Unknown/Other".
    static ConnectoidGrouping everyStoredName();

    // How a record's connectoid shows: "Unknown/Other" when empty, already that, or no
    // longer a dial-up entry; otherwise as stored.
    QString displayName(const QString& storedName) const;

private:
    ConnectoidGrouping() = default;

    QSet<QString> known_;
    bool knowsEveryName_ = false;
};
