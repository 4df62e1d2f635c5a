#include "call_log_record.h"

#include "core/code_page.h"

#include <QtEndian>

#include <cstring>

namespace {

// Field offsets shared by both layouts up to the connectoid name.
constexpr int OffStart = 0;
constexpr int OffFinish = 8;
constexpr int OffCostInc = 16;
constexpr int OffCostExc = 24;
constexpr int OffMode = 32;
constexpr int OffData = 36;
constexpr int OffConnectSpeed = 40;
constexpr int OffConnectoidName = 44;
constexpr int OffUserName = 65;
constexpr int OffDeleted = calllog::DeletedOffset;
constexpr int OffOldDeleted = 86;

void putDouble(char* at, double value) {
    quint64 bits;
    std::memcpy(&bits, &value, sizeof bits);
    qToLittleEndian(bits, at);
}

double getDouble(const char* at) {
    const quint64 bits = qFromLittleEndian<quint64>(at);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void putText(char* at, const QString& text, int maxLength) {
    const QByteArray bytes = codepage::encode(text, maxLength);
    std::memset(at, 0, static_cast<size_t>(maxLength) + 1);
    at[0] = static_cast<char>(bytes.size());
    std::memcpy(at + 1, bytes.constData(), static_cast<size_t>(bytes.size()));
}

QString getText(const char* at, int maxLength) {
    return codepage::decode(QByteArrayView(at + 1, codepage::fieldLength(at, maxLength)));
}

// The fields both layouts share.
template <typename Record> void decodeNumbersInto(Record& r, const char* in) {
    r.Start = getDouble(in + OffStart);
    r.Finish = getDouble(in + OffFinish);
    r.Cost_Inc = getDouble(in + OffCostInc);
    r.Cost_Exc = getDouble(in + OffCostExc);
    r.Mode = qFromLittleEndian<qint32>(in + OffMode);
    r.Data = qFromLittleEndian<quint32>(in + OffData);
    r.Connect_Speed = qFromLittleEndian<quint32>(in + OffConnectSpeed);
}

template <typename ReadText> typCallLogInformation decodeWith(const char* in, ReadText readText) {
    typCallLogInformation r;
    decodeNumbersInto(r, in);
    r.Connectoid_Name = readText(in + OffConnectoidName, calllog::ConnectoidNameLength);
    r.User_Name = readText(in + OffUserName, calllog::UserNameLength);
    r.Deleted = static_cast<quint8>(in[OffDeleted]);
    return r;
}

} // namespace

QString callLogModeText(qint32 mode) {
    switch (mode) {
    case ModeAuto:
        return QStringLiteral("Auto");
    case ModeInsert:
        return QStringLiteral("Insert");
    case ModeEdit:
        return QStringLiteral("Edit");
    case ModeAdjust:
        return QStringLiteral("Adjust");
    case ModeRecovered:
        return QStringLiteral("Rcvrd");
    case ModeDisconnected:
        return QStringLiteral("Discon");
    default:
        return QStringLiteral("ERROR");
    }
}

namespace calllog {

QString fieldText(const QString& text, int maxLength) {
    return codepage::roundTrip(text, maxLength);
}

void encodeRecord(const typCallLogInformation& record, char* out) {
    putDouble(out + OffStart, record.Start);
    putDouble(out + OffFinish, record.Finish);
    putDouble(out + OffCostInc, record.Cost_Inc);
    putDouble(out + OffCostExc, record.Cost_Exc);
    qToLittleEndian(record.Mode, out + OffMode);
    qToLittleEndian(record.Data, out + OffData);
    qToLittleEndian(record.Connect_Speed, out + OffConnectSpeed);
    putText(out + OffConnectoidName, record.Connectoid_Name, ConnectoidNameLength);
    putText(out + OffUserName, record.User_Name, UserNameLength);
    out[OffDeleted] = static_cast<char>(record.Deleted);
}

QByteArray encodeRecord(const typCallLogInformation& record) {
    QByteArray bytes(RecordSize, '\0');
    encodeRecord(record, bytes.data());
    return bytes;
}

QString TextCache::text(const char* lengthPrefixed, int maxLength) {
    const int length = codepage::fieldLength(lengthPrefixed, maxLength);
    const QByteArrayView raw(lengthPrefixed, length + 1);
    for (const Slot& slot : slots_) {
        if (slot.raw == raw)
            return slot.text;
    }
    Slot& slot = slots_[next_];
    next_ = (next_ + 1) % Slots;
    slot.raw = raw.toByteArray();
    slot.text = codepage::decode(QByteArrayView(lengthPrefixed + 1, length));
    return slot.text;
}

typCallLogInformation decodeRecord(const char* in, TextCache& cache) {
    return decodeWith(
        in, [&cache](const char* at, int maxLength) { return cache.text(at, maxLength); });
}

typCallLogInformation decodeRecord(const char* in) {
    return decodeWith(in, getText);
}

typOldCallLogInformation decodeOldRecord(const char* in) {
    typOldCallLogInformation r;
    decodeNumbersInto(r, in);
    r.Connectoid_Name = getText(in + OffConnectoidName, ConnectoidNameLength);
    r.Deleted = static_cast<quint8>(in[OffOldDeleted]);
    return r;
}

} // namespace calllog
