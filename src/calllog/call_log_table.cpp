#include "call_log_table.h"

#include "call_log_record.h"
#include "checked_file.h"
#include "connectoid_list.h"
#include "core/date_texts.h"

#include <QFile>

#include <limits>

namespace {

constexpr double NoDate = std::numeric_limits<double>::quiet_NaN();

TDateTime usableDate(TDateTime value) {
    return datetime::hasDate(value) ? value : NoDate;
}

// The row's values of a record, its names left to the caller.
CallLogRow valuesOf(const typCallLogInformation& r) {
    CallLogRow row{};
    row.Start = usableDate(r.Start);
    row.Finish = usableDate(r.Finish);
    row.Length = std::isnan(row.Start) || std::isnan(row.Finish) ? 0.0 : row.Finish - row.Start;
    row.Cost_Inc = calllog::usableAmount(r.Cost_Inc);
    row.Cost_Exc = calllog::usableAmount(r.Cost_Exc);
    row.Mode = r.Mode;
    row.Data = r.Data;
    row.Connect_Speed = r.Connect_Speed;
    return row;
}

bool sameDate(TDateTime a, TDateTime b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

} // namespace

quint32 CallLogTable::intern(const QString& text) {
    const auto found = textIndex_.constFind(text);
    if (found != textIndex_.constEnd())
        return static_cast<quint32>(*found);
    texts_.append(text);
    textIndex_.insert(text, texts_.size() - 1);
    return static_cast<quint32>(texts_.size() - 1);
}

CallLogTable CallLogTable::load(const QString& fileName, const ConnectoidGrouping& grouping) {
    CallLogTable table;
    if (!QFile::exists(fileName))
        return table;
    table.exists_ = true;

    CheckedFile file(fileName);
    file.open(QIODevice::ReadOnly);
    table.recordCount_ = file.size() / calllog::RecordSize;
    table.rows_.reserve(static_cast<size_t>(table.recordCount_));

    calllog::TextCache cache;
    constexpr quint32 NotYetShown = ~0u;
    constexpr qint64 ChunkRecords = 4096;
    QByteArray chunk(ChunkRecords * calllog::RecordSize, Qt::Uninitialized);
    qint64 number = 0;
    while (number < table.recordCount_) {
        const qint64 n = qMin(table.recordCount_ - number, ChunkRecords);
        file.readExactly(chunk.data(), n * calllog::RecordSize);
        for (qint64 i = 0; i < n; ++i) {
            const char* at = chunk.constData() + i * calllog::RecordSize;
            ++number;
            if (at[calllog::DeletedOffset] != 0) {
                ++table.removedCount_;
                continue;
            }
            const typCallLogInformation r = calllog::decodeRecord(at, cache);
            const quint32 connectoid = table.intern(r.Connectoid_Name);
            table.shown_.resize(table.texts_.size(), NotYetShown);
            if (table.shown_[connectoid] == NotYetShown) {
                const quint32 shown = table.intern(grouping.displayName(r.Connectoid_Name));
                table.shown_.resize(table.texts_.size(), NotYetShown);
                table.shown_[connectoid] = shown;
            }
            CallLogRow row = valuesOf(r);
            row.Record_Number = static_cast<quint32>(number);
            row.Connectoid = connectoid;
            row.User_Name = table.intern(r.User_Name);
            table.rows_.push_back(row);
        }
    }
    file.close();
    table.rows_.shrink_to_fit();
    return table;
}

bool CallLogTable::isRowOf(const CallLogRow& row, const typCallLogInformation& record) const {
    const CallLogRow again = valuesOf(record);
    return !record.isDeleted() && sameDate(row.Start, again.Start) &&
           sameDate(row.Finish, again.Finish) && row.Cost_Inc == again.Cost_Inc &&
           row.Cost_Exc == again.Cost_Exc && row.Mode == again.Mode && row.Data == again.Data &&
           row.Connect_Speed == again.Connect_Speed &&
           text(row.Connectoid) == record.Connectoid_Name &&
           text(row.User_Name) == record.User_Name;
}

qint64 CallLogTable::memoryUsage() const {
    qint64 bytes = static_cast<qint64>(rows_.capacity() * sizeof(CallLogRow) +
                                       shown_.capacity() * sizeof(quint32));
    for (const QString& text : texts_)
        bytes += static_cast<qint64>(sizeof(QString)) + text.capacity() * 2;
    return bytes + textIndex_.capacity() * static_cast<qint64>(sizeof(QString) + sizeof(qint64));
}
