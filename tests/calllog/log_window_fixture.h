#pragma once

// The log window over the hand-built log, with every service a double: what the window
// tests share.

#include "fake_dial_up_service.h"
#include "fake_shell.h"
#include "hand_built_call_log.h"
#include "manual_clock.h"
#include "memory_settings_store.h"
#include "recording_help.h"
#include "recording_printer.h"
#include "scripted_dialogs.h"
#include "scripted_prompts.h"
#include "window_test_support.h"

#include "calllog/call_log_model.h"
#include "calllog/tfrm_log_gui.h"
#include "core/connectoid_names.h"
#include "core/debug_log.h"
#include "core/lists.h"
#include "core/program_paths.h"
#include "core/regional.h"

#include <QComboBox>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeView>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <memory>

class LogWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        clock.setNow(handbuilt::now());
        const ConnectoidNameTable phonebook = handbuilt::phonebook();
        dialUp.entryNames = QStringList(phonebook.slots.begin(), phonebook.slots.begin() + 5);
        logPath = handbuilt::writeLog(logsFolderOf(dir.path()));
    }
    void TearDown() override { window.reset(); }

    WindowServices services(ReportPrinter& reports) {
        return {store,    prompts,  dialogs, reports, help,   shell,      clock,       regional,
                debugLog, settings, lists,   names,   dialUp, dir.path(), {true, true}};
    }
    TfrmLogGUI& open() { return open(services(printer)); }
    TfrmLogGUI& open(const WindowServices& with) {
        window = std::make_unique<TfrmLogGUI>(with);
        window->show();
        return *window;
    }

    template <typename T> T* child(const char* name) const {
        T* w = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_TRUE(w) << name;
        return w;
    }
    void trigger(const char* action) const { child<QAction>(action)->trigger(); }
    QTreeView* detail() const { return child<QTreeView>("lstvLog"); }
    const CallLogModel& model() const {
        return *static_cast<const CallLogModel*>(detail()->model());
    }
    // One column of the detail list, top to bottom.
    QStringList column(LogColumn c) const {
        QStringList out;
        for (int r = 0; r < model().rowCount(); ++r)
            out << model().index(r, static_cast<int>(c)).data().toString();
        return out;
    }
    void selectRows(const QList<int>& rows) const {
        detail()->clearSelection();
        for (const int r : rows)
            detail()->selectionModel()->select(model().index(r, 0), QItemSelectionModel::Select |
                                                                        QItemSelectionModel::Rows);
    }
    // Chooses a filter as a click in the list does.
    void chooseFilter(const char* combo, int index) const {
        auto* filter = child<QComboBox>(combo);
        filter->setCurrentIndex(index);
        Q_EMIT filter->activated(index);
    }
    void chooseFilter(const char* combo, const QString& item) const {
        chooseFilter(combo, child<QComboBox>(combo)->findText(item));
    }
    static QList<QStringList> rows(const QTreeWidget* list) {
        QList<QStringList> out;
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            QStringList cells;
            for (int c = 0; c < list->columnCount(); ++c)
                cells << list->topLevelItem(i)->text(c);
            out << cells;
        }
        return out;
    }
    static QByteArray bytes(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir dir;
    QString logPath;
    MemorySettingsStore store;
    ScriptedPrompts prompts;
    ScriptedDialogs dialogs;
    RecordingPrinter printer;
    RecordingHelp help;
    FakeShell shell;
    ManualClock clock;
    DebugLog debugLog{clock};
    RegionalSettings regional = RegionalSettings::english();
    typSettings settings;
    typLists lists;
    ConnectoidNameTable names;
    FakeDialUpService dialUp;
    std::unique_ptr<TfrmLogGUI> window;
};
