#pragma once

#include "datetime.h"

#include <QHash>
#include <QList>
#include <QString>

class SettingsStore;
struct RegionalSettings;

// What a web page looked like when it was last found changed: one Notify<N> section per
// address, N = 1, 2, ... without gaps.
struct NotifyRecord {
    QString URL;
    TDateTime Last_Updated = 0; // the page's Last-Modified, 0 when it had none
    qint64 Last_Size = 0;
    QString Frames = QStringLiteral("-"); // "Yes", "No" or "-"

    friend bool operator==(const NotifyRecord&, const NotifyRecord&) = default;
};

// The stored records, read in one pass and found by address: a check of a thousand pages
// asks for each of them several times.
class NotifyRecords {
public:
    // Notify1, Notify2, ... up to the first section without a URL.
    static NotifyRecords load(const SettingsStore& store, const RegionalSettings& regional);

    int count() const { return static_cast<int>(records_.size()); }
    // The record of an address (the first, should two sections hold it), or what an
    // address without one counts as: date 0, size 0, frames "-".
    NotifyRecord find(const QString& url) const;

    // Writes the record over the section of its address, or as the next section.
    void save(SettingsStore& store, const NotifyRecord& record, const RegionalSettings& regional);

    // Deletes Notify1, Notify2, ... up to the first section without a URL.
    static void reset(SettingsStore& store);

private:
    QList<NotifyRecord> records_;
    QHash<QString, int> index_; // address -> position in records_
};
