#pragma once

#include "fake_shell.h"
#include "monitor_harness.h"

#include "monitor/tfrm_auto_disconnect.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QPushButton>

// A main window over the test doubles plus a recording shell and power service, run check
// by check, with its countdown windows at hand. Rules a test does not set stay quiet.
struct CallFixture {
    CallFixture() { set("Auto_Idle_Disconnect", "0"); }

    void set(const char* name, const QString& value) { h.store.setValue({}, name, value); }

    TfrmDigital& start() {
        h.shellService = shell;
        h.powerService = power;
        return h.start();
    }
    void connect(const QString& name = "Demo") {
        h.dialUp.dial(name);
        h.check();
    }
    // Time passes, the cost is brought up to date as timerCost would, the checker runs.
    void checkAfter(qint64 ms) {
        h.clock.advance(ms);
        h.window->UpdateCost();
        h.check();
    }
    void dropLine() {
        h.dialUp.active->clear();
        h.check();
    }

    QList<TfrmAutoDisconnect*> countdowns() const {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the closed ones
        return h.window->findChildren<TfrmAutoDisconnect*>();
    }
    QStringList reasons() const {
        QStringList texts;
        for (TfrmAutoDisconnect* countdown : countdowns())
            texts << countdown->findChild<QGroupBox*>("groupAutoDisconnect")->title();
        return texts;
    }
    void runCountdownsOut() {
        for (TfrmAutoDisconnect* countdown : countdowns())
            for (int second = 0; second < TfrmAutoDisconnect::CountdownSeconds; ++second)
                countdown->timerAutoDisconnectTimer();
    }
    void cancelAll() {
        for (TfrmAutoDisconnect* countdown : countdowns())
            countdown->findChild<QPushButton*>("btnCancel")->click();
    }

    MonitorHarness h;
    FakeShell fakeShell;
    FakePower fakePower;
    Shell* shell = &fakeShell;
    Power* power = &fakePower;
};
