#include "call_log_file.h"

#include "checked_file.h"
#include "in_out_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

const QString LogFileName = QStringLiteral("log070.bin");
const QString BackupFileName = QStringLiteral("call.bak");
const QString CompactCopyFileName = QStringLiteral("call.cmp");
const QString CompactNewFileName = QStringLiteral("call.new");

// The copies made at start-up are a convenience: their failure is not reported.
void copyReplacing(const QString& source, const QString& target) {
    if (!QFile::exists(source))
        return;
    QFile::remove(target);
    QFile::copy(source, target);
}

// Makes a rename inside the folder durable.
void syncFolder(const QString& folder) {
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

void checkRecordNumber(const CheckedFile& file, qint64 recordNumber) {
    const qint64 count = file.size() / calllog::RecordSize;
    if (recordNumber < 0 || recordNumber >= count)
        throw InOutError(QStringLiteral("Could not position in the file \"%1\": record %2 does "
                                        "not exist (the file holds %3 records)")
                             .arg(file.path())
                             .arg(recordNumber + 1)
                             .arg(count));
}

template <typename Record, int Size, typename Decode>
QList<Record> readWholeFile(const QString& fileName, Decode decode) {
    QList<Record> records;
    if (!QFile::exists(fileName))
        return records;
    CheckedFile file(fileName);
    file.open(QIODevice::ReadOnly);
    const qint64 count = file.size() / Size;
    QByteArray bytes(count * Size, Qt::Uninitialized);
    file.readExactly(bytes.data(), bytes.size());
    file.close();
    records.reserve(count);
    for (qint64 i = 0; i < count; ++i)
        records.append(decode(bytes.constData() + i * Size));
    return records;
}

} // namespace

namespace calllog {

QString logFilePath(const QString& logsFolder) {
    return QDir(logsFolder).filePath(LogFileName);
}

bool logExists(const QString& fileName) {
    return QFile::exists(fileName);
}

qint64 recordCount(const QString& fileName) {
    const QFileInfo info(fileName);
    return info.isFile() ? info.size() / RecordSize : 0;
}

QList<typCallLogInformation> readAll(const QString& fileName) {
    TextCache cache;
    return readWholeFile<typCallLogInformation, RecordSize>(
        fileName, [&cache](const char* at) { return decodeRecord(at, cache); });
}

QList<typOldCallLogInformation> readOldLog(const QString& fileName) {
    return readWholeFile<typOldCallLogInformation, OldRecordSize>(
        fileName, [](const char* at) { return decodeOldRecord(at); });
}

typCallLogInformation readRecord(const QString& fileName, qint64 recordNumber) {
    CheckedFile file(fileName);
    file.open(QIODevice::ReadOnly);
    checkRecordNumber(file, recordNumber);
    file.seek(recordNumber * RecordSize);
    char bytes[RecordSize];
    file.readExactly(bytes, RecordSize);
    file.close();
    return decodeRecord(bytes);
}

QList<std::optional<typCallLogInformation>> readRecords(const QString& fileName,
                                                        const QList<qint64>& recordNumbers) {
    QList<std::optional<typCallLogInformation>> records(recordNumbers.size());
    if (!QFile::exists(fileName))
        return records;
    CheckedFile file(fileName);
    file.open(QIODevice::ReadOnly);
    const qint64 count = file.size() / RecordSize;
    char bytes[RecordSize];
    for (qsizetype i = 0; i < recordNumbers.size(); ++i) {
        const qint64 n = recordNumbers[i];
        if (n < 0 || n >= count)
            continue;
        file.seek(n * RecordSize);
        file.readExactly(bytes, RecordSize);
        records[i] = decodeRecord(bytes);
    }
    file.close();
    return records;
}

void writeRecord(const QString& fileName, qint64 recordNumber,
                 const typCallLogInformation& record) {
    CheckedFile file(fileName);
    file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly);
    checkRecordNumber(file, recordNumber);
    file.seek(recordNumber * RecordSize);
    file.write(encodeRecord(record));
    file.close();
}

void removeRecords(const QList<qint64>& recordNumbers, const QString& fileName) {
    CheckedFile file(fileName);
    file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly);
    const char removed = 1;
    for (const qint64 n : recordNumbers) {
        checkRecordNumber(file, n);
        // Only the flag changes; every other byte of the record stays as it was.
        file.seek(n * RecordSize + DeletedOffset);
        file.write(&removed, 1);
    }
    file.close();
}

