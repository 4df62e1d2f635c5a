// The tools window's Web Notification section: the favourites list and its excludes, a
// check run from Go against a scripted server, the results list, the pop-up menu, and what
// OK and Cancel store.
#include "scripted_http_server.h"
#include "tools_window.h"

#include "core/lists.h"
#include "core/notify_records.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>

namespace {

constexpr int kWait = 10000;

class WebNotifySection : public ToolsWindow {
protected:
    void SetUp() override {
        ToolsWindow::SetUp();
        ASSERT_TRUE(server.listen());
    }
    // The window over the folder's favourites, the default auto-excludes and any excludes
    // set before.
    void openOnFavourites() {
        const ExcludeTable excludes = lists.Excludes;
        load();
        settings.URL_Folder_Location = dir.filePath("Favorites");
        SetDefaultAutoExcludes(lists.AutoExcludes);
        lists.Excludes = excludes;
        show();
    }
    void shortcut(const QString& relative, const QString& path) {
        const QString file = dir.filePath("Favorites/" + relative);
        QDir().mkpath(QFileInfo(file).path());
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[InternetShortcut]\r\nURL=" + server.url(path).toUtf8() + "\r\n");
    }
    void storeRecord(const QString& address, qint64 size) {
        NotifyRecords records = NotifyRecords::load(store, regional);
        records.save(store, {address, 0, size, "No"}, regional);
    }
    QTreeView* view(const char* name) const { return child<QTreeView>(name); }
    static QStringList rows(const QTreeView* view, QList<int> columns = {0, 1, 2}) {
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
    void trigger(const char* list, const char* action) const {
        view(list)->findChild<QAction*>(QString::fromLatin1(action))->trigger();
    }

    ScriptedHttpServer server;
};

TEST_F(WebNotifySection, TheFavouritesAreListedByCategoryAndExcludesChangeAtOnce) {
    shortcut("Zoo.url", "/zoo.htm");
    shortcut("News/Daily.url", "/daily.htm");
    shortcut("Links/Portal.url", "/portal.htm");
    shortcut("Arts/Gallery.url", "/gallery.htm");
    lists.Excludes[1].Text = server.url("/gallery.htm");
    lists.Excludes[2].Text = "http://elsewhere.example/"; // a page not in this folder
    openOnFavourites();
    QTreeView* favourites = view("lstvWebNotify");
    EXPECT_EQ(rows(favourites),
              QStringList({"0|/|Zoo", "1|/Arts|Gallery", "1|/Links|Portal", "0|/News|Daily"}));

    // Exclude and Include act on every selected row and on the excludes at once.
    click("btnWebNotifyExclude");
    select(favourites, {0, 3});
    click("btnWebNotifyExclude");
    select(favourites, {1, 2});
    click("btnWebNotifyInclude");
    EXPECT_EQ(rows(favourites),
              QStringList({"1|/|Zoo", "0|/Arts|Gallery", "0|/Links|Portal", "1|/News|Daily"}));
    EXPECT_EQ(prompts.texts(), QStringList({"You must select a Web Notification Entry from the "
                                            "list above before you can exclude a site."}));
    // The "-" column: "Ascending" puts the excluded first, ties by category.
    favourites->header()->sectionClicked(0);
    EXPECT_EQ(rows(favourites),
              QStringList({"1|/|Zoo", "1|/News|Daily", "0|/Arts|Gallery", "0|/Links|Portal"}));
    // A double-click turns a row round.
    favourites->doubleClicked(favourites->model()->index(1, 0));
    EXPECT_EQ(rows(favourites).value(3), "0|/News|Daily");

    // Refresh scans again; removing the auto-exclude "\links\" includes Portal.
    click("btnWebNotifyRefresh");
    EXPECT_EQ(rows(favourites).value(1), "1|/Links|Portal");
    child<QListWidget>("lstAutoExclude")->setCurrentRow(1);
    click("cmdAutoExcludeRemove");
    EXPECT_EQ(rows(favourites),
              QStringList({"1|/|Zoo", "0|/Arts|Gallery", "0|/Links|Portal", "0|/News|Daily"}));

    click("cmdOK");
    EXPECT_EQ(stored("URL1", "Exclude"), "http://elsewhere.example/");
    EXPECT_EQ(stored("URL2", "Exclude"), server.url("/zoo.htm"));
    EXPECT_EQ(stored("Number_Of_Excludes"), "2");
}

TEST_F(WebNotifySection, ExcludingBeyondTheCapacityStopsWithItsMessage) {
    for (int i = 1; i <= 99; ++i)
        lists.Excludes[i].Text = "http://other" + QString::number(i) + ".example/";
    shortcut("A.url", "/a.htm");
    shortcut("B.url", "/b.htm");
    openOnFavourites();
    select(view("lstvWebNotify"), {0, 1});
    click("btnWebNotifyExclude");
    EXPECT_EQ(rows(view("lstvWebNotify"), {0, 2}), QStringList({"1|A", "0|B"}));
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
    store.writeInteger({}, "Web_Notify_Retries", 0);
    store.writeInteger({}, "Web_Notify_Page_Size_Margin", 0);
    storeRecord(server.url("/c.htm"), 13);
    shortcut("A.url", "/a.htm");
    shortcut("News/B & <Sun>.url", "/b.htm");
    shortcut("C.url", "/c.htm");
    shortcut("Links/Ignored.url", "/ignored.htm"); // under an auto-exclude
    openOnFavourites();
    ASSERT_FALSE(enabled("btnWebNotifyShowResults"));
    click("btnWebNotifyGo");
    EXPECT_EQ(child<QTabWidget>("pageTools")->currentWidget()->objectName(),
              "WebNotifyResultsPage");
    EXPECT_FALSE(enabled("btnWebNotifyGo"));
    EXPECT_TRUE(enabled("btnWebNotifyStop"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return enabled("btnWebNotifyGo"); }, kWait));

