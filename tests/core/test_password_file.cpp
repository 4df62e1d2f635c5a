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
};

} // namespace

TEST_F(PasswordFile, RecordLayoutIsLengthPrefixedLatin1WithScrambledCredentials) {
    const QByteArray r = passwordfile::encodeRecord(entry("Bank", "ab", "Z", "hi"));
    ASSERT_EQ(r.size(), 174);
    EXPECT_EQ(r[0], 4);
    EXPECT_EQ(r.mid(1, 4), "Bank");
    EXPECT_EQ(r[41], 2);
    EXPECT_EQ(r[42], char('a' ^ 0x5A));
    EXPECT_EQ(r[43], char('b' ^ 0x5A));
    EXPECT_EQ(r[82], 1);
    EXPECT_EQ(r[83], char('Z' ^ 0x5A));
    EXPECT_EQ(r[123], 2);
    EXPECT_EQ(r.mid(124, 2), "hi");
}

TEST_F(PasswordFile, TextsAreCutToTheirFieldsAndNonLatin1BecomesQuestionMarks) {
    const auto e = entry(QString(45, u'c'), QString(41, u'u'), QStringLiteral("p€\U0001F600s"),
                         QString(60, u'm'));
    const QByteArray r = passwordfile::encodeRecord(e);
    const typPasswordInformation back = passwordfile::decodeRecord(r.constData());
    EXPECT_EQ(back.Company, QString(40, u'c'));
    EXPECT_EQ(back.UserName, QString(40, u'u'));
    EXPECT_EQ(back.Password, "p??s");
    EXPECT_EQ(back.Comments, QString(50, u'm'));
    EXPECT_EQ(passwordfile::decodeRecord(passwordfile::encodeRecord(entry("Café", "é")).constData())
                  .UserName,
              "é");
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
    EXPECT_EQ(back[1].Company, "First");
    EXPECT_EQ(back[2].UserName, "bob");
    EXPECT_EQ(back[2].Password, "Zz\tX");
    EXPECT_EQ(back[3].Company, "Third");
    EXPECT_EQ(findFreeSlot(back), 4);
}

TEST_F(PasswordFile, ReadsWholeRecordsOnlyAndAtMost75) {
    PasswordTable ten;
    for (int i = 1; i <= 10; ++i)
        ten[i] = entry(QString::number(i));
    ASSERT_TRUE(passwordfile::write(path(), ten));
    QFile f(path());
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write(QByteArray(87, 'x')); // half a record
    f.close();
    PasswordTable back;
    ASSERT_EQ(passwordfile::read(path(), back), passwordfile::ReadResult::Read);
    EXPECT_EQ(findFreeSlot(back), 11);
    EXPECT_EQ(back[10].Company, "10");

    QByteArray eighty;
    for (int i = 1; i <= 80; ++i)
        eighty += passwordfile::encodeRecord(entry(QString::number(i)));
    writeRaw(eighty);
    ASSERT_EQ(passwordfile::read(path(), back), passwordfile::ReadResult::Read);
    EXPECT_EQ(findFreeSlot(back), 0);
    EXPECT_EQ(back[75].Company, "75");
}

TEST_F(PasswordFile, CorruptLengthBytesAreClampedToTheirFields) {
    QByteArray r(174, 'A');
    r[0] = char(255);
    r[41] = char(255);
    r[82] = char(255);
    r[123] = char(255);
    writeRaw(r + r);
    PasswordTable back;
    ASSERT_EQ(passwordfile::read(path(), back), passwordfile::ReadResult::Read);
    // Each field is its own 40 (or 50) bytes; nothing from the next field or record.
    EXPECT_EQ(back[1].Company, QString(40, u'A'));
    EXPECT_EQ(back[1].UserName, QString(40, QChar('A' ^ 0x5A)));
    EXPECT_EQ(back[1].Comments, QString(50, u'A'));
    EXPECT_EQ(back[2].Company, QString(40, u'A'));
    EXPECT_EQ(findFreeSlot(back), 3);
}

TEST_F(PasswordFile, EmptyCompanyRecordsLeaveNoGap) {
    writeRaw(passwordfile::encodeRecord(entry("A")) + passwordfile::encodeRecord(entry("")) +
             passwordfile::encodeRecord(entry("C")));
    PasswordTable back;
    ASSERT_EQ(passwordfile::read(path(), back), passwordfile::ReadResult::Read);
    EXPECT_EQ(back[2].Company, "C");
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
    PasswordTable back;
    ASSERT_EQ(passwordfile::read(path(), back), passwordfile::ReadResult::Read);
    EXPECT_EQ(back[1].Company, "old");
    EXPECT_EQ(findFreeSlot(back), 2);
    EXPECT_EQ(QDir(dir.filePath("Logs")).entryList(QDir::Files), QStringList{"password.bin"});
}
