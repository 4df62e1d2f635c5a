// The tools window's Web Notification section: the favourites list and its excludes, a
// check run from Go against a scripted server, the results list, the pop-up menu, and what
// OK and Cancel store.

#include "fake_dial_up_service.h"
#include "fake_icmp_echo.h"
#include "fake_shell.h"
#include "manual_clock.h"
#include "memory_settings_store.h"
#include "recording_help.h"
#include "recording_printer.h"
#include "scripted_dialogs.h"
#include "scripted_http_server.h"
#include "scripted_prompts.h"
#include "tools_test_support.h"

#include "core/connectoid_names.h"
#include "core/debug_log.h"
#include "core/lists.h"
#include "core/notify_records.h"
#include "core/regional.h"
#include "core/settings_io.h"
#include "tools/tfrm_tools.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

namespace {

constexpr int kWait = 10000;

class WebNotifySection : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(server.listen());
        settings.URL_Folder_Location = dir.filePath("Favorites");
        SetDefaultAutoExcludes(lists.AutoExcludes);
    }
    void TearDown() override { window.reset(); }

    void shortcut(const QString& relative, const QString& path) {
        const QString file = dir.filePath("Favorites/" + relative);
        QDir().mkpath(QFileInfo(file).path());
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[InternetShortcut]\r\nURL=" + server.url(path).toUtf8() + "\r\n");
    }
    TfrmTools& open() {
        window = std::make_unique<TfrmTools>(WindowServices{store,
                                                            prompts,
                                                            dialogs,
                                                            printer,
                                                            help,
                                                            shell,
                                                            clock,
                                                            regional,
                                                            debugLog,
                                                            settings,
                                                            lists,
                                                            names,
                                                            dialUp,
                                                            dir.path(),
                                                            {true, true}},
                                             std::make_unique<FakeIcmpEcho>());
        window->show();
        return *window;
    }
    template <typename T> T* child(const char* name) const {
        T* w = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_TRUE(w) << name;
        return w;
    }
    void click(const char* button) const { child<QPushButton>(button)->click(); }
    QTreeView* list(const char* name) const { return child<QTreeView>(name); }
    static QStringList rows(const QTreeView* view, QList<int> columns) {
        QStringList out;
        const QAbstractItemModel* m = view->model();
        for (int r = 0; r < m->rowCount(); ++r) {
            QStringList cells;
            for (int c : columns)
                cells << m->index(r, c).data().toString();
            out << cells.join(u'|');
        }
        return out;
    }
    void select(QTreeView* view, const QList<int>& shownRows) const {
        view->clearSelection();
        for (int r : shownRows)
            view->selectionModel()->select(view->model()->index(r, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    QAction* action(QTreeView* view, const char* name) const {
        return view->findChild<QAction*>(QString::fromLatin1(name));
    }
    void runCheck() {
        click("btnWebNotifyGo");
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return child<QPushButton>("btnWebNotifyGo")->isEnabled(); }, kWait));
    }

    QTemporaryDir dir;
    ScriptedHttpServer server;
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
    std::unique_ptr<TfrmTools> window;
};

