#pragma once

#include <QString>
#include <QStringView>

enum class ByteDirection { Received, Transmitted };

// Cumulative received and sent bytes of the link of the current call. 64-bit, so the
// counters never wrap during a call.
class ByteCounters {
public:
    virtual ~ByteCounters() = default;

    // Whether there is a counter source at all (not whether a call is up now).
    virtual bool IsDataRateAvailable() = 0;

    virtual quint64 byteCount(ByteDirection direction) = 0;

    // The interface of the current call, as the dial-up service named it; empty lets the
    // counters pick one themselves.
    virtual void setInterfaceName(const QString& interfaceName) { Q_UNUSED(interfaceName); }

    // Kind "r" is received, "t" transmitted; any other kind counts 0.
    quint64 GetByteCount(QStringView kind);
};

// Counters from /sys/class/net/<iface>/statistics/{rx,tx}_bytes under a root folder ("/" on a
// real system). Without a named interface the last ppp* interface is used, unless the
// service that goes with the counters names the link of every call itself.
class SysfsByteCounters final : public ByteCounters {
public:
    enum Unnamed { LastPppLink, NamedOnly };

    explicit SysfsByteCounters(const QString& root = QStringLiteral("/"),
                               Unnamed unnamed = LastPppLink);

    bool IsDataRateAvailable() override;
    quint64 byteCount(ByteDirection direction) override;
    void setInterfaceName(const QString& interfaceName) override;

    // The interface the counters are read from now; empty when there is none.
    QString currentInterface() const;

private:
    QString netDir_;
    Unnamed unnamed_;
    QString interfaceName_;
};

// True for a plain interface name that cannot leave /sys/class/net.
bool isSafeInterfaceName(const QString& name);
