#pragma once

#include "call_log_record.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

// The call log: a headerless sequence of 92-byte records in "log070.bin" in the Logs
// folder. Each operation opens the file, does its work and closes it again. Failed file
// access throws InOutError; a missing log is simply empty for the readers.

namespace calllog {

QString logFilePath(const QString& logsFolder);

bool logExists(const QString& fileName);
// Whole records only: a trailing fragment shorter than a record does not count.
qint64 recordCount(const QString& fileName);

// Every record in file order; empty when the file does not exist.
QList<typCallLogInformation> readAll(const QString& fileName);
// Record number n counts from 0 (the log window's 1-based number k is record k - 1).
typCallLogInformation readRecord(const QString& fileName, qint64 recordNumber);
// The records at these numbers (from 0), read in one opening of the file; a number past its
// end (or a missing file) gives no record.
QList<std::optional<typCallLogInformation>> readRecords(const QString& fileName,
                                                        const QList<qint64>& recordNumbers);
void writeRecord(const QString& fileName, qint64 recordNumber, const typCallLogInformation& record);
// Marks the records removed; the space is reclaimed by the next compaction.
void removeRecords(const QList<qint64>& recordNumbers, const QString& fileName);
// Deletes the log; the next append starts a new one. False when it could not be deleted,
// with the reason in *error when given.
bool resetLog(const QString& fileName, QString* error = nullptr);

// Start-up copies of the call log ("call.bak"), "awlog.bin" and "password.bin", each
// only when it exists, each replacing the older copy.
void backupDataFiles(const QString& logsFolder);

// The 88-byte records of an older release's log, whole records only; empty when missing.
QList<typOldCallLogInformation> readOldLog(const QString& fileName);

} // namespace calllog

// Writes the record just after the last whole record, creating the file when missing.
// syncToDisk makes the record survive a power cut before the caller goes on.
void AppendLogEntry(const QString& fileName, const typCallLogInformation& entry,
                    bool syncToDisk = false);

// Appends whole encoded records (a multiple of the record size) in one write and pushes them
// to the disk. All or nothing: on a failure the log is cut back to the size it had (a log
// that did not exist is removed again) and false is returned with the reason in *error.
bool AppendLogEntries(const QString& fileName, const QByteArray& records, QString* error);

// Start-up compaction: keeps a copy in "call.cmp", writes the live records to
// "call.new", flushes it to the disk and renames it over the log, so that the log is
// never missing or half-written whenever the program stops. Returns false when there was
// no log or the rename failed (the log is then left as it was). beforeReplace runs once
// "call.new" is complete, just before the rename; tests use it to stop there.
bool CompactCallLog(const QString& logsFolder, const std::function<void()>& beforeReplace = {});
