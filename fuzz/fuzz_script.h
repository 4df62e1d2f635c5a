#pragma once

#include <QByteArray>
#include <QCoreApplication>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

// What the fuzz targets share: a broken promise ends the run, the input is read as a
// script of action bytes and payloads, and the clients need an application object for
// their posted completions.
namespace fuzz {

inline void check(bool ok) {
    if (!ok)
        std::abort();
}

struct Script {
    const uint8_t* data;
    size_t size;
    size_t at = 0;

    bool more() const { return at < size; }
    uint8_t byte() { return at < size ? data[at++] : 0; }
    QByteArray bytes(size_t n) {
        n = std::min(n, size - at);
        QByteArray out(reinterpret_cast<const char*>(data + at), static_cast<qsizetype>(n));
        at += n;
        return out;
    }
    // Up to 64 KiB of one short pattern: overlong lines and big bodies come early.
    QByteArray flood() {
        const size_t n = size_t(byte()) << 8 | byte();
        const QByteArray unit = bytes(1 + byte() % 4);
        return unit.repeated(static_cast<qsizetype>(n / std::max<qsizetype>(unit.size(), 1)));
    }
};

inline void ensureApplication() {
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

} // namespace fuzz
