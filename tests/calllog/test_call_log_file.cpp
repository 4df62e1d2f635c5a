// The call log file, its record layout and the connectoid lists built from the entries.

#include "calllog/call_log_file.h"
#include "calllog/connectoid_list.h"
#include "calllog/in_out_error.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

typCallLogInformation entry(double start, quint8 deleted = 0) {
    return {start, start + 0.01, 0.5, 0, 0, 0, 0, "Modem", "anna", deleted};
}

class CallLogFile : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString& name = "log070.bin") const { return dir.filePath(name); }
    QByteArray bytes(const QString& name = "log070.bin") const {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void writeBytes(const QByteArray& content, const QString& name = "log070.bin") const {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
    }
    void writeRecords(const QList<typCallLogInformation>& records, const QByteArray& tail = {}) {
        QByteArray content;
        for (const auto& r : records)
            content += calllog::encodeRecord(r);
        writeBytes(content + tail);
    }
};

// A record laid out by hand as the Windows program wrote it; 0x5a fills the bytes that
// carry no meaning.
QByteArray handBuiltRecord() {
    QByteArray b(92, '\x5a');
    // Start 45000.5, Finish 45000.75, Cost_Inc 1.25, Cost_Exc 1.5, Mode 5, Data 0x01020304,
    // Connect_Speed 4294967295.
    b.replace(0, 44,
              QByteArray::fromHex("0000000010f9e5400000000018f9e540000000000000f43f"
                                  "000000000000f83f0500000004030201ffffffff"));
    b.replace(44, 7, "\x06Modem\xe9");
    b.replace(65, 5, QByteArray(1, 4) + "anna");
    b[91] = 0;
    return b;
}

ConnectoidNameTable table(const QStringList& names) {
    ConnectoidNameTable t;
    t.fill(names);
    return t;
}

QStringList used(const ConnectoidNameTable& t) {
    QStringList out;
    for (const QString& s : t.slots)
        if (!s.isEmpty())
            out << s;
    return out;
}

} // namespace

TEST_F(CallLogFile, AppendsReadsRewritesAndRemovesWholeRecords) {
    EXPECT_TRUE(calllog::readAll(path()).isEmpty()); // missing: empty, not an error
    AppendLogEntry(path(), entry(1), true);
    EXPECT_EQ(bytes(), calllog::encodeRecord(entry(1)));

    writeRecords({entry(1), entry(2)}, QByteArray(91, '\x11'));
    EXPECT_EQ(calllog::recordCount(path()), 2);
    AppendLogEntry(path(), entry(3));
    EXPECT_EQ(bytes().size(), 3 * 92); // over the fragment, not after it
    EXPECT_EQ(calllog::readAll(path()), QList({entry(1), entry(2), entry(3)}));
    EXPECT_EQ(calllog::readRecord(path(), 1), entry(2));
    calllog::writeRecord(path(), 2, entry(9));
    EXPECT_EQ(calllog::readRecord(path(), 2), entry(9));

    QByteArray before = bytes();
    before[44] = 30; // a damaged length byte survives a removal untouched
    writeBytes(before);
    calllog::removeRecords({0, 2}, path());
    before[91] = before[2 * 92 + 91] = 1;
    EXPECT_EQ(bytes(), before);

    // Only whole records can be addressed, and a missing log is not created.
    EXPECT_THROW(calllog::readRecord(path(), 3), InOutError);
    EXPECT_THROW(calllog::writeRecord(path(), -1, entry(4)), InOutError);
    EXPECT_THROW(calllog::removeRecords({3}, path()), InOutError);
    EXPECT_THROW(calllog::writeRecord(path("none.bin"), 0, entry(4)), InOutError);
    EXPECT_FALSE(QFile::exists(path("none.bin")));
    EXPECT_TRUE(calllog::resetLog(path()));
    EXPECT_FALSE(QFile::exists(path()));

    // Failures name the file: a folder in its place, no folder, a full disk.
    QDir(dir.path()).mkdir("log070.bin");
    try {
        AppendLogEntry(path(), entry(1));
        ADD_FAILURE() << "no error";
    } catch (const InOutError& e) {
        EXPECT_TRUE(e.message().contains(path())) << e.message().toStdString();
    }
    EXPECT_THROW(calllog::readAll(path()), InOutError);
    EXPECT_THROW(AppendLogEntry(path("no/folder/log070.bin"), entry(1)), InOutError);
    EXPECT_THROW(AppendLogEntry("/dev/full", entry(1)), InOutError);
    QString error;
    QDir(dir.path()).mkpath("log070.bin/inside"); // a folder that will not go
    EXPECT_FALSE(calllog::resetLog(path(), &error));
    EXPECT_TRUE(error.contains(path())) << error.toStdString();
}

