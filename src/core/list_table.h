#pragma once

#include <QtGlobal>

#include <array>

// A fixed-capacity table indexed from 1. Used entries stand in slots 1..n without a gap;
// what marks a slot free is the record type's business (isFreeSlot / markFreeSlot).
template <typename T, int N> class ListTable {
public:
    static constexpr int Capacity = N;
    using Record = T;

    T& operator[](int index) {
        Q_ASSERT(index >= 1 && index <= N);
        return slots_[static_cast<size_t>(index - 1)];
    }
    const T& operator[](int index) const {
        Q_ASSERT(index >= 1 && index <= N);
        return slots_[static_cast<size_t>(index - 1)];
    }

    auto begin() { return slots_.begin(); }
    auto end() { return slots_.end(); }
    auto begin() const { return slots_.begin(); }
    auto end() const { return slots_.end(); }

    friend bool operator==(const ListTable&, const ListTable&) = default;

private:
    std::array<T, N> slots_{};
};

// The operations every table shares. A record type provides isFreeSlot(const T&) and
// markFreeSlot(T&) found by argument-dependent lookup.

template <typename Table> void clearTable(Table& table) {
    for (auto& slot : table)
        markFreeSlot(slot);
}

// The first free slot scanning from 1, or 0 when every slot is used.
template <typename Table> int findFreeSlot(const Table& table) {
    for (int i = 1; i <= Table::Capacity; ++i) {
        if (isFreeSlot(table[i]))
            return i;
    }
    return 0;
}

// Number of used slots before the first free one.
template <typename Table> int usedCount(const Table& table) {
    const int free = findFreeSlot(table);
    return free == 0 ? Table::Capacity : free - 1;
}

// Removes entry k: the later slots move down one (free ones too, so the free marker
// moves with them), and the slot after the last used one is marked free.
template <typename Table> void deleteAtIndex(Table& table, int k) {
    constexpr int N = Table::Capacity;
    if (k < 1 || k > N)
        return;
    if (k == N) {
        markFreeSlot(table[N]);
        return;
    }
    for (int i = k; i < N; ++i)
        table[i] = table[i + 1];
    int m = N;
    while (m >= 1 && isFreeSlot(table[m]))
        --m;
    if (m == N)
        markFreeSlot(table[N]);
    else
        markFreeSlot(table[m + 1]);
}
