#pragma once

#include "records.h"

#include <QString>

// The password keeper's file: used entries back to back as 174-byte records of four
// length-prefixed Latin-1 texts (company 40, user name 40, password 40, comments 50),
// user name and password scrambled. No header.
namespace passwordfile {

constexpr int RecordSize = 174;

// Logs/password.bin in the program folder.
QString pathIn(const QString& programFolder);

enum class ReadResult {
    Read,    // the table now holds the file's entries
    Missing, // no file: the table is left as it was
    Failed,  // the file exists but cannot be read: the table is left as it was
};

// Reads whole records only, at most the table's capacity; a trailing part record is
// ignored, as are records whose company is empty (they would leave a gap).
ReadResult read(const QString& path, PasswordTable& table, QString* error = nullptr);

// Replaces the file with the used entries in slot order, owner-only. Texts are cut to
// their fields; characters outside Latin-1 become '?'. The old file stays intact when
// the new one cannot be written completely.
bool write(const QString& path, const PasswordTable& table, QString* error = nullptr);

// One record's bytes, and back; exposed for the tests of the layout.
QByteArray encodeRecord(const typPasswordInformation& entry);
typPasswordInformation decodeRecord(const char* record); // RecordSize bytes

} // namespace passwordfile
