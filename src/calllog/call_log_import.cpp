#include "call_log_import.h"

#include "call_log_file.h"
#include "call_log_record.h"

#include <QDir>
#include <QFile>

#include <cstring>

namespace calllog {

namespace {
// The part both layouts share: Start to Connect_Speed.
constexpr int SharedBytes = 44;
} // namespace

QStringList importableLogs(const QString& logsFolder) {
    QStringList names;
    for (const char* name : {"call_log.bin", "log.bin"}) {
        if (QFile::exists(QDir(logsFolder).filePath(QLatin1String(name))))
            names << QLatin1String(name);
    }
    return names;
}

QByteArray importedRecord(const char* oldRecord, const QString& userName) {
    const typOldCallLogInformation old = decodeOldRecord(oldRecord);
    typCallLogInformation record;
    record.Connectoid_Name = old.Connectoid_Name;
    record.User_Name = userName;
    record.Deleted = old.Deleted;
    QByteArray bytes = encodeRecord(record);
    std::memcpy(bytes.data(), oldRecord, SharedBytes);
    return bytes;
}

ImportResult importOldLog(const QString& oldFile, const QString& logFile, const QString& userName) {
    QFile old(oldFile);
    QByteArray oldBytes;
    if (!old.open(QIODevice::ReadOnly) || (oldBytes = old.readAll()).size() != old.size())
        return {false, 0,
                QStringLiteral("Could not read \"%1\": %2")
                    .arg(QDir::toNativeSeparators(oldFile), old.errorString())};
    const qint64 count = oldBytes.size() / OldRecordSize;
    QByteArray records;
    records.reserve(count * RecordSize);
    for (qint64 i = 0; i < count; ++i)
        records += importedRecord(oldBytes.constData() + i * OldRecordSize, userName);
    ImportResult result{true, count, {}};
    if (!AppendLogEntries(logFile, records, &result.error))
        result = {false, 0, result.error};
    return result;
}

} // namespace calllog