TEST_F(CallLogFile, CompactionKeepsLiveRecordsAndACopyAndSurvivesDyingBeforeTheRename) {
    EXPECT_FALSE(CompactCallLog(dir.path()));
    EXPECT_TRUE(QDir(dir.path()).isEmpty());

    QList<typCallLogInformation> all, live;
    for (int i = 0; i < 9000; ++i) { // more than one pass of the copy loop
        all.append(entry(i, i % 3 == 0 ? quint8(1 + i % 2) : 0));
        if (i % 3 != 0)
            live.append(entry(i));
    }
    writeRecords(all, "frag");
    const QByteArray original = bytes();
    writeBytes("stale", "call.new");
    EXPECT_TRUE(CompactCallLog(dir.path()));
    EXPECT_EQ(calllog::readAll(path()), live);
    EXPECT_EQ(bytes().size(), live.size() * 92);
    EXPECT_EQ(bytes("call.cmp"), original);
    EXPECT_FALSE(QFile::exists(path("call.new")));

    writeRecords({entry(1, 1), entry(2), entry(3, 7)});
    const QByteArray three = bytes();
    struct Died {};
    EXPECT_THROW(CompactCallLog(dir.path(), [] { throw Died{}; }), Died);
    EXPECT_EQ(bytes(), three);
    EXPECT_EQ(bytes("call.new"), calllog::encodeRecord(entry(2)));
    EXPECT_TRUE(CompactCallLog(dir.path())); // the next start simply compacts again
    EXPECT_EQ(calllog::readAll(path()), QList({entry(2)}));

    writeRecords({entry(1, 1)});
    EXPECT_TRUE(CompactCallLog(dir.path()));
    EXPECT_TRUE(QFile::exists(path()));
    EXPECT_EQ(bytes().size(), 0);
}

TEST_F(CallLogFile, BackupCopiesWhatExistsOwnerOnly) {
    writeRecords({entry(1)});
    writeBytes("secret", "password.bin");
    QFile::setPermissions(path("password.bin"), QFile::ReadOwner | QFile::WriteOwner);
    writeBytes("older", "call.bak");
    calllog::backupDataFiles(dir.path());
    EXPECT_EQ(bytes("call.bak"), bytes());
    EXPECT_EQ(bytes("password.bak"), "secret");
    EXPECT_FALSE(QFile::permissions(path("password.bak")) & QFile::ReadOther);
    EXPECT_FALSE(QFile::exists(path("awlog.bak")));
}

TEST(CallLogRecord, LayoutMatchesHandBuiltBytes) {
    QByteArray bytes = handBuiltRecord();
    const typCallLogInformation r = calllog::decodeRecord(bytes.constData());
    EXPECT_EQ(r, (typCallLogInformation{45000.5, 45000.75, 1.25, 1.5, 5, 0x01020304u, 4294967295u,
                                        "Modemé", "anna", 0}));
    // Written back, the same bytes with the unused text bytes zeroed.
    QByteArray expected = bytes;
    expected.replace(51, 14, QByteArray(14, '\0'));
    expected.replace(70, 21, QByteArray(21, '\0'));
    EXPECT_EQ(calllog::encodeRecord(r).toHex(' '), expected.toHex(' '));

    bytes[91] = 2;
    EXPECT_TRUE(calllog::decodeRecord(bytes.constData()).isDeleted());
    bytes[44] = '\xff';
    bytes[65] = 26;
    const typCallLogInformation damaged = calllog::decodeRecord(bytes.constData());
    EXPECT_EQ(damaged.Connectoid_Name.size(), 20);
    EXPECT_EQ(damaged.User_Name.size(), 25); // never reads the flag byte as text

    // More distinct names than the cache holds, each coming back after eviction.
    calllog::TextCache cache;
    for (int i = 0; i < 120; ++i) {
        typCallLogInformation t;
        t.Connectoid_Name = QStringLiteral("Entry %1").arg(i % 40);
        QByteArray b = calllog::encodeRecord(t);
        if (i % 40 == 7)
            b[44] = 50;
        EXPECT_EQ(calllog::decodeRecord(b.constData(), cache),
                  calllog::decodeRecord(b.constData()));
    }
}

