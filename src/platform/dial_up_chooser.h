#pragma once

#include "platform/dial_up_service.h"

#include <QString>

#include <memory>

class DebugLog;

// Where each backend looks; the defaults are the real system.
struct DialUpEnvironment {
    QString systemBusAddress; // empty: $DBUS_SYSTEM_BUS_ADDRESS or the standard one
    QString pppdRoot = QStringLiteral("/");
    QString simulatedStatePath; // empty: $VORN_SIM_STATE or the runtime folder
    int timeoutMs = 1000;
    bool allProfiles = false; // every NetworkManager profile is a dial-up entry
};

struct DialUpChoice {
    std::unique_ptr<DialUpService> service;
    QString reason; // for the debug log and the about window
};

// "auto", "networkmanager", "pppd" or "simulated" (any case, spaces around allowed).
bool isDialUpServiceName(const QString& name);

// Picks the backend: the command line's word wins over the settings value; "auto" (also an
// empty or unknown word) takes NetworkManager when it answers on the system bus within the
// time-out, else pppd. The choice and its reason are traced to the debug log.
DialUpChoice chooseDialUpService(const QString& commandLineChoice, const QString& settingsChoice,
                                 DebugLog& log, const DialUpEnvironment& environment = {});
