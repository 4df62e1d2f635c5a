#include "calllog/call_log_file.h"
#include "calllog/in_out_error.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

typCallLogInformation entry(double start, const QString& connectoid = "Modem", quint8 deleted = 0) {
    typCallLogInformation r;
    r.Start = start;
    r.Finish = start + 0.01;
    r.Cost_Inc = 0.5;
    r.Cost_Exc = 0.6;
    r.Connectoid_Name = connectoid;
    r.User_Name = "anna";
    r.Deleted = deleted;
    return r;
}

class CallLogFile : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString logs() const { return dir.path(); }
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
    // Records written straight to the file, flags included.
    void writeRecords(const QList<typCallLogInformation>& records,
                      const QByteArray& tail = {}) const {
        QByteArray content;
        for (const auto& r : records)
            content += calllog::encodeRecord(r);
        writeBytes(content + tail);
    }
};

} // namespace

TEST_F(CallLogFile, MissingLogReadsAsEmptyAndTheFirstAppendCreatesIt) {
    EXPECT_EQ(calllog::logFilePath(logs()), path());
    EXPECT_FALSE(calllog::logExists(path()));
    EXPECT_EQ(calllog::recordCount(path()), 0);
    EXPECT_TRUE(calllog::readAll(path()).isEmpty());
    EXPECT_TRUE(calllog::readOldLog(path("call_log.bin")).isEmpty());

    AppendLogEntry(path(), entry(45000.5));
    EXPECT_EQ(bytes(), calllog::encodeRecord(entry(45000.5)));
}

TEST_F(CallLogFile, AppendsAtTheRecordBoundaryOverATrailingFragment) {
    writeBytes({});
    EXPECT_EQ(calllog::recordCount(path()), 0);
    AppendLogEntry(path(), entry(1), true);
    EXPECT_EQ(bytes().size(), 92);

    writeRecords({entry(1), entry(2)}, QByteArray(91, '\x11'));
    EXPECT_EQ(calllog::recordCount(path()), 2);
    EXPECT_EQ(calllog::readAll(path()), QList({entry(1), entry(2)}));

    AppendLogEntry(path(), entry(3));
    EXPECT_EQ(bytes().size(), 3 * 92); // the fragment is gone, not pushed along
    EXPECT_EQ(calllog::readAll(path()), QList({entry(1), entry(2), entry(3)}));
}

TEST_F(CallLogFile, ReadsAndRewritesOneRecordByNumber) {
    writeRecords({entry(1), entry(2), entry(3)}, "xy");
    EXPECT_EQ(calllog::readRecord(path(), 1), entry(2));
    calllog::writeRecord(path(), 2, entry(9, "Other"));
    EXPECT_EQ(calllog::readAll(path()), QList({entry(1), entry(2), entry(9, "Other")}));
    EXPECT_TRUE(bytes().endsWith("xy"));

    // Only whole records can be addressed, and a missing log is not created.
    EXPECT_THROW(calllog::readRecord(path(), 3), InOutError);
    EXPECT_THROW(calllog::readRecord(path(), -1), InOutError);
    EXPECT_THROW(calllog::writeRecord(path(), 3, entry(4)), InOutError);
    EXPECT_THROW(calllog::readRecord(path("none.bin"), 0), InOutError);
    EXPECT_THROW(calllog::writeRecord(path("none.bin"), 0, entry(4)), InOutError);
    EXPECT_FALSE(QFile::exists(path("none.bin")));
}

TEST_F(CallLogFile, RemoveSetsOnlyTheFlag) {
    writeRecords({entry(1), entry(2), entry(3)});
    QByteArray before = bytes();
    before[44] = 30; // a damaged length byte must survive untouched
    writeBytes(before);

    calllog::removeRecords({0, 2}, path());
    QByteArray expected = before;
    expected[91] = 1;
    expected[2 * 92 + 91] = 1;
    EXPECT_EQ(bytes(), expected);
    EXPECT_THROW(calllog::removeRecords({5}, path()), InOutError);
}

TEST_F(CallLogFile, ResetDeletesTheLog) {
    writeRecords({entry(1)});
    EXPECT_TRUE(calllog::resetLog(path()));
    EXPECT_FALSE(QFile::exists(path()));
    EXPECT_TRUE(calllog::resetLog(path()));
}

