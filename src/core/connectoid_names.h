#pragma once

#include "core/code_page.h"

#include <QString>
#include <QStringList>

#include <array>

// The machine's dial-up entry names: 100 slots from 1, names of at most 20 characters in
// phonebook order without gaps; slot 100 always stays empty.
struct ConnectoidNameTable {
    static constexpr int Capacity = 100;
    static constexpr int MaxNameLength = 20;

    QString& operator[](int index) { return slots[static_cast<size_t>(index - 1)]; }
    const QString& operator[](int index) const { return slots[static_cast<size_t>(index - 1)]; }

    // Refills the table from phonebook names: at most 99, each cut to 20 characters and
    // held as the call log holds it, in the program's code page, so that a name outside it
    // still matches its own bands, applications and log entries.
    void fill(const QStringList& phonebookNames) {
        slots = {};
        const int count = static_cast<int>(qMin<qsizetype>(phonebookNames.size(), Capacity - 1));
        for (int i = 1; i <= count; ++i)
            (*this)[i] = codepage::roundTrip(phonebookNames[i - 1], MaxNameLength);
    }

    std::array<QString, Capacity> slots{};
};
