// Applications started during and after a call, and closed when it ends; opening
// documents. Each operation notes itself in the call journal.

#include "monitor/tfrm_digital.h"

#include "core/clock.h"
#include "core/lists.h"
#include "core/prompts.h"
#include "core/records.h"
#include "platform/shell.h"

namespace {

bool matchesCall(const typApplicationInformation& record, const QString& connectoid) {
    return record.Connectoid_Name == connectoid || record.Connectoid_Name == DefaultConnectoid;
}

WindowState windowStateFor(qint32 value) {
    switch (value) {
    case 1:
        return WindowState::Minimized;
    case 2:
        return WindowState::Maximized;
    case 3:
        return WindowState::Hidden;
    default:
        return WindowState::Normal;
    }
}

// The slots in use: from 1 up to the first one without a file name.
template <typename Visit> void forEachApplication(const typLists& lists, Visit visit) {
    for (int i = 1; i <= ApplicationTable::Capacity; ++i) {
        // A copy: an error box shown for one entry lets other windows edit the table.
        const typApplicationInformation record = lists.Applications[i];
        if (record.Filename.isEmpty())
            break;
        visit(record, i);
    }
}

} // namespace

void TfrmDigital::ApplicationsAtConnect() {
    journal(QStringLiteral("ApplicationsAtConnect"));
    forEachApplication(s_.lists, [this](const typApplicationInformation& record, int slot) {
        if (!matchesCall(record, globals_.CurrentConnectoid))
            return;
        if (globals_.ApplicationProcesses[static_cast<size_t>(slot - 1)].processId != 0)
            return; // started in this call already
        const qint64 sinceStart = s_.clock.milliseconds() - state_.callStartCount;
        if (sinceStart <= qint64(record.Delay) * 1000)
            return;
        if (record.Execute == 1)
            StartApplication(record, slot);
    });
}

void TfrmDigital::ApplicationsAtDisconnect() {
    journal(QStringLiteral("ApplicationsAtDisconnect"));
    forEachApplication(s_.lists, [this](const typApplicationInformation& record, int slot) {
        if (matchesCall(record, globals_.CurrentConnectoid) && record.Execute == 2)
            StartApplication(record, slot);
    });
}

void TfrmDigital::CloseApplications() {
    journal(QStringLiteral("CloseApplications"));
    if (!s_.shell)
        return;
    forEachApplication(s_.lists, [this](const typApplicationInformation& record, int slot) {
        if (record.Execute != 1 || record.Close != 1)
            return;
        // Only a program started in this call has an id; one that has ended already is
        // passed over quietly.
        const qint64 id = globals_.ApplicationProcesses[static_cast<size_t>(slot - 1)].processId;
        if (id != 0)
            s_.shell->terminate(id);
    });
}

void TfrmDigital::EmptyApplicationProcesses() {
    journal(QStringLiteral("EmptyApplicationProcesses"));
    globals_.ApplicationProcesses = {};
}

void TfrmDigital::StartApplication(const typApplicationInformation& record, int slot) {
    journal(QStringLiteral("StartApplication ") + QString::number(slot));
    if (!s_.shell)
        return;
    const QString commandLine = u'"' + record.Filename + QStringLiteral("\" ") + record.Parameters;

    StartedProgram started;
    if (const std::optional<QStringList> arguments = splitShellWords(record.Parameters)) {
        const QString folder =
            record.Working_Directory.trimmed().isEmpty() ? QString() : record.Working_Directory;
        started = s_.shell->startProgram(record.Filename, *arguments, folder,
                                         windowStateFor(record.Window_State));
    } else {
        started.errorText = QStringLiteral("A quotation mark in the parameters is never closed.");
    }

    if (started.processId != 0) {
        if (slot >= 1 && slot <= static_cast<int>(globals_.ApplicationProcesses.size()))
            globals_.ApplicationProcesses[static_cast<size_t>(slot - 1)].processId =
                started.processId;
        return;
    }
    checkerBoxes_.error(QStringLiteral("There has been a problem starting an application you have "
                                       "configured to start at connection or disconnection.") +
                        QStringLiteral("\n\r\n\r\"") + commandLine + QStringLiteral("\"\n\r\n\r") +
                        started.errorText);
}

void TfrmDigital::OpenDocument(const QString& file, const QString& parameters) {
    if (s_.shell)
        ::OpenDocument(*s_.shell, s_.prompts, file, parameters);
}
