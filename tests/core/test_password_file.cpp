#include "core/password_file.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

typPasswordInformation entry(const QString& company, const QString& user = "user",
                             const QString& password = "secret", const QString& comments = "note") {
    return {company, user, password, comments};
}

class PasswordFile : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath("Logs/password.bin"); }

    void writeRaw(const QByteArray& bytes) {
        QDir().mkpath(dir.filePath("Logs"));
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    PasswordTable readBack() const {
        PasswordTable t;
        EXPECT_EQ(passwordfile::read(path(), t), passwordfile::ReadResult::Read);
        return t;
    }
};

} // namespace

TEST_F(PasswordFile, RecordsAreLengthPrefixedCodePageTextsWithScrambledCredentials) {
    const QByteArray r = passwordfile::encodeRecord(entry("Bank", "ab", "Z", "hi"));
    ASSERT_EQ(r.size(), 174);
    // Company at 0, user name at 41, password at 82, comments at 123.
    EXPECT_EQ(r.mid(0, 5), QByteArray(1, 4) + "Bank");
    EXPECT_EQ(r.mid(41, 3), QByteArray(1, 2) + char('a' ^ 0x5A) + char('b' ^ 0x5A));
    EXPECT_EQ(r.mid(82, 2), QByteArray(1, 1) + char('Z' ^ 0x5A));
    EXPECT_EQ(r.mid(123, 3), QByteArray(1, 2) + "hi");

    // Texts are cut to their fields; one '?' per character outside the code page.
    const auto back = passwordfile::decodeRecord(
        passwordfile::encodeRecord(entry(QString(45, u'c'), QString(41, u'u'),
                                         QStringLiteral("p€\U0001F600sł"), QString(60, u'm')))
            .constData());
    EXPECT_EQ(back, entry(QString(40, u'c'), QString(40, u'u'), "p€?s?", QString(50, u'm')));
}

TEST_F(PasswordFile, RoundTripKeepsSlotOrderAndIsOwnerOnly) {
    PasswordTable t;
    t[1] = entry("First");
    t[2] = entry("Second", "bob", "Zz\tX", "");
    t[3] = entry("Third");
    ASSERT_TRUE(passwordfile::write(path(), t));
    EXPECT_EQ(QFileInfo(path()).size(), 3 * 174);
    const auto mode = QFileInfo(path()).permissions();
    EXPECT_TRUE(mode.testFlags(QFile::ReadOwner | QFile::WriteOwner));
    EXPECT_FALSE(mode & (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther |
                         QFile::WriteOther | QFile::ExeGroup | QFile::ExeOther));

    PasswordTable back;
    back[5] = entry("stale"); // whatever memory held is replaced
    ASSERT_EQ(passwordfile::read(path(), back), passwordfile::ReadResult::Read);
    EXPECT_EQ(back, t);
}

TEST_F(PasswordFile, ReadsWholeRecordsOnlyAtMost75AndLeavesNoGap) {
    // Ten and a half records, one of them without a company.
    QByteArray tenAndAHalf;
    for (int i = 1; i <= 10; ++i)
        tenAndAHalf += passwordfile::encodeRecord(entry(i == 3 ? "" : QString::number(i)));
    writeRaw(tenAndAHalf + QByteArray(87, 'x'));
    PasswordTable back = readBack();
    EXPECT_EQ(findFreeSlot(back), 10);
    EXPECT_EQ(back[3].Company, "4");
    EXPECT_EQ(back[9].Company, "10");

    QByteArray eighty;
    for (int i = 1; i <= 80; ++i)
        eighty += passwordfile::encodeRecord(entry(QString::number(i)));
    writeRaw(eighty);
    back = readBack();
    EXPECT_EQ(findFreeSlot(back), 0);
    EXPECT_EQ(back[75].Company, "75");
}

TEST_F(PasswordFile, CorruptLengthBytesAreClampedToTheirFields) {
    QByteArray r(174, 'A');
    for (int at : {0, 41, 82, 123})
        r[at] = char(255);
    writeRaw(r + r);
    const PasswordTable back = readBack();
    // Each field is its own 40 (or 50) bytes; nothing from the next field or record.
    const auto As = [](int n, char c = 'A') { return QString(n, QChar(c)); };
    EXPECT_EQ(back[1], entry(As(40), As(40, 'A' ^ 0x5A), As(40, 'A' ^ 0x5A), As(50)));
    EXPECT_EQ(back[2], back[1]);
    EXPECT_EQ(findFreeSlot(back), 3);
}

TEST_F(PasswordFile, MissingOrUnreadableFileLeavesTheTableAsItWas) {
    PasswordTable t;
    t[1] = entry("kept");
    EXPECT_EQ(passwordfile::read(path(), t), passwordfile::ReadResult::Missing);
    EXPECT_EQ(t[1].Company, "kept");

    // A folder where the file should be cannot be read as one.
    QDir().mkpath(path());
    EXPECT_EQ(passwordfile::read(path(), t), passwordfile::ReadResult::Failed);
    EXPECT_EQ(t[1].Company, "kept");
    EXPECT_FALSE(passwordfile::write(path(), t));
    EXPECT_TRUE(QFileInfo(path()).isDir());
}

TEST_F(PasswordFile, AFailedSaveKeepsTheOldFile) {
    PasswordTable t;
    t[1] = entry("old");
    ASSERT_TRUE(passwordfile::write(path(), t));
    for (int i = 1; i <= 10; ++i)
        t[i] = entry("new");

    // The disk "fills up" after 300 bytes: the new file cannot be written completely.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 300;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    QString error;
    const bool written = passwordfile::write(path(), t, &error);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written);
    EXPECT_FALSE(error.isEmpty());
    const PasswordTable back = readBack();
    EXPECT_EQ(back[1].Company, "old");
    EXPECT_EQ(findFreeSlot(back), 2);
    EXPECT_EQ(QDir(dir.filePath("Logs")).entryList(QDir::Files), QStringList{"password.bin"});
}