TEST(CallLogRecord, TextsAreCutToTheirFieldsInTheCodePage) {
    typCallLogInformation r;
    r.Connectoid_Name = QString(25, u'c');
    r.User_Name = QString(30, u'u');
    QByteArray bytes = calllog::encodeRecord(r);
    EXPECT_EQ(bytes.mid(44, 21), '\x14' + QByteArray(20, 'c'));
    EXPECT_EQ(bytes.mid(65, 26), '\x19' + QByteArray(25, 'u'));

    // Windows-1252: "€" is 0x80; one '?' per character outside it, also beyond the BMP.
    r.Connectoid_Name = QString::fromUtf8("Mobil€ 😀 Ünł");
    bytes = calllog::encodeRecord(r);
    EXPECT_EQ(bytes.mid(44, 13), QByteArray("\x0cMobil\x80 ? \xdcn?"));
    EXPECT_EQ(calllog::decodeRecord(bytes.constData()).Connectoid_Name,
              calllog::fieldText(r.Connectoid_Name, 20));
}

TEST(GetConnectoidList, PseudoEntriesSortingAndFiller) {
    const auto names = table({"Work", "Home", "BT", "Home"});
    for (const auto& [unknown, defaults, expected] :
         {std::tuple{true, true,
                     QStringList{"BT", "Default", "Home", "Home", "Unknown/Other", "Work"}},
          {true, false, {"BT", "Home", "Home", "Unknown/Other", "Work"}},
          {false, true, {"BT", "Default", "Home", "Home", "Work"}}})
        EXPECT_EQ(used(GetConnectoidList(names, unknown, defaults)), expected);

    QStringList many;
    for (int i = 1; i <= 99; ++i)
        many << QStringLiteral("Entry %1").arg(i, 2, 10, QChar(u'0'));
    const auto list = GetConnectoidList(table(many), true, true);
    EXPECT_EQ(used(list).size(), 100);
    EXPECT_FALSE(used(list).contains("Entry 99")); // lost to "Default"
    EXPECT_EQ(list[100], "Unknown/Other");

    const auto afterZ = GetConnectoidList(
        table({"{late}", QString(20, u'z'), "abcd", "abc", QString::fromUtf8("Ärger"), "Ab"}),
        false, false);
    EXPECT_EQ(used(afterZ),
              QStringList({"Ab", "abc", "abcd", "{late}", QString::fromUtf8("Ärger")}));
    EXPECT_EQ(afterZ[99], "{late}"); // after the emptied filler slots
}

TEST(ConnectoidNames, UnknownAndDisplayNames) {
    const auto names = table({"Home", QString::fromUtf8("Mobił")});
    EXPECT_EQ(QList<bool>({IsUnknownConnectoid(names, "Home", false),
                           IsUnknownConnectoid(names, "home", false),
                           IsUnknownConnectoid(names, "Default", false),
                           IsUnknownConnectoid(names, "Default", true)}),
              QList<bool>({false, true, true, false}));
    const ConnectoidGrouping now(names);
    EXPECT_EQ(QStringList({now.displayName("Home"), now.displayName("Mobi?"), now.displayName(""),
                           now.displayName("Default"), now.displayName("Old ISP")}),
              QStringList({"Home", "Mobi?", "Unknown/Other", "Unknown/Other", "Unknown/Other"}));
    EXPECT_EQ(ConnectoidGrouping::everyStoredName().displayName("Old ISP"), "Old ISP");
}
