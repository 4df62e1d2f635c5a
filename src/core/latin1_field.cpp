#include "latin1_field.h"

QByteArray latin1field::bytes(const QString& text, int maxLength) {
    QByteArray out;
    out.reserve(qMin<qsizetype>(text.size(), maxLength));
    for (qsizetype i = 0; i < text.size() && out.size() < maxLength; ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i; // one character, one '?'
        out.append(c.unicode() <= 0xff ? static_cast<char>(c.unicode()) : '?');
    }
    return out;
}
