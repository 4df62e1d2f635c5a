#pragma once

#include "core/datetime.h"

#include <QByteArray>
#include <QString>

// One entry of the call log as it is held in memory. In the file it is a 92-byte
// little-endian record without padding; texts are length-prefixed Latin-1.
struct typCallLogInformation {
    TDateTime Start = 0;
    TDateTime Finish = 0; // equal to Start for a cost adjustment
    double Cost_Inc = 0;  // with discount
    double Cost_Exc = 0;  // without discount
    qint32 Mode = 0;
    quint32 Data = 0;          // bytes; 0 = not known
    quint32 Connect_Speed = 0; // 0 = not known
    QString Connectoid_Name;   // at most 20 characters in the file
    QString User_Name;         // at most 25 characters in the file
    quint8 Deleted = 0;        // any non-zero value means removed

    bool isDeleted() const { return Deleted != 0; }
    bool operator==(const typCallLogInformation&) const = default;
};

// How an entry came about.
enum CallLogMode : qint32 {
    ModeAuto = 0,
    ModeInsert = 1,
    ModeEdit = 2,
    ModeAdjust = 3,
    ModeRecovered = 4,
    ModeDisconnected = 5,
};

// The word the log window and prints show for a mode: "Auto" … "Discon", "ERROR" for
// anything never written. The detail export spells the latter "Error".
QString callLogModeText(qint32 mode);

// The layout of an older release (88 bytes), read only to import it.
struct typOldCallLogInformation {
    TDateTime Start = 0;
    TDateTime Finish = 0;
    double Cost_Inc = 0;
    double Cost_Exc = 0;
    qint32 Mode = 0;
    quint32 Data = 0;
    quint32 Connect_Speed = 0;
    QString Connectoid_Name; // at most 20 characters
    quint8 Deleted = 0;

    bool isDeleted() const { return Deleted != 0; }
};

namespace calllog {

constexpr int RecordSize = 92;
constexpr int OldRecordSize = 88;
constexpr int DeletedOffset = 91;
constexpr int ConnectoidNameLength = 20;
constexpr int UserNameLength = 25;

// Fills exactly RecordSize bytes at out. Texts are cut to their field, characters outside
// Latin-1 become '?', and the unused bytes of a text field are zero.
void encodeRecord(const typCallLogInformation& record, char* out);
QByteArray encodeRecord(const typCallLogInformation& record);
// Reads exactly RecordSize bytes at in. A length byte larger than its field (a damaged
// file) is taken as the field's width.
typCallLogInformation decodeRecord(const char* in);

// Remembers the texts recently decoded, so that a log read whole shares one string per
// distinct connectoid and user name instead of allocating two per record.
class TextCache {
public:
    QString text(const char* lengthPrefixed, int maxLength);

private:
    struct Slot {
        QByteArray raw; // the length byte and the characters
        QString text;
    };
    static constexpr int Slots = 16;
    Slot slots_[Slots];
    int next_ = 0;
};
typCallLogInformation decodeRecord(const char* in, TextCache& cache);

// Reads exactly OldRecordSize bytes at in.
typOldCallLogInformation decodeOldRecord(const char* in);

// A text as the file will hold it: at most maxLength characters, each outside Latin-1
// replaced by '?'. What a record reads back after it has been written.
QString fieldText(const QString& text, int maxLength);

} // namespace calllog
