#pragma once

#include "platform/byte_counters.h"
#include "platform/dial_up_service.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The simulated dial-up service keeps everything in one JSON file that vorn-sim edits and the
// backend reads at each check. The file is replaced atomically (write to a temporary file, then
// rename), so a reader sees either the old or the new state. Its shape:
//
//   {
//     "entries":  ["Work ISP", "Home"],          phonebook entry names, in order
//     "calls":    [{"id": 1, "name": "Work ISP", "state": 8192, "speed": 28800}],
//     "nextId":   2,                             id of the next call dialled
//     "rx":       1024,                          cumulative received bytes
//     "tx":       512,                           cumulative sent bytes
//     "vornHangUps": ["Work ISP"]                calls VORN hung up, newest last
//   }
//
// Call states use the program's numbering (8192 connected, 5 authenticating, 8193 over).
// Unknown keys are ignored and malformed items skipped; a file that is not a JSON object reads
// as a failed service.
struct SimulatedCall {
    qint64 id = 0;
    QString name;
    int state = DialUpState::Connected;
    quint32 speed = 0;
};

struct SimulatedDialUpState {
    static constexpr int MaxRememberedHangUps = 20;

    QStringList entries;
    QList<SimulatedCall> calls;
    qint64 nextId = 1;
    quint64 received = 0; // kept within qint64 so that JSON holds it exactly
    quint64 sent = 0;
    QStringList vornHangUps;

    enum class Load { Loaded, Missing, Corrupt };
    static Load load(const QString& path, SimulatedDialUpState* state, QString* error = nullptr);
    bool save(const QString& path, QString* error = nullptr) const;

    QByteArray toJson() const;
    static bool fromJson(const QByteArray& json, SimulatedDialUpState* state, QString* error);

    SimulatedCall* findCall(const QString& name);
    void rememberVornHangUp(const QString& name);
};

// $VORN_SIM_STATE, else vorn-sim.json in the runtime folder ($XDG_RUNTIME_DIR).
QString defaultSimulatedStatePath();

// Serialises read-modify-write of the state file between vorn-sim and VORN's hang-up.
class SimulatedStateLock {
public:
    SimulatedStateLock(const QString& statePath, int timeoutMs);
    ~SimulatedStateLock();
    SimulatedStateLock(const SimulatedStateLock&) = delete;
    SimulatedStateLock& operator=(const SimulatedStateLock&) = delete;
    bool locked() const { return locked_; }

private:
    struct Private;
    std::unique_ptr<Private> d_;
    bool locked_ = false;
};

class SimulatedDialUp final : public DialUpService {
public:
    explicit SimulatedDialUp(const QString& statePath = defaultSimulatedStatePath());

    QString name() const override { return QStringLiteral("simulated"); }
    std::optional<QStringList> entries() override;
    std::optional<QList<DialUpConnection>> connections() override;
    // Removes the call from the file and notes it under "vornHangUps".
    bool hangUp(const DialUpConnection& connection) override;
    bool knowsConnectSpeed() const override { return true; }
    std::unique_ptr<ByteCounters> createByteCounters() const override;

    const QString& statePath() const { return statePath_; }

private:
    QString statePath_;
};

// The simulator's own counters ("rx" and "tx" of the state file); always available.
class SimulatedByteCounters final : public ByteCounters {
public:
    explicit SimulatedByteCounters(const QString& statePath) : statePath_(statePath) {}
    bool IsDataRateAvailable() override { return true; }
    quint64 byteCount(ByteDirection direction) override;

private:
    QString statePath_;
};
