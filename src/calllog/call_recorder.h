#pragma once

#include <QString>

class Prompts;
class SettingsStore;
struct TariffContext;

// The last-call values: while a call is up the connection checker keeps them in the
// settings key, so that a call cut short by a crash is recorded at the next start.
namespace lastcall {
inline const QString Start = QStringLiteral("Last_Call_Start");
inline const QString Finish = QStringLiteral("Last_Call_Finish");
inline const QString DataTransfer = QStringLiteral("Last_Data_Transfer");
inline const QString UserName = QStringLiteral("Last_User_Name");
inline const QString ConnectoidName = QStringLiteral("Last_Connectoid_Name");
inline const QString ConnectSpeed = QStringLiteral("Last_Connect_Speed");
} // namespace lastcall

// What recording a call needs besides its own facts. The tariff's debug log and regional
// settings serve the recorder too.
struct CallRecordingContext {
    SettingsStore& store;
    Prompts& prompts;
    const TariffContext& tariff;
};

// The error box shown when a call's last-call values span a negative time or more than
// five days, with the two values exactly as they were stored.
QString callLostMessage(const QString& startText, const QString& finishText);

// Records the call held in the last-call values: prices it, appends it to the log at
// fileName and deletes the values. At start-up (Recovered) the connectoid, user name and
// connect speed come from the values too. A failure to write the log throws InOutError
// before the values are deleted, so that the next start tries again.
void ProcessLogEntry(const CallRecordingContext& context, const QString& fileName, bool Recovered,
                     bool AutoDisconnected, quint32 connectSpeed, QString ConnectoidName,
                     QString userName);
