#include "calllog/call_log_record.h"

#include <gtest/gtest.h>

namespace {

QByteArray hex(const char* text) {
    return QByteArray::fromHex(text);
}

// A record laid out by hand, field by field, as the Windows program wrote it.
QByteArray handBuiltRecord() {
    QByteArray b(92, '\x5a'); // filler: bytes beyond a text's length carry no meaning
    b.replace(0, 8, hex("0000000010f9e540"));  // Start 45000.5
    b.replace(8, 8, hex("0000000018f9e540"));  // Finish 45000.75
    b.replace(16, 8, hex("000000000000f43f")); // Cost_Inc 1.25
    b.replace(24, 8, hex("000000000000f83f")); // Cost_Exc 1.5
    b.replace(32, 4, hex("05000000"));         // Mode 5
    b.replace(36, 4, hex("04030201"));         // Data 0x01020304
    b.replace(40, 4, hex("ffffffff"));         // Connect_Speed 4294967295
    b[44] = 6;
    b.replace(45, 6, "Modem\xe9");
    b[65] = 4;
    b.replace(66, 4, "anna");
    b[91] = 0;
    return b;
}

} // namespace

TEST(CallLogRecord, DecodesHandBuiltBytesAtEveryOffset) {
    const QByteArray bytes = handBuiltRecord();
    const typCallLogInformation r = calllog::decodeRecord(bytes.constData());
    EXPECT_EQ(r.Start, 45000.5);
    EXPECT_EQ(r.Finish, 45000.75);
    EXPECT_EQ(r.Cost_Inc, 1.25);
    EXPECT_EQ(r.Cost_Exc, 1.5);
    EXPECT_EQ(r.Mode, 5);
    EXPECT_EQ(r.Data, 0x01020304u);
    EXPECT_EQ(r.Connect_Speed, 4294967295u);
    EXPECT_EQ(r.Connectoid_Name, QString::fromUtf8("Modemé"));
    EXPECT_EQ(r.User_Name, "anna");
    EXPECT_FALSE(r.isDeleted());

    QByteArray removed = bytes;
    removed[91] = 2;
    EXPECT_TRUE(calllog::decodeRecord(removed.constData()).isDeleted());
}

TEST(CallLogRecord, EncodesTheSameBytesWithZeroedTextTails) {
    typCallLogInformation r;
    r.Start = 45000.5;
    r.Finish = 45000.75;
    r.Cost_Inc = 1.25;
    r.Cost_Exc = 1.5;
    r.Mode = 5;
    r.Data = 0x01020304u;
    r.Connect_Speed = 4294967295u;
    r.Connectoid_Name = QString::fromUtf8("Modemé");
    r.User_Name = "anna";
    QByteArray expected = handBuiltRecord();
    expected.replace(51, 14, QByteArray(14, '\0'));
    expected.replace(70, 21, QByteArray(21, '\0'));
    const QByteArray bytes = calllog::encodeRecord(r);
    ASSERT_EQ(bytes.size(), 92);
    EXPECT_EQ(bytes.toHex(' '), expected.toHex(' '));
    EXPECT_EQ(calllog::decodeRecord(bytes.constData()), r);
}

TEST(CallLogRecord, TextsAreCutToTheirFieldsInLatin1) {
    typCallLogInformation r;
    r.Connectoid_Name = QString(25, u'c');
    r.User_Name = QString(30, u'u');
    QByteArray bytes = calllog::encodeRecord(r);
    EXPECT_EQ(bytes[44], 20);
    EXPECT_EQ(bytes.mid(45, 20), QByteArray(20, 'c'));
    EXPECT_EQ(bytes[65], 25);
    EXPECT_EQ(bytes.mid(66, 25), QByteArray(25, 'u'));
    EXPECT_EQ(bytes[91], 0); // the user name stops before the flag

    // One '?' per character outside Latin-1, also for a character beyond the BMP.
    r.Connectoid_Name = QString::fromUtf8("Mobil€ 😀 Ünï");
    r.User_Name = QString::fromUtf8("Jürgen");
    bytes = calllog::encodeRecord(r);
    EXPECT_EQ(bytes.mid(44, 13), QByteArray("\x0cMobil? ? \xdcn\xef"));
    const typCallLogInformation back = calllog::decodeRecord(bytes.constData());
    EXPECT_EQ(back.Connectoid_Name, QString::fromUtf8("Mobil? ? Ünï"));
    EXPECT_EQ(back.User_Name, QString::fromUtf8("Jürgen"));
    EXPECT_EQ(calllog::fieldText(QString::fromUtf8("Mobil€ 😀 Ünï"), 20), back.Connectoid_Name);
    EXPECT_EQ(calllog::fieldText(QString(22, u'x'), 20).size(), 20);
}

TEST(CallLogRecord, DamagedLengthBytesStayWithinTheirFields) {
    QByteArray bytes = handBuiltRecord();
    bytes[44] = '\xff';
    bytes[65] = 26;
    const typCallLogInformation r = calllog::decodeRecord(bytes.constData());
    EXPECT_EQ(r.Connectoid_Name.size(), 20);
    EXPECT_EQ(r.User_Name.size(), 25);
    EXPECT_FALSE(r.User_Name.contains(QChar(0))); // never reads the flag byte as text
}

TEST(CallLogRecord, OldLayoutKeepsItsFlagAtByte86) {
    QByteArray bytes = handBuiltRecord().left(88);
    bytes.replace(65, 23, QByteArray(23, '\x7f'));
    bytes[86] = 1;
    const typOldCallLogInformation r = calllog::decodeOldRecord(bytes.constData());
    EXPECT_EQ(r.Start, 45000.5);
    EXPECT_EQ(r.Connect_Speed, 4294967295u);
    EXPECT_EQ(r.Connectoid_Name, QString::fromUtf8("Modemé"));
    EXPECT_TRUE(r.isDeleted());
    bytes[86] = 0;
    EXPECT_FALSE(calllog::decodeOldRecord(bytes.constData()).isDeleted());
}

TEST(CallLogRecord, ModeWords) {
    const QStringList words{"Auto", "Insert", "Edit", "Adjust", "Rcvrd", "Discon"};
    for (int mode = 0; mode < words.size(); ++mode)
        EXPECT_EQ(callLogModeText(mode), words[mode]);
    EXPECT_EQ(callLogModeText(6), "ERROR");
    EXPECT_EQ(callLogModeText(-1), "ERROR");
}

TEST(CallLogRecord, SharedTextsDecodeAsWithoutSharing) {
    // More distinct names than the cache holds, each coming back after eviction, and a
    // damaged length byte that must be clamped the same way on both paths.
    calllog::TextCache cache;
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 40; ++i) {
            typCallLogInformation r;
            r.Connectoid_Name = QStringLiteral("Entry %1").arg(i);
            r.User_Name = i % 2 ? QStringLiteral("Entry %1").arg(i) : QString();
            QByteArray bytes = calllog::encodeRecord(r);
            if (i == 7)
                bytes[44] = 50;
            EXPECT_EQ(calllog::decodeRecord(bytes.constData(), cache),
                      calllog::decodeRecord(bytes.constData()));
        }
    }
}
