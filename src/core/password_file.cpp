#include "password_file.h"

#include "code_page.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace passwordfile {
namespace {

struct Field {
    int offset;
    int maxLength;
    bool scrambled;
};
constexpr Field Company{0, 40, false};
constexpr Field UserName{41, 40, true};
constexpr Field Password{82, 40, true};
constexpr Field Comments{123, 50, false};

constexpr char Key = 0x5A;

// The same XOR scrambles and unscrambles the credentials.
QByteArray scrambledIf(const Field& f, QByteArray bytes) {
    if (f.scrambled) {
        for (char& c : bytes)
            c = static_cast<char>(c ^ Key);
    }
    return bytes;
}

void put(QByteArray& record, const Field& f, const QString& text) {
    const QByteArray bytes = scrambledIf(f, codepage::encode(text, f.maxLength));
    record[f.offset] = static_cast<char>(bytes.size());
    std::copy(bytes.cbegin(), bytes.cend(), record.begin() + f.offset + 1);
}

QString get(const char* record, const Field& f) {
    return codepage::decode(
        scrambledIf(f, QByteArray(record + f.offset + 1,
                                  codepage::fieldLength(record + f.offset, f.maxLength))));
}

} // namespace

QString pathIn(const QString& programFolder) {
    return QDir(programFolder).filePath(QStringLiteral("Logs/password.bin"));
}

QByteArray encodeRecord(const typPasswordInformation& entry) {
    QByteArray record(RecordSize, '\0');
    put(record, Company, entry.Company);
    put(record, UserName, entry.UserName);
    put(record, Password, entry.Password);
    put(record, Comments, entry.Comments);
    return record;
}

typPasswordInformation decodeRecord(const char* record) {
    typPasswordInformation entry;
    entry.Company = get(record, Company);
    entry.UserName = get(record, UserName);
    entry.Password = get(record, Password);
    entry.Comments = get(record, Comments);
    return entry;
}

ReadResult read(const QString& path, PasswordTable& table, QString* error) {
    QFile file(path);
    if (!file.exists())
        return ReadResult::Missing;
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return ReadResult::Failed;
    }
    const QByteArray data = file.read(qint64(RecordSize) * PasswordTable::Capacity);
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return ReadResult::Failed;
    }

    clearTable(table);
    int slot = 1;
    const qsizetype records = data.size() / RecordSize;
    for (qsizetype i = 0; i < records; ++i) {
        typPasswordInformation entry = decodeRecord(data.constData() + i * RecordSize);
        if (!isFreeSlot(entry))
            table[slot++] = entry;
    }
    return ReadResult::Read;
}

bool write(const QString& path, const PasswordTable& table, QString* error) {
    QByteArray data;
    for (const typPasswordInformation& entry : table) {
        if (!isFreeSlot(entry))
            data += encodeRecord(entry);
    }

    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    // Unbuffered, so that a short write (a full disk) shows in the count written: a
    // buffered QSaveFile can commit a truncated file as if all went well.
    const bool ok = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) &&
                    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) &&
                    file.write(data) == data.size() && file.commit();
    if (!ok) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
    }
    return ok;
}

} // namespace passwordfile
