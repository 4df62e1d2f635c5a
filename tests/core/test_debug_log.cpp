#include "core/debug_log.h"
#include "core/regional.h"
#include "manual_clock.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class DebugLogTest : public ::testing::Test {
protected:
    ManualClock clock;
    DebugLog log{clock};
};

TEST_F(DebugLogTest, NothingIsBuiltWhileOff) {
    bool built = false;
    log.trace([&] {
        built = true;
        return QString("x");
    });
    log.add("y");
    EXPECT_FALSE(built);
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(DebugLogTest, KeepsTheNewest2500LinesWithTheCounter) {
    clock.setMilliseconds(1234);
    log.setEnabled(true);
    for (int i = 1; i <= 2502; ++i)
        log.add(QString("CalculateCost - Start %1").arg(i));
    ASSERT_EQ(log.lines().size(), 2500u);
    EXPECT_EQ(log.lines().front(), "1234 -> CalculateCost - Start 3");
    EXPECT_EQ(log.lines().back(), "1234 -> CalculateCost - Start 2502");
}

TEST_F(DebugLogTest, FileHasTitleBlankLineAndNumberedLines) {
    clock.setNow(datetime::encode(2023, 3, 5, 7, 8, 9));
    clock.setMilliseconds(77);
    log.setEnabled(true);
    log.add("a");
    log.add("b");
    QTemporaryDir dir;
    const QString path = debugFilePath(dir.path());
    ASSERT_TRUE(log.writeFile(path, "VORN", RegionalSettings::english()));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(),
              "VORN v1.17 Debug File -> 05/03/2023 07:08:09\n\n1 -> 77 -> a\n2 -> 77 -> b\n");
    QString error;
    EXPECT_FALSE(log.writeFile(dir.filePath("missing/dir/x.txt"), "VORN",
                               RegionalSettings::english(), &error));
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
