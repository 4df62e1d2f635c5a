#include "calllog/call_log_file.h"
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

} // namespace

TEST_F(CallLogFile, AppendsAtTheRecordBoundary) {
    EXPECT_TRUE(calllog::readAll(path()).isEmpty()); // missing: empty, not an error
    AppendLogEntry(path(), entry(1));
    EXPECT_EQ(bytes(), calllog::encodeRecord(entry(1)));

    writeBytes({});
    AppendLogEntry(path(), entry(1), true);
    EXPECT_EQ(bytes().size(), 92);

    writeRecords({entry(1), entry(2)}, QByteArray(91, '\x11'));
    EXPECT_EQ(calllog::recordCount(path()), 2);
    EXPECT_EQ(calllog::readAll(path()), QList({entry(1), entry(2)}));
    AppendLogEntry(path(), entry(3));
    EXPECT_EQ(bytes().size(), 3 * 92); // over the fragment, not after it
    EXPECT_EQ(calllog::readAll(path()), QList({entry(1), entry(2), entry(3)}));
}

TEST_F(CallLogFile, RecordsByNumberAndRemoval) {
    writeRecords({entry(1), entry(2), entry(3)}, "xy");
    EXPECT_EQ(calllog::readRecord(path(), 1), entry(2));
    calllog::writeRecord(path(), 2, entry(9));
    EXPECT_EQ(calllog::readRecord(path(), 2), entry(9));

    QByteArray before = bytes();
    before[44] = 30; // a damaged length byte survives a removal untouched
    writeBytes(before);
    calllog::removeRecords({0, 2}, path());
    before[91] = 1;
    before[2 * 92 + 91] = 1;
    EXPECT_EQ(bytes(), before);

    // Only whole records can be addressed, and a missing log is not created.
    EXPECT_THROW(calllog::readRecord(path(), 3), InOutError);
    EXPECT_THROW(calllog::writeRecord(path(), -1, entry(4)), InOutError);
    EXPECT_THROW(calllog::removeRecords({3}, path()), InOutError);
    EXPECT_THROW(calllog::writeRecord(path("none.bin"), 0, entry(4)), InOutError);
    EXPECT_FALSE(QFile::exists(path("none.bin")));

    EXPECT_TRUE(calllog::resetLog(path()));
    EXPECT_FALSE(QFile::exists(path()));
}

TEST_F(CallLogFile, FailuresNameTheFile) {
    QDir(dir.path()).mkdir("log070.bin");
    try {
        AppendLogEntry(path(), entry(1));
        FAIL() << "no error";
    } catch (const InOutError& e) {
        EXPECT_TRUE(e.message().contains(path())) << e.message().toStdString();
    }
    EXPECT_THROW(calllog::readAll(path()), InOutError);
    EXPECT_THROW(AppendLogEntry(path("no/folder/log070.bin"), entry(1)), InOutError);
    EXPECT_THROW(AppendLogEntry("/dev/full", entry(1)), InOutError); // disk full
}

TEST_F(CallLogFile, CompactionKeepsLiveRecordsAndACopy) {
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

    writeRecords({entry(1, 1), entry(2, 7)});
    EXPECT_TRUE(CompactCallLog(dir.path()));
    EXPECT_TRUE(QFile::exists(path()));
    EXPECT_EQ(bytes().size(), 0);
    EXPECT_EQ(bytes("call.cmp").size(), 2 * 92);
}

TEST_F(CallLogFile, DyingBeforeTheRenameLeavesTheOldLogIntact) {
    writeRecords({entry(1, 1), entry(2), entry(3, 1)});
    const QByteArray original = bytes();
    struct Died {};
    EXPECT_THROW(CompactCallLog(dir.path(), [] { throw Died{}; }), Died);
    EXPECT_EQ(bytes(), original);
    EXPECT_EQ(bytes("call.new"), calllog::encodeRecord(entry(2)));
    EXPECT_TRUE(CompactCallLog(dir.path())); // the next start simply compacts again
    EXPECT_EQ(calllog::readAll(path()), QList({entry(2)}));
}

TEST_F(CallLogFile, BackupCopiesWhatExists) {
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

TEST_F(CallLogFile, OldLogReadsWholeRecordsOnly) {
    QByteArray content = calllog::encodeRecord(entry(1)).left(88);
    content[86] = 1;
    content += calllog::encodeRecord(entry(2)).left(88) + "abc";
    writeBytes(content, "call_log.bin");
    const auto old = calllog::readOldLog(path("call_log.bin"));
    ASSERT_EQ(old.size(), 2);
    EXPECT_TRUE(old[0].isDeleted());
    EXPECT_EQ(old[1].Start, 2);
}
