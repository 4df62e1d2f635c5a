#include "code_page.h"

namespace {

// 0x80-0x9F. The five bytes Windows leaves undefined map to the C1 controls of the same
// value, so that any byte read from a file comes back unchanged when written.
constexpr char16_t High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                               0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                               0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                               0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The character at text[i], advancing i past it; an unpaired surrogate reads as `bad`.
char32_t nextChar(QStringView text, qsizetype& i, char32_t bad) {
    const QChar c = text[i++];
    if (!c.isSurrogate())
        return c.unicode();
    if (c.isHighSurrogate() && i < text.size() && text[i].isLowSurrogate())
        return QChar::surrogateToUcs4(c, text[i++]);
    return bad;
}

} // namespace

namespace codepage {

char byteOf(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (int i = 0; i < 32; ++i) {
        if (High[i] == c)
            return static_cast<char>(0x80 + i);
    }
    return 0;
}

bool canEncode(char32_t c) {
    return c == 0 || byteOf(c) != 0;
}

QByteArray encode(QStringView text, qsizetype maxLength) {
    QByteArray out;
    out.reserve(maxLength < 0 ? text.size() : qMin(text.size(), maxLength));
    for (qsizetype i = 0; i < text.size() && (maxLength < 0 || out.size() < maxLength);) {
        const char32_t c = nextChar(text, i, U'?');
        out.append(canEncode(c) ? byteOf(c) : '?');
    }
    return out;
}

QString decode(QByteArrayView bytes) {
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* to = out.data();
    for (const char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        *to++ = QChar(u >= 0x80 && u < 0xA0 ? High[u - 0x80] : char16_t(u));
    }
    return out;
}

char32_t firstUnencodable(QStringView text) {
    for (qsizetype i = 0; i < text.size();) {
        const char32_t c = nextChar(text, i, 0xFFFD);
        if (!canEncode(c))
            return c;
    }
    return 0;
}

} // namespace codepage
