#include "core/connectoid_names.h"
#include "core/records.h"

#include <gtest/gtest.h>

namespace {
CostingTable bands(std::initializer_list<const char*> names) {
    CostingTable t;
    clearTable(t);
    int i = 1;
    for (const char* n : names) {
        t[i].Connectoid_Name = n;
        t[i].ChargePerMin = i;
        ++i;
    }
    return t;
}
} // namespace

TEST(ListTable, DeleteInTheMiddleShiftsAndFreesTheSlotAfterTheLast) {
    CostingTable t = bands({"A", "B", "C"});
    deleteAtIndex(t, 2);
    EXPECT_EQ(t[1].Connectoid_Name, "A");
    EXPECT_EQ(t[2].Connectoid_Name, "C");
    EXPECT_TRUE(isFreeSlot(t[3]));
    EXPECT_EQ(usedCount(t), 2);
    EXPECT_EQ(findFreeSlot(t), 3);
}

TEST(ListTable, DeleteOnAFullTable) {
    CostingTable t;
    for (int i = 1; i <= 75; ++i)
        t[i].ChargePerMin = i;
    EXPECT_EQ(findFreeSlot(t), 0);
    deleteAtIndex(t, 75);
    EXPECT_TRUE(isFreeSlot(t[75]));
    EXPECT_EQ(t[74].ChargePerMin, 74);

    for (int i = 1; i <= 75; ++i)
        t[i].ChargePerMin = i;
    deleteAtIndex(t, 1);
    EXPECT_EQ(t[1].ChargePerMin, 2);
    EXPECT_EQ(t[74].ChargePerMin, 75);
    EXPECT_TRUE(isFreeSlot(t[75]));
}

TEST(ListTable, OutOfRangeDeleteChangesNothing) {
    ApplicationTable t;
    t[1].Filename = "/bin/true";
    deleteAtIndex(t, 0);
    deleteAtIndex(t, 61);
    EXPECT_EQ(t[1].Filename, "/bin/true");
}

TEST(ConnectoidNames, FillCutsNamesAndKeepsSlot100Empty) {
    ConnectoidNameTable names;
    QStringList book;
    for (int i = 0; i < 120; ++i)
        book << QString("Provider number %1 with a long name").arg(i);
    names.fill(book);
    EXPECT_EQ(names[1], "Provider number 0 wi");
    EXPECT_EQ(names[99].size(), 20);
    EXPECT_TRUE(names[100].isEmpty());
    names.fill({});
    EXPECT_TRUE(names[1].isEmpty());
}
