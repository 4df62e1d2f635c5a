#pragma once

// One main window over test doubles: an in-memory settings key, a dial-up service and byte
// counters set by hand (or the simulated service), a settable clock, scripted message boxes,
// a recording shell, power and sound service and a program folder of its own. The stored
// settings skip the about window and the reset question; rules a test does not set stay quiet.

#include "fake_dial_up_service.h"
#include "fake_shell.h"
#include "manual_clock.h"
#include "memory_settings_store.h"
#include "recording_sound.h"
#include "scripted_prompts.h"

#include "calllog/call_log_file.h"
#include "core/connectoid_names.h"
#include "core/debug_log.h"
#include "core/lists.h"
#include "core/regional.h"
#include "core/settings.h"
#include "monitor/program_windows.h"
#include "monitor/tfrm_auto_disconnect.h"
#include "monitor/tfrm_digital.h"
#include "monitor/vorn_timer.h"
#include "platform/simulated_dial_up.h"
#include "widgets/lcd_label.h"
#include "widgets/taskbar_icon.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <vector>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

constexpr double Second = 1.0 / 86400.0;
constexpr qint64 Minute = 60000;

// Program windows that only record that they were opened; whileOpen runs as if from inside
// the open window.
struct RecordingWindows final : ProgramWindows {
    void run(ProgramWindow window) override {
        opened.push_back(window);
        if (whileOpen)
            whileOpen(window);
    }
    std::vector<ProgramWindow> opened;
    std::function<void(ProgramWindow)> whileOpen;
};

struct MonitorHarness {
    MonitorHarness() {
        set("Version", "1.17").set("Show_Splash", "0").set("Auto_Idle_Disconnect", "0");
    }

    MonitorHarness& set(const char* name, const QString& value, const QString& section = {}) {
        store.setValue(section, QString::fromLatin1(name), value);
        return *this;
    }

    MonitorServices services() {
        MonitorServices s{store,
                          *dialUpService,
                          *countersService,
                          clock,
                          *answering,
                          regional,
                          debugLog,
                          settings,
                          lists,
                          names,
                          home.path(),
                          [](int) {},
                          [this](int code) { terminatedWith = code; }};
        s.sound = &sound;
        s.shell = shellService;
        s.power = powerService;
        s.windows = &windows;
        s.help = helpService;
        return s;
    }

    TfrmDigital& start() {
        window = std::make_unique<TfrmDigital>(services());
        window->setCallJournal(&journal);
        window->FormCreate();
        return *window;
    }

    // The window without its creation steps, with the mouse and the work area set by hand
    // and laid out as the display tests want it.
    TfrmDigital& makeWindow() {
        MonitorServices s = services();
        s.cursorPosition = [this] { return cursor; };
        s.workArea = [this] { return work; };
        window = std::make_unique<TfrmDigital>(s);
        window->lcdDigital->move(window->lcdDigital->x(), TfrmDigital::FrameWidth);
        window->resize(window->width(), TfrmDigital::DigitalTextHeight(settings.Character_Size,
                                                                       settings.Pixel_Spacing) +
                                            2 * TfrmDigital::FrameWidth);
        window->LayoutDigitalDisplay();
        return *window;
    }

    void check() { window->timerCheckerTimer(); }
    void connect(const QString& name = "Demo") {
        dialUp.dial(name);
        check();
    }
    void dropLine() {
        dialUp.active->clear();
        check();
    }
    // Time passes, the cost is brought up to date as timerCost would, the checker runs.
    void checkAfter(qint64 ms) {
        clock.advance(ms);
        window->UpdateCost();
        check();
    }

    QString stored(const QString& name) const {
        return store.value({}, name).value_or("<missing>");
    }
    QString logPath() const { return calllog::logFilePath(QDir(home.path()).filePath("Logs")); }
    QList<typCallLogInformation> log() const { return calllog::readAll(logPath()); }

    // A charge band for every connectoid, all day, every day, at this price per minute.
    void chargeEveryMinute(const QString& perMinute) {
        set("Number_Of_Costings", "1").set("Connectoid_Name", "Default", "Costing1");
        set("StartTime", "0", "Costing1").set("FinishTime", "0.99999", "Costing1");
        set("Days", "127", "Costing1").set("ChargePerMin", perMinute, "Costing1");
    }
    void furtherDetail(const QString& option, const QString& value) {
        const QString detail = "Costing_Further_Details1";
        set("Number_Of_Costing_Further_Details", "1").set("Connectoid_Name", "Default", detail);
        set("Option", option, detail).set("Value", value, detail);
    }
    void storeAccount(int slot, const QString& user, bool included) {
        const QString section = QStringLiteral("POP3") + QString::number(slot);
        set("Number_Of_POP3", QString::number(slot));
        set("Server", "127.0.0.1", section).set("User_Name", user, section);
        set("Password", ScramblePassword("secret"), section);
        set("Include_In_Startup_Check", included ? "1" : "0", section);
    }

    QList<TfrmAutoDisconnect*> countdowns() const {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the closed ones
        return window->findChildren<TfrmAutoDisconnect*>();
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

    QTemporaryDir home;
    MemorySettingsStore store;
    FakeDialUpService dialUp;
    SimulatedDialUp simulated{home.filePath(QStringLiteral("vorn-sim.json"))};
    FakeByteCounters counters;
    DialUpService* dialUpService = &dialUp;
    ByteCounters* countersService = &counters;
    ManualClock clock;
    ScriptedPrompts prompts;
    Prompts* answering = &prompts;
    RecordingSound sound;
    FakeShell shell;
    FakePower power;
    Shell* shellService = &shell;
    Power* powerService = &power;
    RecordingWindows windows;
    Help* helpService = nullptr;
    QPoint cursor{5000, 5000}; // far from everything
    QRect work{0, 0, 1024, 740};
    RegionalSettings regional = RegionalSettings::english();
    DebugLog debugLog{clock};
    typSettings settings;
    typLists lists;
    ConnectoidNameTable names;
    int terminatedWith = -1;
    QStringList journal;
    std::unique_ptr<TfrmDigital> window;
};

// The harness as a test fixture: every test starts from a fresh one.
class Monitor : public ::testing::Test, public MonitorHarness {};
