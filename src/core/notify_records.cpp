#include "notify_records.h"

#include "formatting.h"
#include "settings_store.h"

namespace {

const QString UrlValue = QStringLiteral("URL");
const QString LastUpdatedValue = QStringLiteral("Last_Updated");
const QString LastSizeValue = QStringLiteral("Last_Size");
const QString FramesValue = QStringLiteral("Frames");

QString section(int n) {
    return QStringLiteral("Notify") + QString::number(n);
}

QString storedUrl(const SettingsStore& store, int n) {
    return store.readString(section(n), UrlValue, QString());
}

QString knownFrames(const QString& text) {
    if (text == QLatin1String("Yes") || text == QLatin1String("No"))
        return text;
    return QStringLiteral("-");
}

} // namespace

NotifyRecords NotifyRecords::load(const SettingsStore& store, const RegionalSettings& regional) {
    NotifyRecords out;
    for (int n = 1;; ++n) {
        NotifyRecord r;
        r.URL = storedUrl(store, n);
        if (r.URL.isEmpty())
            break;
        const QString key = section(n);
        r.Last_Updated =
            ReadFloatSetting(store.readString(key, LastUpdatedValue, QString()), regional, 0.0);
        r.Last_Size = store.readInteger64(key, LastSizeValue, 0);
        r.Frames = knownFrames(store.readString(key, FramesValue, QString()));
        // The first of twins is the one found: the search walks upward from Notify1.
        if (!out.index_.contains(r.URL))
            out.index_.insert(r.URL, static_cast<int>(out.records_.size()));
        out.records_.append(r);
    }
    return out;
}

NotifyRecord NotifyRecords::find(const QString& url) const {
    const auto it = index_.constFind(url);
    if (it == index_.cend()) {
        NotifyRecord none;
        none.URL = url;
        return none;
    }
    return records_[*it];
}

void NotifyRecords::save(SettingsStore& store, const NotifyRecord& record,
                         const RegionalSettings& regional) {
    int position = index_.value(record.URL, -1);
    if (position < 0) {
        position = static_cast<int>(records_.size());
        records_.append(record);
        index_.insert(record.URL, position);
    } else {
        records_[position] = record;
    }
    const QString key = section(position + 1);
    store.writeString(key, UrlValue, record.URL);
    store.writeString(key, LastUpdatedValue, datetime::floatToText(record.Last_Updated, regional));
    store.writeInteger(key, LastSizeValue, record.Last_Size);
    store.writeString(key, FramesValue, knownFrames(record.Frames));
}

void NotifyRecords::reset(SettingsStore& store) {
    for (int n = 1; !storedUrl(store, n).isEmpty(); ++n)
        store.removeSection(section(n));
    store.sync();
}
