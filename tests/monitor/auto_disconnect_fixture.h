#pragma once

#include "fake_shell.h"
#include "monitor_harness.h"

#include "monitor/tfrm_auto_disconnect.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QPushButton>

// A main window over the test doubles plus a shell and a power service that only record,
// with helpers to run a call check by check and to look at the countdown windows.
class CallFixture {
public:
    CallFixture() {
        // Rules that a test does not switch on stay quiet.
        set("Auto_Idle_Disconnect", "0");
    }

    void set(const char* name, const QString& value) {
        h.store.setValue({}, QString::fromLatin1(name), value);
    }

    TfrmDigital& start() {
        MonitorServices services = h.services();
        services.shell = shell;
        services.power = power;
        h.window = std::make_unique<TfrmDigital>(services);
        h.window->setCallJournal(&h.journal);
        h.window->FormCreate();
        return *h.window;
    }

    // A call comes up and the checker sees it.
    void connect(const QString& name = QStringLiteral("Demo")) {
        h.dialUp.dial(name);
        h.check();
    }

    // Time passes, the cost is brought up to date as timerCost would, and the checker runs.
    void checkAfter(qint64 ms) {
        h.clock.advance(ms);
        h.window->UpdateCost();
        h.check();
    }

    void dropLine() {
        h.dialUp.active->clear();
        h.check();
    }

    // The countdown windows still open (closed ones are deleted first).
    QList<TfrmAutoDisconnect*> countdowns() const {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return h.window->findChildren<TfrmAutoDisconnect*>();
    }

    QStringList reasons() const {
        QStringList texts;
        for (TfrmAutoDisconnect* countdown : countdowns())
            texts
                << countdown->findChild<QGroupBox*>(QStringLiteral("groupAutoDisconnect"))->title();
        return texts;
    }

    static QPushButton* button(TfrmAutoDisconnect* countdown, const char* name) {
        return countdown->findChild<QPushButton*>(QString::fromLatin1(name));
    }

    // Runs every open countdown to its end, one second at a time.
    void runCountdownsOut() {
        for (TfrmAutoDisconnect* countdown : countdowns())
            for (int second = 0; second < TfrmAutoDisconnect::CountdownSeconds; ++second)
                countdown->timerAutoDisconnectTimer();
    }

    void cancelAll() {
        for (TfrmAutoDisconnect* countdown : countdowns())
            button(countdown, "btnCancel")->click();
    }

    MonitorHarness h;
    FakeShell fakeShell;
    FakePower fakePower;
    Shell* shell = &fakeShell;
    Power* power = &fakePower;
};
