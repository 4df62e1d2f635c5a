#pragma once

// A small call log built by hand, shared by the tests of the log's figures and exports,
// the log window and vorn-log, so that all three are checked against the same calls.
// Header-only; its users link vorn_calllog.
//
// Record (file order)        connectoid     mode     start → finish                costs exc/inc
// data
//  1 across midnight         Home ISP       Auto     31/01/2024 23:50 → 00:20      0.5 / 0.45
//  1536000 2 removed                 Home ISP 3 no data, no user        Mobile         Discon
//  10/02/2024 10:00 → 10:45:30   1.2 / 1.2      0 4 deleted connectoid      Old ISP        Insert
//  20/02/2024 08:00 → 09:00      0.6 / 0.4      3145728 5 entry named "All"       All            9
//  01/03/2024 00:00 → 00:10      0.1 / 0.1      10240 6 outside the code page   Интернет Adjust
//  05/03/2024 12:00 (no length)  -0.25 / -0.25  0 7 a quote in the name     Work "VPN"     Edit
//  10/03/2024 20:00 → 20:30      0.3 / 0.3      524288 8 garbage values          Home ISP Rcvrd NaN
//  → 1e300                   1e300 / inf    4294967295 9 removed (flag 2)        Mobile

#include "calllog/call_log_file.h"
#include "calllog/call_log_record.h"
#include "core/connectoid_names.h"
#include "core/datetime.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QString>

#include <limits>

namespace handbuilt {

// The machine's dial-up entries: "Old ISP" is gone, a dial-up entry is really named "All".
inline ConnectoidNameTable phonebook() {
    ConnectoidNameTable table;
    table.fill({QStringLiteral("Mobile"), QStringLiteral("Home ISP"), QStringLiteral("All"),
                QStringLiteral("Интернет"), QStringLiteral("Work \"VPN\"")});
    return table;
}

// The clock when the log is looked at: 31 March 2024, noon.
inline TDateTime now() {
    return datetime::encode(2024, 3, 31, 12);
}

inline QList<typCallLogInformation> records() {
    using datetime::encode;
    const auto call = [](TDateTime start, TDateTime finish, double exc, double inc, qint32 mode,
                         quint32 data, quint32 speed, const QString& connectoid,
                         const QString& user, quint8 deleted = 0) {
        return typCallLogInformation{start, finish, inc,        exc,  mode,
                                     data,  speed,  connectoid, user, deleted};
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    return {
        call(encode(2024, 1, 31, 23, 50), encode(2024, 2, 1, 0, 20), 0.5, 0.45, ModeAuto, 1536000,
             0, "Home ISP", "anna"),
        call(encode(2024, 1, 15, 10), encode(2024, 1, 15, 11), 9.99, 9.99, ModeAuto, 999, 0,
             "Home ISP", "anna", 1),
        call(encode(2024, 2, 10, 10), encode(2024, 2, 10, 10, 45, 30), 1.2, 1.2, ModeDisconnected,
             0, 115200, "Mobile", ""),
        call(encode(2024, 2, 20, 8), encode(2024, 2, 20, 9), 0.6, 0.4, ModeInsert, 3145728, 33600,
             "Old ISP", "anna"),
        call(encode(2024, 3, 1), encode(2024, 3, 1, 0, 10), 0.1, 0.1, 9, 10240, 56000, "All",
             "bob"),
        call(encode(2024, 3, 5, 12), encode(2024, 3, 5, 12), -0.25, -0.25, ModeAdjust, 0, 0,
             "Интернет", "anna"),
        call(encode(2024, 3, 10, 20), encode(2024, 3, 10, 20, 30), 0.3, 0.3, ModeEdit, 524288,
             28800, "Work \"VPN\"", "anna"),
        call(nan, 1e300, 1e300, inf, ModeRecovered, 4294967295u, 0, "Home ISP", "anna"),
        call(encode(2024, 3, 12, 9), encode(2024, 3, 12, 10), 2, 2, ModeAuto, 1, 1, "Mobile",
             "anna", 2),
    };
}

// Writes the records as the call log "log070.bin" in logsFolder; returns its path.
inline QString writeLog(const QString& logsFolder,
                        const QList<typCallLogInformation>& log = records()) {
    QDir().mkpath(logsFolder);
    const QString path = calllog::logFilePath(logsFolder);
    QByteArray bytes;
    for (const typCallLogInformation& r : log)
        bytes += calllog::encodeRecord(r);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write the hand-built call log");
    return path;
}

} // namespace handbuilt