    EXPECT_EQ(child<QLabel>("lblWebNotifyResults")->text(),
              "Results (Unknown:0, Connecting:0, Connected:0, Not Updated:1, Problem:1, "
              "Updated:1, Total:3)");
    QTreeView* results = view("lstvWebNotifyResults");
    EXPECT_EQ(rows(results, {0, 1, 2, 3, 5, 9}),
              QStringList({"6|B & <Sun>|26|0|No|-", "5|A|-|0|-|-", "4|C|13|0|No|-"}));
    EXPECT_FALSE(enabled("btnWebNotifyStop") || enabled("btnWebNotifyContinue"));
    // Each included page asked for once, as a browser asks; none of the excluded.
    const QByteArray host = "HTTP/1.0\r\nHost: 127.0.0.1:" + QByteArray::number(server.port());
    QList<QByteArray> heads = server.heads();
    std::sort(heads.begin(), heads.end());
    EXPECT_EQ(heads, (QList<QByteArray>{"GET /a.htm " + host + "\r\n\r\n",
                                        "GET /b.htm " + host + "\r\n\r\n",
                                        "GET /c.htm " + host + "\r\n\r\n"}));
    // The results pages: the contents by title, escaped, in the frame set.
    QFile toc(dir.filePath("notify_toc.htm"));
    ASSERT_TRUE(toc.open(QIODevice::ReadOnly));
    EXPECT_TRUE(toc.readAll().contains("TARGET=\"main_vorn\">B &amp; &lt;Sun&gt;</A></LI>"));
    EXPECT_TRUE(bytes(dir.filePath("notify_main.htm")).contains("SRC=\"notify_toc.htm\""));
    // Each page fetched is kept under its row's number; the one that failed is not.
    EXPECT_EQ(QDir(dir.filePath("Logs")).entryList({"*.htm"}), QStringList({"1.htm", "2.htm"}));
    click("btnWebNotifyShowResults");
    EXPECT_EQ(shell.opened.value(0).first, QDir(dir.path()).filePath("notify_main.htm"));
    // Sizes sort as numbers, "-" below them.
    results->header()->sectionClicked(2);
    EXPECT_EQ(rows(results, {1}), QStringList({"A", "C", "B & <Sun>"}));

    click("cmdOK");
    EXPECT_EQ(stored("URL", "Notify2"), server.url("/b.htm"));
    EXPECT_EQ(stored("Last_Size", "Notify2") + stored("Frames", "Notify2"), "26No");
    EXPECT_EQ(stored("Last_Size", "Notify1"), "13");
    EXPECT_EQ(stored("URL", "Notify3"), "<none>");
}

TEST_F(WebNotifySection, CancelForgetsTheCheckAndClosingStopsIt) {
    server.setAnswer({}, ScriptedHttpServer::Answer::StayOpen);
    shortcut("Slow.url", "/slow.htm");
    openOnFavourites();
    click("btnWebNotifyGo");
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.heads().size() == 1; }, kWait));
    click("btnCancel");
    EXPECT_TRUE(enabled("btnWebNotifyGo"));
    EXPECT_EQ(stored("URL", "Notify1"), "<none>");
    EXPECT_TRUE(QFile::exists(dir.filePath("Logs/notify.txt")));
}

TEST_F(WebNotifySection, ThePopUpMenuOpensPagesAndResultsAndForgetsStoredPages) {
    shortcut("Site.url", "/site.htm");
    storeRecord("http://stored.example/", 10);
    openOnFavourites();
    trigger("lstvWebNotify", "mnuOpenPageInBrowser");
    select(view("lstvWebNotify"), {0});
    trigger("lstvWebNotify", "mnuOpenPageInBrowser");
    ASSERT_EQ(shell.opened.size(), 1);
    EXPECT_EQ(shell.opened[0].first, server.url("/site.htm"));
    trigger("lstvWebNotifyResults", "mnuViewLastResults");
    prompts.answerNext(Prompts::Answer::No);
    trigger("lstvWebNotify", "mnuReset");
    EXPECT_EQ(stored("URL", "Notify1"), "http://stored.example/");
    prompts.answerNext(Prompts::Answer::Yes);
    trigger("lstvWebNotify", "mnuReset");
    EXPECT_EQ(stored("URL", "Notify1"), "<none>");
    const QString reset = "Are you sure you wish to remove all your stored last updated "
                          "values?  This means the next time you check for changes all sites "
                          "will indicate an update.";
    EXPECT_EQ(prompts.texts(),
              QStringList({"You must select a web site from the list before it "
                           "can be loaded into a browser.",
                           "A previous results file could not be found.", reset, reset}));
}

} // namespace
