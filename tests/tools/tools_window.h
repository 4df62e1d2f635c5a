#pragma once

// The tools window over a real settings file in a folder of its own (also its HOME), with
// doubles for every service and the fake echo service.
#include "fake_icmp_echo.h"
#include "window_test_doubles.h"
#include "window_test_support.h"

#include "core/ini_settings_store.h"
#include "core/settings_io.h"
#include "tools/tfrm_tools.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <gtest/gtest.h>

class ToolsWindow : public ::testing::Test, protected WindowDoubles {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QDir().mkpath(dir.filePath("home"));
        qputenv("HOME", dir.filePath("home").toLocal8Bit());
    }
    void TearDown() override {
        window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        qputenv("HOME", savedHome);
    }

    QString passwordPath() const { return dir.filePath("Logs/password.bin"); }
    // What the main window does around the window: load, open; reload after.
    void load() {
        LoadSettings(store, settings, lists,
                     {regional, clock, {true, true}, passwordPath(), QString(), {}});
        store.sync();
    }
    TfrmTools& show() {
        WindowServices s = windowServices(store, dir.path());
        s.callInProgress = [this] { return callUp; };
        window = std::make_unique<TfrmTools>(s, std::unique_ptr<IcmpEcho>(echo = new FakeIcmpEcho));
        window->show();
        return *window;
    }
    TfrmTools& open() {
        load();
        return show();
    }

    template <typename T> T* child(const char* name) const {
        T* w = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_TRUE(w) << name;
        return w;
    }
    void click(const char* button) const { child<QPushButton>(button)->click(); }
    bool enabled(const char* button) const { return child<QPushButton>(button)->isEnabled(); }
    QTreeWidget* list(const char* name) const { return child<QTreeWidget>(name); }
    static QStringList rows(const QTreeWidget* tree) {
        QStringList out;
        for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            QStringList cells;
            for (int c = 0; c < tree->columnCount(); ++c)
                cells << tree->topLevelItem(i)->text(c);
            out << cells.join(u'|');
        }
        return out;
    }
    static QByteArray bytes(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString stored(const QString& name, const QString& section = QString()) const {
        return store.readString(section, name, QStringLiteral("<none>"));
    }
    // "name=value name=value ...": each value as stored.
    void expectStored(const QStringList& pairs) const {
        for (const QString& pair : pairs)
            EXPECT_EQ(stored(pair.section(u'=', 0, 0)), pair.section(u'=', 1))
                << pair.toStdString();
    }

    QTemporaryDir dir;
    QByteArray savedHome = qgetenv("HOME");
    IniSettingsStore store{dir.filePath("VORN.conf")};
    bool callUp = false;
    FakeIcmpEcho* echo = nullptr; // the window's
    std::unique_ptr<TfrmTools> window;
};
