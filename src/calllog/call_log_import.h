#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Older logs of an earlier release (88-byte records), appended to the call log by the log
// window's Import.
namespace calllog {

// "call_log.bin" and "log.bin", those of them that exist in the Logs folder, in this order.
QStringList importableLogs(const QString& logsFolder);

// The record an older one becomes: its first 44 bytes (times, costs, mode, data and connect
// speed) as they are, its connectoid name and deleted flag, and the given user name.
QByteArray importedRecord(const char* oldRecord, const QString& userName);

struct ImportResult {
    bool ok = true;
    qint64 records = 0; // appended
    QString error;      // when !ok: the file and the reason
};

// Appends every record of the older file, removed ones with their flag, in one write: when
// anything fails, the call log is left as it was.
ImportResult importOldLog(const QString& oldFile, const QString& logFile, const QString& userName);

} // namespace calllog
