#include "calllog/call_log_record.h"

#include <gtest/gtest.h>

namespace {

// A record laid out by hand as the Windows program wrote it; 0x5a fills the bytes that
// carry no meaning.
QByteArray handBuiltRecord() {
    QByteArray b(92, '\x5a');
    b.replace(0, 8, QByteArray::fromHex("0000000010f9e540"));  // Start 45000.5
    b.replace(8, 8, QByteArray::fromHex("0000000018f9e540"));  // Finish 45000.75
    b.replace(16, 8, QByteArray::fromHex("000000000000f43f")); // Cost_Inc 1.25
    b.replace(24, 8, QByteArray::fromHex("000000000000f83f")); // Cost_Exc 1.5
    b.replace(32, 12,
              QByteArray::fromHex("05000000"
                                  "04030201"
                                  "ffffffff"));
    b.replace(44, 7, "\x06Modem\xe9");
    b.replace(65, 5,
              "\x04"
              "anna");
    b[91] = 0;
    return b;
}

} // namespace

TEST(CallLogRecord, LayoutMatchesHandBuiltBytes) {
    const QByteArray bytes = handBuiltRecord();
    const typCallLogInformation r = calllog::decodeRecord(bytes.constData());
    EXPECT_EQ(r, (typCallLogInformation{45000.5, 45000.75, 1.25, 1.5, 5, 0x01020304u, 4294967295u,
                                        "Modemé", "anna", 0}));

    // Written back, the same bytes with the unused text bytes zeroed.
    QByteArray expected = bytes;
    expected.replace(51, 14, QByteArray(14, '\0'));
    expected.replace(70, 21, QByteArray(21, '\0'));
    EXPECT_EQ(calllog::encodeRecord(r).toHex(' '), expected.toHex(' '));

    QByteArray removed = bytes;
    removed[91] = 2;
    EXPECT_TRUE(calllog::decodeRecord(removed.constData()).isDeleted());
}

TEST(CallLogRecord, TextsAreCutToTheirFieldsInLatin1) {
    typCallLogInformation r;
    r.Connectoid_Name = QString(25, u'c');
    r.User_Name = QString(30, u'u');
    QByteArray bytes = calllog::encodeRecord(r);
    EXPECT_EQ(bytes.mid(44, 21), '\x14' + QByteArray(20, 'c'));
    EXPECT_EQ(bytes.mid(65, 26), '\x19' + QByteArray(25, 'u'));
    EXPECT_EQ(bytes[91], 0);

    // One '?' per character outside Latin-1, also for one beyond the BMP.
    r.Connectoid_Name = QString::fromUtf8("Mobil€ 😀 Ünï");
    bytes = calllog::encodeRecord(r);
    EXPECT_EQ(bytes.mid(44, 13), QByteArray("\x0cMobil? ? \xdcn\xef"));
    EXPECT_EQ(calllog::decodeRecord(bytes.constData()).Connectoid_Name,
              calllog::fieldText(r.Connectoid_Name, 20));
}

TEST(CallLogRecord, DamagedLengthsOldLayoutAndSharedTexts) {
    QByteArray bytes = handBuiltRecord();
    bytes[44] = '\xff';
    bytes[65] = 26;
    const typCallLogInformation damaged = calllog::decodeRecord(bytes.constData());
    EXPECT_EQ(damaged.Connectoid_Name.size(), 20);
    EXPECT_EQ(damaged.User_Name.size(), 25); // never reads the flag byte as text

    QByteArray old = handBuiltRecord().left(88);
    old[86] = 1;
    const typOldCallLogInformation r = calllog::decodeOldRecord(old.constData());
    EXPECT_EQ(r.Finish, 45000.75);
    EXPECT_EQ(r.Connectoid_Name, QString::fromUtf8("Modemé"));
    EXPECT_TRUE(r.isDeleted());

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
