#pragma once

#include <QDBusPendingCall>
#include <QString>

#include <vector>

// Shutting down or restarting the computer after a call.
class Power {
public:
    enum class Operation { PowerOff, Reboot };

    virtual ~Power() = default;
    // Asks once and does not wait; a refusal or an absent service changes nothing.
    virtual void request(Operation operation) = 0;
};

// systemd-logind's PowerOff and Reboot on the system bus. The request is interactive, so
// where the policy wants it the desktop asks the user to authenticate.
class LogindPower final : public Power {
public:
    // An empty address is $DBUS_SYSTEM_BUS_ADDRESS, else the standard socket.
    explicit LogindPower(QString busAddress = {});
    ~LogindPower() override;
    LogindPower(const LogindPower&) = delete;
    LogindPower& operator=(const LogindPower&) = delete;

    void request(Operation operation) override;

private:
    QString busAddress_;
    QString connectionName_;
    std::vector<QDBusPendingCall> pending_;
};