bool resetLog(const QString& fileName, QString* error) {
    QFile file(fileName);
    if (!file.exists() || file.remove())
        return true;
    if (error)
        *error = QStringLiteral("Could not delete the call log \"%1\": %2")
                     .arg(QDir::toNativeSeparators(fileName), file.errorString());
    return false;
}

void backupDataFiles(const QString& logsFolder) {
    const QDir logs(logsFolder);
    copyReplacing(logs.filePath(LogFileName), logs.filePath(BackupFileName));
    copyReplacing(logs.filePath(QStringLiteral("awlog.bin")),
                  logs.filePath(QStringLiteral("awlog.bak")));
    copyReplacing(logs.filePath(QStringLiteral("password.bin")),
                  logs.filePath(QStringLiteral("password.bak")));
}

} // namespace calllog

void AppendLogEntry(const QString& fileName, const typCallLogInformation& entry, bool syncToDisk) {
    CheckedFile file(fileName);
    file.open(QIODevice::ReadWrite);
    // Over a trailing fragment, if any: the fragment was never a record.
    file.seek(file.size() / calllog::RecordSize * calllog::RecordSize);
    file.write(calllog::encodeRecord(entry));
    if (syncToDisk)
        file.syncToDisk();
    file.close();
}

bool AppendLogEntries(const QString& fileName, const QByteArray& records, QString* error) {
    const bool existed = QFile::exists(fileName);
    QFile file(fileName);
    qint64 before = 0;
    // Unbuffered: what a failed write left behind can be cut off at once.
    bool ok = file.open(QIODevice::ReadWrite | QIODevice::Unbuffered);
    if (ok) {
        before = file.size();
        // Over a trailing fragment, as a single append does.
        ok = file.seek(before / calllog::RecordSize * calllog::RecordSize) &&
             file.write(records) == records.size() && ::fsync(file.handle()) == 0;
    }
    if (ok) {
        file.close();
        return true;
    }
    const QString reason = file.errorString();
    if (file.isOpen()) {
        file.resize(before);
        file.close();
    }
    if (!existed)
        QFile::remove(fileName);
    if (error)
        *error = QStringLiteral("Could not write to the call log \"%1\": %2")
                     .arg(QDir::toNativeSeparators(fileName), reason);
    return false;
}

bool CompactCallLog(const QString& logsFolder, const std::function<void()>& beforeReplace) {
    const QDir logs(logsFolder);
    const QString logPath = logs.filePath(LogFileName);
    const QString newPath = logs.filePath(CompactNewFileName);
    if (!QFile::exists(logPath))
        return false;
    copyReplacing(logPath, logs.filePath(CompactCopyFileName));

    try {
        CheckedFile source(logPath);
        source.open(QIODevice::ReadOnly);
        CheckedFile target(newPath);
        target.open(QIODevice::WriteOnly | QIODevice::Truncate);

        constexpr qint64 ChunkRecords = 4096;
        qint64 remaining = source.size() / calllog::RecordSize;
        QByteArray chunk(ChunkRecords * calllog::RecordSize, Qt::Uninitialized);
        QByteArray kept;
        kept.reserve(chunk.size());
        while (remaining > 0) {
            const qint64 n = qMin(remaining, ChunkRecords);
            source.readExactly(chunk.data(), n * calllog::RecordSize);
            kept.clear();
            for (qint64 i = 0; i < n; ++i) {
                const char* record = chunk.constData() + i * calllog::RecordSize;
                if (record[calllog::DeletedOffset] == 0)
                    kept.append(record, calllog::RecordSize);
            }
            target.write(kept);
            remaining -= n;
        }
        target.syncToDisk();
        target.close();
        source.close();
    } catch (const InOutError&) {
        QFile::remove(newPath);
        throw;
    }
    QFile::setPermissions(newPath, QFile::permissions(logPath));

    if (beforeReplace)
        beforeReplace();

    // rename(2) swaps the name over in one step: the log is either the old or the new file.
    if (std::rename(QFile::encodeName(newPath).constData(),
                    QFile::encodeName(logPath).constData()) != 0) {
        QFile::remove(newPath);
        return false;
    }
    syncFolder(logsFolder);
    return true;
}
