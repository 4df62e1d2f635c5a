#pragma once

#include "monitor_harness.h"
#include "recording_sound.h"

#include "platform/shell.h"

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

class RecordingShell final : public Shell {
public:
    int openDocument(const QString& file, const QString& parameters) override {
        opened << file + u'|' + parameters;
        return Shell::Opened;
    }
    StartedProgram startProgram(const QString&, const QStringList&, const QString&,
                                WindowState) override {
        return {};
    }
    bool terminate(qint64) override { return false; }

    QStringList opened; // "file|parameters"
};

// The harness with a recording sound and shell, for the tray, sound and mail tests.
struct TrayFixture : MonitorHarness {
    TrayFixture() {
        soundService = &sound;
        shellService = &shell;
    }

    // A call that the checker has seen come up, and seen end.
    void callUp() {
        dialUp.dial("Demo");
        check();
    }
    void callDown() {
        dialUp.active->clear();
        check();
    }

    void storeAccount(int slot, const QString& user, bool included) {
        const QString section = QStringLiteral("POP3") + QString::number(slot);
        set("Number_Of_POP3", QString::number(slot));
        set("Server", "127.0.0.1", section).set("User_Name", user, section);
        set("Password", ScramblePassword("secret"), section);
        set("Include_In_Startup_Check", included ? "1" : "0", section);
    }

    RecordingSound sound;
    RecordingShell shell;
};
