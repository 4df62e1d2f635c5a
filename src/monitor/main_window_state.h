#pragma once

#include "monitor/byte_tally.h"
#include "tariff/call_costing.h"

#include <QString>
#include <QtGlobal>

#include <array>

// What the main window remembers about the running call, shared by the checker, the
// display, the data rate, auto-disconnect, applications and the tray. Millisecond counter
// readings and byte counts are 64-bit: the monotonic counter and the link counters never
// wrap, so a call stays right after 49.7 days of uptime or 4 GB of traffic.
struct MainWindowState {
    bool mailStepDone = false;
    bool mailTimedOut = false;
    QString mailHost;
    QString mailUser;
    qint32 mailTotal = -1; // -1: unknown
    QString ipText;
    QString costText;
    QString timeText;
    QString costPerMinuteText;
    QString dtrText;
    QString dataText;
    typCallCostInformation costResult;
    bool minimumSoundPlayed = false;
    bool maximumSoundPlayed = false;
    bool freeMinutesNotice = false;
    bool minimumPeriodNotice = false;
    bool costNotice = false;
    bool connected = false;
    qint32 dragX = 0;
    qint32 dragY = 0;
    qint64 callStartCount = 0;
    // 0 time, 1 cost, 2 cost per minute, 3 DTR, 4 data transferred, 5 connect speed.
    quint8 displayMode = 0;
    qint32 savedAutoDisconnect = 0;
    quint64 dtrByteTotal = 0;
    double dtrCurrent = 0;  // KB per second
    double dtrPrevious = 0; // KB per second
    quint64 lightsLastTransmitted = 0;
    quint64 lightsLastReceived = 0;
    quint64 idleByteTotal = 0;
    qint64 idleSince = 0;
    qint32 activityCount = 0;
    bool countdownActive = false;
    bool autoHangUp = false;
    QString reasonText;
    quint32 connectSpeed = 0;
    bool readjustPending = false;
    bool displayVisible = false;
};

// A program started for an application entry in this call; 0 = not started.
struct ApplicationProcess {
    qint64 processId = 0;
};

// Program-wide values of the connection monitor, one instance each.
struct MonitorGlobals {
    // The connectoid of the running call ("Unknown/Other" when its entry has no name); it
    // keeps the last call's name until the next call starts.
    QString CurrentConnectoid;
    // Byte counters of the link at connect.
    quint64 baselineReceived = 0;
    quint64 baselineTransmitted = 0;
    // The interface the byte counters read, as the dial-up service last named it.
    QString linkInterface;
    // Bytes received and sent since connect, across counter wraps and resets.
    ByteTally receivedTally;
    ByteTally transmittedTally;
    bool flashToggle = true;
    std::array<ApplicationProcess, 60> ApplicationProcesses{};
};
