#include "core/ini_settings_store.h"
#include "memory_settings_store.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(SettingsStore, TypedReadsFallBackOnMissingOrMalformedText) {
    MemorySettingsStore s;
    s.setValue("", "Big", "99999999999");
    s.setValue("", "Spaced", " 42 ");
    s.setValue("", "Half", "4.5");
    EXPECT_EQ(s.readInteger("", "Big", 3), 3); // out of 32-bit range
    EXPECT_EQ(s.readInteger64("", "Big", 3), 99999999999LL);
    EXPECT_EQ(s.readInteger("", "Spaced", 0), 42);
    EXPECT_EQ(s.readInteger("", "Half", 5), 5);
    EXPECT_TRUE(s.readBoolean("", "Half", true));
    EXPECT_FALSE(s.readBoolean("", "Missing", false));
    EXPECT_EQ(s.readString("", "Missing", "Default"), "Default");
}

class IniStore : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath("sub/VORN.conf"); }
};

TEST_F(IniStore, ValuesAndSectionsSurviveAReopenInAnOwnerOnlyFile) {
    {
        IniSettingsStore s(path());
        s.writeString("", "Mail_Application", "/usr/bin/mail, with comma");
        s.writeInteger("Costing1", "Days", 62);
        s.writeBoolean("Costing2", "DefaultItem", true);
        s.writeString("Costing3", "X", "y");
        s.removeSection("Costing3");
        s.sync();
    }
    // It holds scrambled passwords.
    EXPECT_EQ(QFile::permissions(path()) & ~(QFile::ReadUser | QFile::WriteUser),
              QFile::ReadOwner | QFile::WriteOwner);
    IniSettingsStore s(path());
    EXPECT_EQ(s.readString("", "Mail_Application", ""), "/usr/bin/mail, with comma");
    EXPECT_EQ(s.readInteger("Costing1", "Days", 0), 62);
    EXPECT_TRUE(s.readBoolean("Costing2", "DefaultItem", false));
    EXPECT_EQ(s.sections(), QStringList({"Costing1", "Costing2"}));
    s.removeValue("Costing1", "Days");
    EXPECT_FALSE(s.value("Costing1", "Days").has_value());
    s.removeSection("");
    EXPECT_TRUE(s.sections().isEmpty());
}

TEST_F(IniStore, HandEditedListValueIsJoinedBack) {
    {
        QDir().mkpath(dir.filePath("sub"));
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[General]\nProxy=a,b,c\nShow_Time=garbage\n");
    }
    IniSettingsStore s(path());
    EXPECT_EQ(s.readString("", "Proxy", ""), "a,b,c");
    EXPECT_TRUE(s.readBoolean("", "Show_Time", true));
}

TEST(IniStorePath, EnvironmentChoosesTheFile) {
    qputenv("VORN_CONFIG", "/tmp/x/vorn.conf");
    EXPECT_EQ(IniSettingsStore::defaultPath(), "/tmp/x/vorn.conf");
    qunsetenv("VORN_CONFIG");
    qputenv("XDG_CONFIG_HOME", "/cfg");
    EXPECT_EQ(IniSettingsStore::defaultPath(), "/cfg/Ostrand Labs/VORN.conf");
}

TEST(TestEnvironment, EveryVariableReachesTheTest) {
    // Tests must never touch the user's own settings or runtime folder.
    EXPECT_TRUE(qEnvironmentVariable("XDG_RUNTIME_DIR").endsWith("test-env/runtime"));
    EXPECT_TRUE(qEnvironmentVariable("XDG_CONFIG_HOME").endsWith("test-env/config"));
    EXPECT_FALSE(qEnvironmentVariable("VORN_BINARY_DIR").isEmpty());
    EXPECT_EQ(qEnvironmentVariable("QT_QPA_PLATFORM"), "offscreen");
}