TEST_F(WebNotifySection, TheFavouritesAreListedByCategoryAndExcludesChangeAtOnce) {
    shortcut("Zoo.url", "/zoo.htm");
    shortcut("News/Daily.url", "/daily.htm");
    shortcut("Links/Portal.url", "/portal.htm");
    shortcut("Arts/Gallery.url", "/gallery.htm");
    lists.Excludes[1].Text = server.url("/gallery.htm");
    lists.Excludes[2].Text = "http://elsewhere.example/"; // a page not in this folder
    open();
    QTreeView* favourites = list("lstvWebNotify");
    const QList<int> columns = {0, 1, 2};
    EXPECT_EQ(rows(favourites, columns),
              QStringList({"0|/|Zoo", "1|/Arts|Gallery", "1|/Links|Portal", "0|/News|Daily"}));

    // Exclude and Include act on every selected row and on the excludes at once.
    click("btnWebNotifyExclude");
    select(favourites, {0, 3});
    click("btnWebNotifyExclude");
    select(favourites, {1, 2});
    click("btnWebNotifyInclude");
    EXPECT_EQ(rows(favourites, columns),
              QStringList({"1|/|Zoo", "0|/Arts|Gallery", "0|/Links|Portal", "1|/News|Daily"}));
    EXPECT_EQ(prompts.texts(), QStringList({"You must select a Web Notification Entry from the "
                                            "list above before you can exclude a site."}));
    // The "-" column: "Ascending" puts the excluded first, ties by category.
    favourites->header()->sectionClicked(0);
    EXPECT_EQ(rows(favourites, columns),
              QStringList({"1|/|Zoo", "1|/News|Daily", "0|/Arts|Gallery", "0|/Links|Portal"}));
    // A double-click turns a row round.
    favourites->doubleClicked(favourites->model()->index(1, 0));
    EXPECT_EQ(favourites->model()->index(3, 2).data().toString(), "Daily");
    EXPECT_EQ(favourites->model()->index(3, 0).data().toString(), "0");

    // Refresh scans again; removing the auto-exclude "\links\" includes Portal.
    click("btnWebNotifyRefresh");
    EXPECT_EQ(rows(favourites, columns),
              QStringList({"1|/|Zoo", "1|/Links|Portal", "0|/Arts|Gallery", "0|/News|Daily"}));
    auto* autoExcludes = child<QListWidget>("lstAutoExclude");
    autoExcludes->setCurrentRow(1);
    click("cmdAutoExcludeRemove");
    EXPECT_EQ(rows(favourites, columns),
              QStringList({"1|/|Zoo", "0|/Arts|Gallery", "0|/Links|Portal", "0|/News|Daily"}));

    click("cmdOK");
    EXPECT_EQ(store.value("Exclude", "URL1"), "http://elsewhere.example/");
    EXPECT_EQ(store.value("Exclude", "URL2"), server.url("/zoo.htm"));
    EXPECT_EQ(store.value("", "Number_Of_Excludes"), "2");
}

TEST_F(WebNotifySection, ExcludingBeyondTheCapacityStopsWithItsMessage) {
    for (int i = 1; i <= 99; ++i)
        lists.Excludes[i].Text = "http://other" + QString::number(i) + ".example/";
    shortcut("A.url", "/a.htm");
    shortcut("B.url", "/b.htm");
    open();
    QTreeView* favourites = list("lstvWebNotify");
    select(favourites, {0, 1});
    click("btnWebNotifyExclude");
    EXPECT_EQ(rows(favourites, {0, 2}), QStringList({"1|A", "0|B"}));
    EXPECT_EQ(prompts.texts(),
              QStringList({"The Web Notification section has a maximum capacity of 100 exclude "
                           "entries.\n\r\n\rTo add another exclude entry you will need to remove "
                           "an existing entry first."}));
}