TEST_F(CallLogFile, FailuresNameTheFileAndReason) {
    // A folder where the log should be.
    QDir(logs()).mkdir("log070.bin");
    try {
        AppendLogEntry(path(), entry(1));
        FAIL() << "no error";
    } catch (const InOutError& e) {
        EXPECT_TRUE(e.message().contains(path())) << e.message().toStdString();
        EXPECT_EQ(QString::fromStdString(e.what()), e.message());
    }
    EXPECT_THROW(calllog::readAll(path()), InOutError);
    EXPECT_THROW(AppendLogEntry(dir.filePath("no/such/folder/log070.bin"), entry(1)), InOutError);
    // A full disk.
    EXPECT_THROW(AppendLogEntry("/dev/full", entry(1)), InOutError);
}

TEST_F(CallLogFile, CompactionKeepsLiveRecordsInOrderAndACopy) {
    writeRecords({entry(1), entry(2, "Modem", 1), entry(3), entry(4, "Modem", 2), entry(5)},
                 "frag");
    const QByteArray original = bytes();
    writeBytes("stale", "call.new");
    writeBytes("old copy", "call.cmp");

    EXPECT_TRUE(CompactCallLog(logs()));
    EXPECT_EQ(calllog::readAll(path()), QList({entry(1), entry(3), entry(5)}));
    EXPECT_EQ(bytes().size(), 3 * 92);
    EXPECT_EQ(bytes("call.cmp"), original);
    EXPECT_FALSE(QFile::exists(path("call.new")));
}

TEST_F(CallLogFile, CompactionOfAnAllRemovedLogLeavesAnEmptyFile) {
    writeRecords({entry(1, "a", 1), entry(2, "b", 7)});
    const QByteArray original = bytes();
    EXPECT_TRUE(CompactCallLog(logs()));
    EXPECT_TRUE(QFile::exists(path()));
    EXPECT_EQ(bytes().size(), 0);
    EXPECT_EQ(bytes("call.cmp"), original);
}

TEST_F(CallLogFile, CompactionWithoutALogDoesNothing) {
    EXPECT_FALSE(CompactCallLog(logs()));
    EXPECT_TRUE(QDir(logs()).isEmpty());
}

TEST_F(CallLogFile, DyingBeforeTheRenameLeavesTheOldLogIntact) {
    writeRecords({entry(1, "a", 1), entry(2), entry(3, "c", 1)});
    const QByteArray original = bytes();
    struct Died {};
    EXPECT_THROW(CompactCallLog(logs(), [] { throw Died{}; }), Died);
    EXPECT_EQ(bytes(), original);
    // call.new was complete and on the disk; the next start simply compacts again.
    EXPECT_EQ(bytes("call.new"), calllog::encodeRecord(entry(2)));
    EXPECT_TRUE(CompactCallLog(logs()));
    EXPECT_EQ(calllog::readAll(path()), QList({entry(2)}));
    EXPECT_FALSE(QFile::exists(path("call.new")));
}

TEST_F(CallLogFile, LargeLogCompactsAcrossChunks) {
    QList<typCallLogInformation> all, live;
    for (int i = 0; i < 10000; ++i) {
        all.append(entry(i, "x", i % 3 == 0 ? 1 : 0));
        if (i % 3 != 0)
            live.append(entry(i, "x"));
    }
    writeRecords(all);
    EXPECT_TRUE(CompactCallLog(logs()));
    EXPECT_EQ(calllog::readAll(path()), live);
}

TEST_F(CallLogFile, BackupCopiesWhatExists) {
    writeRecords({entry(1)});
    writeBytes("secret", "password.bin");
    QFile::setPermissions(path("password.bin"), QFile::ReadOwner | QFile::WriteOwner);
    writeBytes("older", "call.bak");
    calllog::backupDataFiles(logs());
    EXPECT_EQ(bytes("call.bak"), bytes());
    EXPECT_EQ(bytes("password.bak"), "secret");
    // The copy of a secret is no more readable than the secret.
    const auto perms = QFile::permissions(path("password.bak"));
    EXPECT_TRUE(perms & QFile::ReadOwner);
    EXPECT_FALSE(perms & (QFile::ReadGroup | QFile::ReadOther));
    EXPECT_FALSE(QFile::exists(path("awlog.bak")));
}

TEST_F(CallLogFile, OldLogReadsWholeRecordsOnly) {
    QByteArray content = calllog::encodeRecord(entry(1)).left(88);
    content[86] = 1;
    content += calllog::encodeRecord(entry(2)).left(88);
    content[88 + 86] = 0;
    writeBytes(content + "abc", "call_log.bin");
    const auto old = calllog::readOldLog(path("call_log.bin"));
    ASSERT_EQ(old.size(), 2);
    EXPECT_TRUE(old[0].isDeleted());
    EXPECT_EQ(old[1].Start, 2);
    EXPECT_EQ(old[1].Connectoid_Name, "Modem");
}
