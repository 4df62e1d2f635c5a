#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class ByteCounters;
struct ConnectoidNameTable;

// Connection states counted the way the program counts them (the Windows dial-up numbering):
// below 3 the line is still opening, 3 up to 8192 is a call (authentication time included),
// 8193 and above is over.
namespace DialUpState {
constexpr int OpeningPort = 0;
constexpr int ConnectDevice = 2;
constexpr int DeviceConnected = 3;
constexpr int Authenticate = 5;
constexpr int Connected = 8192;
constexpr int Disconnected = 8193;
} // namespace DialUpState

inline bool isConnectedDialUpState(int state) {
    return state >= DialUpState::DeviceConnected && state < DialUpState::Disconnected;
}

// One active connection, as a backend lists it.
struct DialUpConnection {
    QString handle;    // opaque to callers; hangUp() takes it back
    QString entryName; // full phonebook entry name; empty when the backend has none
    int state = DialUpState::OpeningPort;
    QString interfaceName;    // network interface carrying the call; empty when unknown
    quint32 connectSpeed = 0; // bits per second; 0 when the backend does not know it

    friend bool operator==(const DialUpConnection&, const DialUpConnection&) = default;
};

// The operating system's dial-up service. Every call is synchronous, never throws, and never
// blocks longer than the backend's own time-out (1 s over D-Bus); a service that is absent
// answers "no entries, no connections".
class DialUpService {
public:
    virtual ~DialUpService() = default;

    // "networkmanager", "pppd" or "simulated".
    virtual QString name() const = 0;

    // Phonebook entry names in the backend's order; nullopt when the service failed.
    virtual std::optional<QStringList> entries() = 0;

    // Active connections in the backend's order; nullopt when the service failed (which the
    // connection checker counts as no connection).
    virtual std::optional<QList<DialUpConnection>> connections() = 0;

    // Asks for one connection to be dropped; nothing waits for the line to go down.
    virtual bool hangUp(const DialUpConnection& connection) = 0;

    // Whether this backend can ever report a connect speed.
    virtual bool knowsConnectSpeed() const = 0;

    // The byte counters that go with this backend's calls.
    virtual std::unique_ptr<ByteCounters> createByteCounters() const = 0;
};

// Refills the table of dial-up entry names from the service; emptied when the service fails.
// Returns whether the service answered.
bool EnumConnectoids(DialUpService& service, ConnectoidNameTable& table);