TEST_F(WebNotifySection, GoChecksTheIncludedPagesAndOkStoresWhatChanged) {
    server.setResponder([](const QByteArray& head) {
        const QByteArray path = head.split(' ').value(1);
        if (path == "/b.htm")
            return ScriptedHttpServer::Answer{"HTTP/1.0 200 OK\r\n\r\n<html>a longer page</html>"};
        if (path == "/c.htm")
            return ScriptedHttpServer::Answer{"HTTP/1.0 200 OK\r\n\r\n<html></html>"};
        return ScriptedHttpServer::Answer{"HTTP/1.0 404 Not Found\r\n\r\n"};
    });
    settings.Web_Notify_Retries = 0;
    settings.Web_Notify_Page_Size_Margin = 0;
    NotifyRecords records = NotifyRecords::load(store, regional);
    records.save(store, {server.url("/c.htm"), 0, 13, "No"}, regional);
    shortcut("A.url", "/a.htm");
    shortcut("B.url", "/b.htm");
    shortcut("C.url", "/c.htm");
    open();
    auto* pages = child<QTabWidget>("pageTools");
    ASSERT_FALSE(child<QPushButton>("btnWebNotifyShowResults")->isEnabled());
    click("btnWebNotifyGo");
    EXPECT_EQ(pages->currentWidget()->objectName(), "WebNotifyResultsPage");
    EXPECT_FALSE(child<QPushButton>("btnWebNotifyGo")->isEnabled());
    EXPECT_TRUE(child<QPushButton>("btnWebNotifyStop")->isEnabled());
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return child<QPushButton>("btnWebNotifyGo")->isEnabled(); }, kWait));

    EXPECT_EQ(child<QLabel>("lblWebNotifyResults")->text(),
              "Results (Unknown:0, Connecting:0, Connected:0, Not Updated:1, Problem:1, "
              "Updated:1, Total:3)");
    EXPECT_EQ(rows(list("lstvWebNotifyResults"), {0, 1, 2, 3, 5, 9}),
              QStringList({"6|B|26|0|No|-", "5|A|-|0|-|-", "4|C|13|0|No|-"}));
    EXPECT_FALSE(child<QPushButton>("btnWebNotifyStop")->isEnabled());
    EXPECT_FALSE(child<QPushButton>("btnWebNotifyContinue")->isEnabled());
    click("btnWebNotifyShowResults");
    ASSERT_EQ(shell.opened.size(), 1);
    EXPECT_EQ(shell.opened[0].first, QDir(dir.path()).filePath("notify_main.htm"));

    // Sizes sort as numbers, "-" below them.
    QTreeView* results = list("lstvWebNotifyResults");
    results->header()->sectionClicked(2);
    EXPECT_EQ(rows(results, {1}), QStringList({"A", "C", "B"}));

    click("cmdOK");
    EXPECT_EQ(store.value("Notify2", "URL"), server.url("/b.htm"));
    EXPECT_EQ(store.value("Notify2", "Last_Size"), "26");
    EXPECT_EQ(store.value("Notify2", "Frames"), "No");
    EXPECT_EQ(store.value("Notify1", "Last_Size"), "13");
    EXPECT_FALSE(store.value("Notify3", "URL"));
}

TEST_F(WebNotifySection, CancelForgetsTheCheckAndClosingStopsIt) {
    server.setAnswer({}, ScriptedHttpServer::Answer::StayOpen);
    shortcut("Slow.url", "/slow.htm");
    open();
    click("btnWebNotifyGo");
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.heads().size() == 1; }, kWait));
    click("btnCancel");
    EXPECT_TRUE(child<QPushButton>("btnWebNotifyGo")->isEnabled());
    EXPECT_FALSE(store.value("Notify1", "URL"));
    EXPECT_TRUE(QFile::exists(dir.filePath("Logs/notify.txt")));
}

TEST_F(WebNotifySection, ThePopUpMenuOpensPagesAndResultsAndForgetsStoredPages) {
    shortcut("Site.url", "/site.htm");
    NotifyRecords records = NotifyRecords::load(store, regional);
    records.save(store, {"http://stored.example/", 0, 10, "No"}, regional);
    open();
    QTreeView* favourites = list("lstvWebNotify");
    action(favourites, "mnuOpenPageInBrowser")->trigger();
    select(favourites, {0});
    action(favourites, "mnuOpenPageInBrowser")->trigger();
    ASSERT_EQ(shell.opened.size(), 1);
    EXPECT_EQ(shell.opened[0].first, server.url("/site.htm"));
    action(list("lstvWebNotifyResults"), "mnuViewLastResults")->trigger();
    prompts.answerNext(Prompts::Answer::No);
    action(favourites, "mnuReset")->trigger();
    EXPECT_TRUE(store.value("Notify1", "URL"));
    prompts.answerNext(Prompts::Answer::Yes);
    action(favourites, "mnuReset")->trigger();
    EXPECT_FALSE(store.value("Notify1", "URL"));
    const QString reset = "Are you sure you wish to remove all your stored last updated "
                          "values?  This means the next time you check for changes all sites "
                          "will indicate an update.";
    EXPECT_EQ(prompts.texts(),
              QStringList({"You must select a web site from the list before it "
                           "can be loaded into a browser.",
                           "A previous results file could not be found.", reset, reset}));
}

} // namespace
