#pragma once

#include "platform/byte_counters.h"
#include "platform/dial_up_service.h"

#include <memory>

// Byte counters that a test sets by hand.
class FakeByteCounters final : public ByteCounters {
public:
    bool IsDataRateAvailable() override { return available; }
    quint64 byteCount(ByteDirection direction) override {
        return direction == ByteDirection::Received ? received : sent;
    }
    void setInterfaceName(const QString& name) override { interfaceName = name; }

    bool available = true;
    quint64 received = 0;
    quint64 sent = 0;
    QString interfaceName;
};

// A dial-up service whose answers a test sets by hand. nullopt makes the service fail.
// A hang-up is recorded and the call disappears the way a real line drops before the next
// check.
class FakeDialUpService final : public DialUpService {
public:
    QString name() const override { return QStringLiteral("fake"); }
    std::optional<QStringList> entries() override { return entryNames; }
    std::optional<QList<DialUpConnection>> connections() override { return active; }
    bool hangUp(const DialUpConnection& connection) override {
        hungUp.append(connection.handle);
        if (active)
            active->removeIf(
                [&](const DialUpConnection& c) { return c.handle == connection.handle; });
        return true;
    }
    bool knowsConnectSpeed() const override { return speedKnown; }
    std::unique_ptr<ByteCounters> createByteCounters() const override {
        return std::make_unique<FakeByteCounters>();
    }

    // A connected call under an entry name, with a fresh handle.
    DialUpConnection& dial(const QString& entryName, int state = DialUpState::Connected,
                           quint32 speed = 0) {
        if (!active)
            active.emplace();
        active->append({QString::number(++lastHandle), entryName, state, QString(), speed});
        return active->last();
    }

    std::optional<QStringList> entryNames = QStringList();
    std::optional<QList<DialUpConnection>> active = QList<DialUpConnection>();
    QStringList hungUp; // handles, in the order asked
    bool speedKnown = false;

private:
    int lastHandle = 0;
};
