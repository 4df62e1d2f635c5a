#pragma once

#include <QString>
#include <gtest/gtest.h>

#include <ostream>

constexpr int kWait = 5000; // upper bound for anything that must happen

// The message of the exception E that f throws.
template <typename E, typename F> QString thrown(F&& f) {
    try {
        f();
    } catch (const E& e) {
        return e.message();
    }
    return QStringLiteral("(nothing thrown)");
}

// Readable failures for texts and lists of texts.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
