#pragma once

#include <QByteArray>
#include <QString>

// The length-prefixed Latin-1 texts of the program's binary files (the call log and the
// password file): a length byte, then one byte per character.
namespace latin1field {

// At most maxLength bytes, one per character; '?' stands for a character outside
// Latin-1, also for one beyond the BMP.
QByteArray bytes(const QString& text, int maxLength);

// The length byte at `at`, never more than the field holds: a damaged file must not make
// a reader take the bytes of the next field.
inline int length(const char* at, int maxLength) {
    return qMin(static_cast<int>(static_cast<unsigned char>(at[0])), maxLength);
}

} // namespace latin1field
