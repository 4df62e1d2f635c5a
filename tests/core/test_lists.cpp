// The list tables, the password file, the folders the program's files come from, and the
// user's name.
#include "core/connectoid_names.h"
#include "core/data_folders.h"
#include "core/lists.h"
#include "core/password_file.h"
#include "core/user_name.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

TEST(Lists, DeleteMovesTheLaterEntriesDownAndFreesTheSlotAfterTheLast) {
    for (int used : {3, 75}) {
        for (int k : {1, 2, used}) {
            CostingTable t;
            for (int i = 1; i <= used; ++i)
                t[i].ChargePerMin = i;
            deleteAtIndex(t, k);
            QList<double> actual, expected;
            for (int i = 1; i <= CostingTable::Capacity; ++i) {
                actual << t[i].ChargePerMin;
                expected << (i >= used ? -1.0 : (i < k ? i : i + 1));
            }
            EXPECT_EQ(actual, expected) << "delete " << k << " of " << used;
            EXPECT_EQ(usedCount(t), used - 1);
        }
    }
    ApplicationTable t;
    t[1].Filename = "/bin/true";
    deleteAtIndex(t, 0);
    deleteAtIndex(t, 61);
    EXPECT_EQ(t[1].Filename, "/bin/true");
    // Clearing charge bands only resets the free marker.
    CostingTable bands;
    bands[1] = {"A", 0.25, 0.5, 0, 0, 62, 0.02, 0};
    ClearCostings(bands);
    EXPECT_EQ(bands[1].ChargePerMin, -1.0);
    EXPECT_EQ(bands[1].Connectoid_Name, "A");
    EXPECT_EQ(FreshApplication({"Dial Home", "/usr/bin/mail", "/tmp", "-x", 1, 2, 1, 30}),
              (typApplicationInformation{"Dial Home", "", "", "", 0, 0, 0, 0}));
}

TEST(Lists, NamesAreCutAutoExcludesMatchAnywhereAndScramblingUndoesItself) {
    ConnectoidNameTable names;
    QStringList book;
    for (int i = 0; i < 120; ++i)
        book << QString("Provider number %1 with a long name").arg(i);
    names.fill(book);
    EXPECT_EQ(names[1], "Provider number 0 wi");
    EXPECT_EQ(names[99].size(), 20);
    EXPECT_TRUE(names[100].isEmpty());

    AutoExcludeTable t;
    t[4].Text = "stale";
    SetDefaultAutoExcludes(t);
    EXPECT_EQ(QStringList({t[1].Text, t[2].Text, t[3].Text, t[4].Text}),
              QStringList({"\\channels\\", "\\links\\", "\\media\\", ""}));
    EXPECT_TRUE(IsAutoExcluded(t, "c:\\favorites\\LINKS\\x.url"));
    EXPECT_FALSE(IsAutoExcluded(t, "C:\\Favorites\\linkstore\\x.url"));
    EXPECT_FALSE(IsAutoExcluded(t, ""));
    t[5].Text = "\\news\\"; // an entry behind a gap is never looked at
    EXPECT_FALSE(IsAutoExcluded(t, "C:\\Favorites\\News\\a.url"));

    EXPECT_EQ(ScramblePassword("abc"), ";89"); // 0x61 ^ 0x5A is 0x3B
    const QString odd = QStringLiteral("Zé€\U0001F600");
    EXPECT_EQ(ScramblePassword(ScramblePassword(odd)), odd);

    EXPECT_EQ(UserNameTextFrom("  alice  "), "alice");
    EXPECT_EQ(UserNameTextFrom(QString(30, u'x')), QString(25, u'x'));
    EXPECT_EQ(UserNameTextFrom("   "), "Default");
    const QString name = GetUserNameText();
    EXPECT_TRUE(!name.isEmpty() && name.size() <= 25 && name == name.trimmed());
}

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

