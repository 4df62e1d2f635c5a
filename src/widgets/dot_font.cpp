#include "widgets/dot_font.h"

#include <QFile>
#include <QtEndian>

const DotFont& dos5x7Font() {
    static const DotFont font{5, 7, 0, 255, dos5x7Dots()};
    return font;
}

const DotFont& mat5x7Font() {
    static const DotFont font = [] {
        DotFont f{5, 7, 32, 223, dos5x7Dots()};
        // The read-out borrows "+" and "-" for its trend arrows; this table keeps them plain.
        constexpr char plus[] = "....."
                                "..#.."
                                "..#.."
                                "#####"
                                "..#.."
                                "..#.."
                                ".....";
        constexpr char minus[] = "....."
                                 "....."
                                 "....."
                                 "#####"
                                 "....."
                                 "....."
                                 ".....";
        static_assert(sizeof plus == 36 && sizeof minus == 36);
        for (int i = 0; i < 35; ++i) {
            f.dots[43 * 35 + i] = plus[i] == '#' ? 1 : 0;
            f.dots[45 * 35 + i] = minus[i] == '#' ? 1 : 0;
        }
        return f;
    }();
    return font;
}

bool dos5x7ShowsAsWritten(char32_t c) {
    if (c >= U' ' && c <= U'~')
        return c != U'+' && c != U'-';
    return c == U'€' || c == U'¢' || c == U'£' || c == U'¥';
}

std::optional<DotFont> loadCustomFont(const QString& fileName) {
    QFile file(fileName);
    if (fileName.isEmpty() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;

    const QByteArray header = file.read(16);
    if (header.size() != 16)
        return std::nullopt;
    const auto field = [&](int i) { return qFromLittleEndian<qint32>(header.constData() + 4 * i); };
    const qint32 width = field(0);
    const qint32 height = field(1);
    const qint32 first = field(2);
    const qint32 last = field(3);
    // Checked before anything is allocated: the header comes from an arbitrary file.
    if (width < 1 || width > MaxCustomGlyphDots || height < 1 || height > MaxCustomGlyphDots)
        return std::nullopt;
    if (first < 0 || last > 255 || first > last)
        return std::nullopt;

    const qint64 glyphBytes = qint64(width) * height;
    const QByteArray body = file.read(glyphBytes * (last - first + 1));
    if (body.size() != glyphBytes * (last - first + 1))
        return std::nullopt;

    DotFont font{width, height, first, last, QByteArray(256 * glyphBytes, '\1')};
    std::copy(body.cbegin(), body.cend(), font.dots.begin() + first * glyphBytes);
    return font;
}
