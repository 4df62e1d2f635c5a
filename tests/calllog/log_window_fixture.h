#pragma once

// The log window over the hand-built log, with every service a double: what the window
// tests share.

#include "hand_built_call_log.h"
#include "memory_settings_store.h"
#include "window_test_doubles.h"
#include "window_test_support.h"

#include "calllog/call_log_model.h"
#include "calllog/tfrm_log_gui.h"
#include "core/program_paths.h"

#include <QComboBox>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeView>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <memory>

class LogWindow : public ::testing::Test, protected WindowDoubles {
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
        return windowServices(store, dir.path(), {true, true}, reports);
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
    std::unique_ptr<TfrmLogGUI> window;
};
