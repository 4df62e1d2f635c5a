#pragma once

#include "platform/power.h"
#include "platform/shell.h"

#include <QList>

#include <set>

// A shell that starts nothing: it records what it is asked and answers as the test says.
class FakeShell final : public Shell {
public:
    struct Start {
        QString program;
        QStringList arguments;
        QString workingDirectory;
        WindowState state;
    };

    int openDocument(const QString& file, const QString& parameters) override {
        opened.append({file, parameters});
        return openResult;
    }
    StartedProgram startProgram(const QString& program, const QStringList& arguments,
                                const QString& folder, WindowState state) override {
        starts.append({program, arguments, folder, state});
        if (startError != 0)
            return {0, startError, QStringLiteral("No such file or directory")};
        running.insert(nextProcessId);
        return {nextProcessId++, 0, {}};
    }
    bool terminate(qint64 processId) override {
        terminated.append(processId);
        return running.erase(processId) > 0;
    }

    QList<std::pair<QString, QString>> opened;
    int openResult = Shell::Opened;
    QList<Start> starts;
    int startError = 0; // an errno: every start fails with it
    std::set<qint64> running;
    QList<qint64> terminated;
    qint64 nextProcessId = 4001;
};

// Power requests recorded, never made.
class FakePower final : public Power {
public:
    void request(Operation operation) override { requests.append(operation); }
    QList<Operation> requests;
};