TEST_F(PasswordFile, RecordsAreLengthPrefixedCodePageTextsClampedToTheirFields) {
    const QByteArray r = passwordfile::encodeRecord(entry("Bank", "ab", "Z", "hi"));
    ASSERT_EQ(r.size(), 174);
    // Company at 0, user name at 41, password at 82, comments at 123; credentials scrambled.
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

    // Corrupt length bytes: each field is its own 40 (or 50) bytes, nothing of the next.
    QByteArray corrupt(174, 'A');
    for (int at : {0, 41, 82, 123})
        corrupt[at] = char(255);
    writeRaw(corrupt + corrupt);
    const PasswordTable t = readBack();
    const auto As = [](int n, char c = 'A') { return QString(n, QChar(c)); };
    EXPECT_EQ(t[1], entry(As(40), As(40, 'A' ^ 0x5A), As(40, 'A' ^ 0x5A), As(50)));
    EXPECT_EQ(t[2], t[1]);
    EXPECT_EQ(findFreeSlot(t), 3);
}

TEST_F(PasswordFile, RoundTripIsOwnerOnlyAndReadsWholeRecordsAtMost75WithoutGaps) {
    PasswordTable t;
    t[1] = entry("First");
    t[2] = entry("Second", "bob", "Zz\tX", "");
    ASSERT_TRUE(passwordfile::write(path(), t));
    EXPECT_EQ(QFileInfo(path()).permissions() & ~(QFile::ReadUser | QFile::WriteUser),
              QFile::ReadOwner | QFile::WriteOwner);
    PasswordTable back;
    back[5] = entry("stale"); // whatever memory held is replaced
    ASSERT_EQ(passwordfile::read(path(), back), passwordfile::ReadResult::Read);
    EXPECT_EQ(back, t);

    // Ten and a half records, one of them without a company.
    QByteArray records;
    for (int i = 1; i <= 10; ++i)
        records += passwordfile::encodeRecord(entry(i == 3 ? "" : QString::number(i)));
    writeRaw(records + QByteArray(87, 'x'));
    back = readBack();
    EXPECT_EQ(findFreeSlot(back), 10);
    EXPECT_EQ(back[3].Company, "4");
    records.clear();
    for (int i = 1; i <= 80; ++i)
        records += passwordfile::encodeRecord(entry(QString::number(i)));
    writeRaw(records);
    back = readBack();
    EXPECT_EQ(findFreeSlot(back), 0);
    EXPECT_EQ(back[75].Company, "75");
}

TEST_F(PasswordFile, AMissingUnreadableOrUnwritableFileLeavesTableAndOldFileAsTheyWere) {
    PasswordTable t;
    t[1] = entry("old");
    EXPECT_EQ(passwordfile::read(path(), t), passwordfile::ReadResult::Missing);
    EXPECT_EQ(t[1].Company, "old");
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

    // A folder where the file should be cannot be read or written as one.
    QFile::remove(path());
    QDir().mkpath(path());
    EXPECT_EQ(passwordfile::read(path(), t), passwordfile::ReadResult::Failed);
    EXPECT_EQ(t[1].Company, "new");
    EXPECT_FALSE(passwordfile::write(path(), t));
    EXPECT_TRUE(QFileInfo(path()).isDir());
}

TEST(DataFolders, ProgramFolderBesideTheBinaryAndDataFoldersAndTheFirstHoldingTheFileWins) {
    QTemporaryDir program, dataHome;
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());
    const QStringList folders = dataFolders(QStringLiteral("/home/u/VORN/"));
    ASSERT_GE(folders.size(), 3);
    EXPECT_EQ(
        folders.mid(0, 3),
        QStringList({"/home/u/VORN",
                     QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../share/vorn"),
                     dataHome.filePath("vorn")}));

    const auto put = [](const QString& path) {
        QDir().mkpath(QFileInfo(path).path());
        QFile(path).open(QIODevice::WriteOnly);
    };
    const QString name = "help/index.html", own = program.filePath(name),
                  shared = dataHome.filePath("vorn/" + name);
    EXPECT_EQ(locateProgramFile(program.path(), name), own) << "missing: where it belongs";
    put(shared);
    EXPECT_EQ(locateProgramFile(program.path(), name), shared);
    put(own);
    EXPECT_EQ(locateProgramFile(program.path(), name), own) << "the user's own copy first";
    QDir().mkpath(program.filePath("whenconnected.wav"));
    put(dataHome.filePath("vorn/whenconnected.wav"));
    EXPECT_EQ(locateProgramFile(program.path(), "whenconnected.wav"),
              dataHome.filePath("vorn/whenconnected.wav"))
        << "a folder of that name is no file";
    qputenv("XDG_DATA_HOME", saved);
}
