#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// A character table of the LED label: one glyph of width × height dots for each of the
// 256 codes, row by row, top row first, left dot first; a non-zero byte is a set dot.
// Codes outside first..last are drawn as the nearest code inside the range.
struct DotFont {
    int width = 5;
    int height = 7;
    int first = 0;
    int last = 255;
    QByteArray dots;

    bool isSet(int code, int row, int column) const {
        return dots.at((code * height + row) * width + column) != 0;
    }
    int clampCode(int code) const { return code < first ? first : (code > last ? last : code); }
};

// The PC character set with the read-out's own glyphs (codes 0 to 255).
const DotFont& dos5x7Font();
// The same glyphs with a plain "+" and "-", codes 32 to 223.
const DotFont& mat5x7Font();

// Largest glyph a character table file may declare, in dots.
constexpr int MaxCustomGlyphDots = 64;

// Reads a character table file: four little-endian 32-bit values (width and height in
// dots, first and last code), then width × height bytes per code from first to last.
// Returns nothing when the file cannot be read, declares an implausible glyph or range,
// or is shorter than its header promises.
std::optional<DotFont> loadCustomFont(const QString& fileName);

// The 35 bytes of each of the 256 dos5x7 glyphs (defined with the glyph table).
QByteArray dos5x7Dots();

// Whether the read-out shows the character as itself: printable ASCII but for "+" and "-"
// (the trend arrows), and the currency signs the table carries at their Windows codes.
// Other characters of the code page come out as the PC glyph of their code.
bool dos5x7ShowsAsWritten(char32_t c);
