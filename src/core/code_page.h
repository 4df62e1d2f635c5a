#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The single-byte code page of every byte text the program stores or sends (the call log
// and password file fields, the LED label, POP3 commands): Windows-1252, which is what the
// Windows program wrote in Western Europe, so its files read the same here. Latin-1 plus
// the printable characters of 0x80-0x9F ("€" is 0x80); anything else becomes '?'.
namespace codepage {

// The byte of one character, or 0 when the code page has none for it (and the character
// is not NUL itself).
char byteOf(char32_t c);
bool canEncode(char32_t c);

// At most maxLength bytes (all when negative), one per character; '?' for a character
// outside the code page, one '?' for a character beyond the BMP.
QByteArray encode(QStringView text, qsizetype maxLength = -1);
QString decode(QByteArrayView bytes);

// What a text becomes once stored: names from the dial-up service are compared with
// stored names through this, so a name outside the code page still finds its own.
inline QString roundTrip(QStringView text, qsizetype maxLength = -1) {
    return decode(encode(text, maxLength));
}

// The first character of the text that the code page cannot hold, or 0 when none.
char32_t firstUnencodable(QStringView text);

// The length byte of a length-prefixed field at `at`, never more than the field holds:
// a damaged file must not make a reader take the bytes of the next field.
inline int fieldLength(const char* at, int maxLength) {
    return qMin(static_cast<int>(static_cast<unsigned char>(at[0])), maxLength);
}

} // namespace codepage
