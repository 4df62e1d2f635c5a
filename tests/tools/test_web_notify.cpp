// Web notify: shortcut files as they are found in real favourites folders, the folder scan,
// the exclusions, HTTP dates and escaping; then the check against a scripted HTTP server on
// 127.0.0.1: what it asks for, how it judges pages, retries and time-outs, frames,
// redirections, the proxy, the trace, the results pages and the records stored on OK.
#include "manual_clock.h"
#include "memory_settings_store.h"
#include "scripted_http_server.h"

#include "core/datetime.h"
#include "core/lists.h"
#include "core/notify_records.h"
#include "core/regional.h"
#include "core/settings.h"
#include "tools/favourites.h"
#include "tools/http_date.h"
#include "tools/web_notify_pages.h"
#include "tools/web_notify_run.h"
#include "tools/web_shortcuts.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <map>
#include <unistd.h>

namespace {

constexpr int kWait = 10000; // upper bound for anything that must happen
using Answer = ScriptedHttpServer::Answer;

bool writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}
QByteArray shortcutFile(const QString& url) {
    return "[InternetShortcut]\r\nURL=" + url.toUtf8() + "\r\n";
}

TEST(InternetShortcut, ReadsTheUrlAsWindowsWritesItAndAsPeopleEditIt) {
    const struct {
        QByteArray file;
        QString url;
    } cases[] = {
        {"[DEFAULT]\r\nBASEURL=http://a.example/\r\n[InternetShortcut]\r\nURL=http://a.example/"
         "x?a=1,2;b=3\r\nIconIndex=0\r\n",
         "http://a.example/x?a=1,2;b=3"},
        {"[internetshortcut]\nurl = http://lf.example/only\n", "http://lf.example/only"},
        {"\xEF\xBB\xBF[InternetShortcut]\r\nUrl=\"http://quoted.example/\"\r\n",
         "http://quoted.example/"},
        {"[InternetShortcut]\r\nURL=http://caf\xC3\xA9.example/\r\n", u"http://café.example/"_qs},
        {"[InternetShortcut]\r\nURL=http://caf\xE9.example/\x80\r\n",
         u"http://café.example/€"_qs}, // not UTF-8: the code page
        {"[Other]\r\nURL=http://wrong.example/\r\n[InternetShortcut]\r\nIconFile=x\r\n", ""},
        {"URL=http://nosection.example/\r\n", ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(webshortcut::internetShortcutUrl(c.file), c.url) << c.file.toStdString();

    // Only the head of a huge file is read.
    QTemporaryDir dir;
    const QString huge = dir.filePath("huge.url");
    ASSERT_TRUE(writeFile(huge, shortcutFile("http://early.example/") +
                                    QByteArray(8 * 1024 * 1024, ';') + "\r\nURL=late\r\n"));
    const QByteArray read = webshortcut::readHead(huge);
    EXPECT_LE(read.size(), webshortcut::MaxFileBytes);
    EXPECT_EQ(webshortcut::internetShortcutUrl(read), "http://early.example/");
    ASSERT_TRUE(writeFile(huge, QByteArray(100 * 1024, 'x') + "\n[InternetShortcut]\nURL=late\n"));
    EXPECT_EQ(webshortcut::internetShortcutUrl(webshortcut::readHead(huge)), "");
    EXPECT_TRUE(webshortcut::readHead(dir.filePath("missing.url")).isEmpty());

    // Of desktop entries only links count.
    const auto link = webshortcut::desktopLink(
        "[Desktop Entry]\nName=Weather\\sToday\nName[de]=Wetter\nType=Link\n"
        "URL=https://weather.example/today\n[Desktop Action x]\nURL=http://other/\n");
    ASSERT_TRUE(link);
    EXPECT_EQ(link->name + ' ' + link->url, "Weather Today https://weather.example/today");
    EXPECT_FALSE(webshortcut::desktopLink("[Desktop Entry]\nType=Application\nExec=x\n"));
    EXPECT_FALSE(webshortcut::desktopLink("[desktop entry]\nType=Link\nURL=http://a/\n"));
}

TEST(FavouritesScan, FindsShortcutsInEveryFolderButLinkedOrHiddenOnes) {
    QTemporaryDir dir;
    const auto path = [&](const QString& relative) {
        return dir.filePath("Favorites/" + relative);
    };
    const std::pair<const char*, const char*> shortcuts[] = {
        {"Top.URL", "http://top/"},
        {"News/Daily/Paper.url", "http://paper/"},
        {"Links/Portal.url", "http://portal/"},
        {".hidden/Secret.url", "http://secret/"},
        {"notes.txt", "http://not-a-shortcut/"},
        {"Locked/Hidden.url", "http://locked/"}};
    for (const auto& [file, url] : shortcuts)
        ASSERT_TRUE(writeFile(path(file), shortcutFile(url)));
    ASSERT_TRUE(writeFile(path("News/Radio.desktop"),
                          "[Desktop Entry]\nType=Link\nName=Radio 4\nURL=http://radio/\n"));
    ASSERT_TRUE(writeFile(path("News/App.desktop"), "[Desktop Entry]\nType=Application\n"));
    // A link back to the top would be entered for ever; a link to a file is a shortcut.
    ASSERT_TRUE(QFile::link(path(""), path("News/Daily/Loop")));
    ASSERT_TRUE(QFile::link(path("Top.URL"), path("News/Again.url")));
    // A folder that cannot be read is passed over (root reads everything).
    QFile::setPermissions(path("Locked"), QFileDevice::Permissions());

    ExcludeTable excludes;
    excludes[1].Text = "http://paper/";
    AutoExcludeTable autoExcludes;
    SetDefaultAutoExcludes(autoExcludes);
    std::vector<Favourite> found = scanFavourites(path(""));
    Exclusions(excludes, autoExcludes).mark(found);
    QStringList rows;
    for (const Favourite& f : found)
        rows << QStringList{f.excluded ? "1" : "0", f.category, f.title, f.url,
                            QDir(path("")).relativeFilePath(f.filename)}
                    .join(u'|');
    QStringList expected = {"0|/|Top|http://top/|Top.URL",
                            "1|/Links|Portal|http://portal/|Links/Portal.url",
                            "0|/News|Again|http://top/|News/Again.url",
                            "0|/News|Radio 4|http://radio/|News/Radio.desktop",
                            "1|/News/Daily|Paper|http://paper/|News/Daily/Paper.url"};
    if (getuid() == 0)
        expected.insert(2, "0|/Locked|Hidden|http://locked/|Locked/Hidden.url");
    EXPECT_EQ(rows, expected);
    QFile::setPermissions(path("Locked"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_TRUE(scanFavourites(dir.filePath("missing")).empty());
}

TEST(HttpDate, TheThreeFormsAndNothingElse) {
    const TDateTime expected = datetime::encode(1994, 11, 6, 8, 49, 37);
    for (const char* text : {"Sun, 06 Nov 1994 08:49:37 GMT", "sunday, 06-nov-94 08:49:37 GMT",
                             "Sun Nov  6 08:49:37 1994", " SUN, 6 NOV 1994 08:49:37 UTC ",
                             "Sun, 06 Nov 1994 09:49:37 +0100"}) {
        const auto parsed = parseHttpDate(QString::fromLatin1(text));
        ASSERT_TRUE(parsed) << text;
        EXPECT_NEAR(*parsed, expected, 1e-9) << text;
    }
    EXPECT_NEAR(*parseHttpDate(u"Thu, 01-Jan-70 00:00:00 GMT"), datetime::encode(1970, 1, 1), 1e-9);
    for (const char* text :
         {"", "Sun, 31 Feb 1994 08:49:37 GMT", "Sun, 06 Nov 1994 24:00:00 GMT",
          "Sun, 06 Foo 1994 08:49:37 GMT", "Sun, 06 Nov 1994 08:49 GMT", "1994-11-06T08:49:37Z",
          "Sun, 06 Nov 1994 08:49:37 CET", "Sun,", "Sun Nov 6 08:49:37", "Sun, 06 Nov 199 1:2:3"})
        EXPECT_FALSE(parseHttpDate(QString::fromLatin1(text))) << text;
}

TEST(ResultsPages, TitlesAndAddressesCannotBringMarkup) {
    EXPECT_EQ(webnotifypages::escaped(u"<script>\"a\" & 'b' café 😀"_qs),
              "&lt;script&gt;&quot;a&quot; &amp; 'b' caf&#233; &#128512;");
    const QStringList toc = webnotifypages::contentsPage(
        {{"Same", "http://a/?x=\"><script>"}, {"Same", "http://a/frame"}, {"Other", "http://b/"}});
    EXPECT_EQ(toc.mid(3, 2),
              QStringList({"<LI><A HREF=\"http://a/?x=&quot;&gt;&lt;script&gt;\" "
                           "TARGET=\"main_vorn\">Same</A></LI>",
                           "<LI><A HREF=\"http://b/\" TARGET=\"main_vorn\">Other</A></LI>"}));
}

// A page of exactly `size` bytes that ends the way a whole page does.
QByteArray page(int size, const QByteArray& headers = {}) {
    const QByteArray end = "</HTML>";
    return "HTTP/1.0 200 OK\r\n" + headers + "\r\n" + QByteArray(size - end.size(), 'x') + end;
}

QByteArray lastModified(const char* date) {
    return QByteArray("Last-Modified: ") + date + "\r\n";
}

class WebNotify : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(server.listen());
        server.setResponder([this](const QByteArray& head) {
            const QByteArray path = head.split(' ').value(1);
            ++fetches[path];
            const auto it = answers.find(path);
            return it == answers.end() ? Answer{"HTTP/1.0 404 Not Found\r\n\r\n"} : it->second;
        });
    }

    QString url(const QString& path) const { return server.url(path); }
    void serve(const QByteArray& path, const QByteArray& bytes, Answer::End end = Answer::Close) {
        answers[path] = Answer{bytes, end};
    }
    void storeRecord(const QString& address, TDateTime lastUpdated, qint64 size) {
        NotifyRecords records = NotifyRecords::load(store, regional);
        records.save(store, {address, lastUpdated, size, "No"}, regional);
    }
    void go(const QList<WebNotifyPage>& pages) {
        QSignalSpy finished(&run, &WebNotifyRun::finished);
        run.go(pages, settings);
        ASSERT_TRUE(finished.count() == 1 || finished.wait(kWait)) << "the check never ended";
    }
    void goPaths(const QStringList& paths) {
        QList<WebNotifyPage> pages;
        for (const QString& p : paths)
            pages.append({p.mid(1), url(p), "/favourites" + p + ".url"});
        go(pages);
    }
    QStringList statuses() const {
        QStringList out;
        for (const WebNotifyResult& r : run.rows())
            out << QString::number(r.status);
        return out;
    }
    QString traceText() const {
        QFile f(dir.filePath("Logs/notify.txt"));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    bool ownersOnly(const QString& name) const {
        return (QFile(dir.filePath(name)).permissions() & 0x0077) == QFileDevice::Permissions();
    }

    QTemporaryDir dir;
    ScriptedHttpServer server;
    std::map<QByteArray, Answer> answers;
    std::map<QByteArray, int> fetches;
    MemorySettingsStore store;
    ManualClock clock;
    RegionalSettings regional = RegionalSettings::english();
    typSettings settings;
    WebNotifyRun run{store, clock, regional, dir.path()};
};

TEST_F(WebNotify, SizeWithinTheMarginAndDatesToTheSecondDecide) {
    settings.Web_Notify_Page_Size_Margin = 2; // 20 bytes
    const TDateTime stored = datetime::encode(2024, 3, 5, 10, 20, 30);
    const struct {
        int size;
        const char* date;
        int status;
        const char* why;
    } cases[] = {
        {1020, "Tue, 05 Mar 2024 10:20:30 GMT", 4, "UPDATED NO"},
        {1021, "Tue, 05 Mar 2024 10:20:30 GMT", 6, "UPDATED VIA SIZE"},
        {980, "Tue, 05 Mar 2024 10:20:30 GMT", 4, "UPDATED NO"},
        {979, "Tue, 05 Mar 2024 10:20:30 GMT", 6, "UPDATED VIA SIZE"},
        {1000, "Tue, 05 Mar 2024 10:20:31 GMT", 6, "UPDATED VIA DATE"},
        {1000, "Tuesday, 05-Mar-24 10:20:30 GMT", 4, "UPDATED NO"},
        {1000, "Tue Mar  5 10:20:30 2024", 4, "UPDATED NO"},
        {1000, "yesterday", 6, "UPDATED VIA DATE"}, // no date at all
    };
    for (const auto& c : cases) {
        storeRecord(url("/p.htm"), stored, 1000);
        serve("/p.htm", page(c.size, lastModified(c.date)));
        goPaths({"/p.htm"});
        ASSERT_EQ(run.rows().size(), 1u);
        EXPECT_EQ(run.rows()[0].status, c.status) << c.size << " " << c.date;
        EXPECT_TRUE(traceText().contains(QStringLiteral(": ") + c.why)) << c.size << " " << c.date;
        EXPECT_EQ(run.rows()[0].size, c.size);
        // A run without changes writes no results pages.
        EXPECT_EQ(run.showResultsEnabled(), c.status == 6);
        if (&c == cases) {
            EXPECT_FALSE(QFile::exists(dir.filePath("notify_toc.htm")));
        }
    }
}

TEST_F(WebNotify, FailuresAreRetriedExactlyAsOftenAsAllowed) {
    const struct {
        QByteArray answer;
        int retries;
        int fetches;
    } cases[] = {
        {"HTTP/1.0 404 Not Found\r\n\r\n", 3, 4},
        {"HTTP/1.0 200 OK\r\n\r\nhalf a page", 1, 2},                // never ends in </HTML>
        {"HTTP/1.0 302 Found\r\nLocation: /loop.htm\r\n\r\n", 0, 6}, // gives up after 5 hops
    };
    for (const auto& c : cases) {
        fetches.clear();
        serve("/loop.htm", c.answer);
        settings.Web_Notify_Retries = c.retries;
        goPaths({"/loop.htm"});
        EXPECT_EQ(fetches["/loop.htm"], c.fetches) << c.answer.left(20).toStdString();
        EXPECT_EQ(statuses(), QStringList({"5"}));
        EXPECT_EQ(run.rows()[0].retries, c.retries);
        EXPECT_EQ(run.rows()[0].size, -1);
        EXPECT_FALSE(QFile::exists(dir.filePath("Logs/0.htm")));
    }
    EXPECT_TRUE(traceText().contains(": RETRY - ERROR - USED RETRIES"));

    // A stalled page times out once per attempt.
    for (const int retries : {1, 3}) {
        answers.clear();
        serve("/slow.htm", {}, Answer::StayOpen);
        const qsizetype before = server.heads().size();
        settings.Web_Notify_Retries = retries;
        settings.Web_Notify_Time_Out = 0; // 10 s
        QSignalSpy finished(&run, &WebNotifyRun::finished);
        run.go({{"Slow", url("/slow.htm"), "slow.url"}}, settings);
        for (int attempt = 1; attempt <= retries + 1; ++attempt) {
            ASSERT_TRUE(
                QTest::qWaitFor([&] { return server.heads().size() == before + attempt; }, kWait));
            EXPECT_EQ(run.rows()[0].retries, attempt - 1);
            clock.advance(10001);
        }
        ASSERT_TRUE(finished.wait(kWait));
        EXPECT_EQ(server.heads().size() - before, retries + 1);
        EXPECT_EQ(statuses(), QStringList({"5"}));
        EXPECT_EQ(traceText().count(": TIMEOUT - RETRY("), retries);
        EXPECT_TRUE(traceText().contains(": TIMEOUT - USED RETRIES"));
    }
}

TEST_F(WebNotify, FramesetsAddTheirFramesRelativeAndAbsolute) {
    settings.Recurse_Frame_Pages = true;
    const QByteArray absolute =
        url("/abs.htm").toUpper().toLatin1().replace("/ABS.HTM", "/abs.htm");
    serve("/site/index.htm",
          "HTTP/1.0 200 OK\r\n\r\n<html><frameset><FRAME SRC=\"left.htm\" name=a>"
          "<frame name=b src=\"" +
              absolute + "\"><frame src=\"/top.htm\"></frameset>");
    serve("/site/left.htm", page(100));
    serve("/abs.htm", page(200));
    serve("/top.htm", page(300));
    goPaths({"/site/index.htm"});
    ASSERT_EQ(run.rows().size(), 4u);
    EXPECT_EQ(run.rows()[0].frames, "Yes");
    const QStringList expected = {url("/site/left.htm"), QString::fromLatin1(absolute),
                                  url("/top.htm")};
    for (int i = 1; i <= 3; ++i) {
        const WebNotifyResult& frame = run.rows()[static_cast<size_t>(i)];
        EXPECT_EQ(frame.url, expected[i - 1]);
        EXPECT_EQ(frame.parentRow, 0);
        EXPECT_EQ(frame.title, "site/index.htm");
        EXPECT_EQ(frame.parentUrl, url("/site/index.htm"));
    }
    EXPECT_EQ(statuses(), QStringList({"6", "6", "6", "6"}));
    EXPECT_EQ(fetches["/site/left.htm"] + fetches["/abs.htm"] + fetches["/top.htm"], 3);
    // A page and its frames share one link, to the page.
    QFile toc(dir.filePath("notify_toc.htm"));
    ASSERT_TRUE(toc.open(QIODevice::ReadOnly));
    EXPECT_EQ(toc.readAll().count("<LI>"), 1);
}

TEST_F(WebNotify, JudgedByDateAloneTheBodyIsNotFetched) {
    const TDateTime stored = datetime::encode(2024, 3, 5, 10, 20, 30);
    const QByteArray header =
        "HTTP/1.0 200 OK\r\n" + lastModified("Tue, 05 Mar 2024 10:20:31 GMT") + "\r\n";
    const struct {
        bool pageSize;
        bool lastUpdatedOnly;
        const char* abort;
    } cases[] = {{true, true, "ABORT - LAST UPDATED HEADER FOUND"},
                 {false, false, "ABORT - NOT CHECKING FOR SIZE CHANGE"}};
    for (const auto& c : cases) {
        storeRecord(url("/dated.htm"), stored, 5000);
        settings.Web_Notify_Page_Size_Changes = c.pageSize;
        settings.Use_Last_Updated_Only = c.lastUpdatedOnly;
        // The body never comes: only an abort after the header ends the request.
        serve("/dated.htm", header, Answer::StayOpen);
        goPaths({"/dated.htm"});
        EXPECT_EQ(statuses(), QStringList({"6"})) << c.abort;
        EXPECT_EQ(run.rows()[0].size, -1);
        EXPECT_TRUE(traceText().contains(QStringLiteral(": ") + c.abort));
        EXPECT_TRUE(traceText().contains(": UPDATED VIA DATE"));
    }
    // Judged by date with no date given: the page is fetched and its missing date compared.
    settings.Web_Notify_Page_Size_Changes = false;
    serve("/undated.htm", page(70));
    storeRecord(url("/undated.htm"), 0, 10);
    goPaths({"/undated.htm"});
    EXPECT_EQ(statuses(), QStringList({"4"}));
    EXPECT_EQ(run.rows()[0].size, 70);

    // A redirection is followed; its date is not the page's: the page has none, so its
    // date changed.
    serve("/old.htm", "HTTP/1.0 302 Found\r\nLocation: /new.htm\r\n" +
                          lastModified("Mon, 01 Jan 2024 00:00:00 GMT") + "\r\n");
    serve("/new.htm", page(90));
    storeRecord(url("/old.htm"), datetime::encode(2024, 1, 1), 90);
    goPaths({"/old.htm"});
    EXPECT_EQ(fetches["/new.htm"], 1);
    EXPECT_EQ(statuses(), QStringList({"6"}));
    EXPECT_FALSE(run.rows()[0].lastUpdated.has_value());
}

TEST_F(WebNotify, AProxyIsAskedForTheAddressAndItsPasswordStaysOutOfTheTrace) {
    settings.Proxy = "127.0.0.1";
    settings.Proxy_Port = server.port();
    settings.Proxy_UserName = "walter";
    settings.Proxy_Password = "s3cret";
    serve("http://pages.example/index.htm", page(120));
    go({{"Example", "http://pages.example/index.htm", "example.url"}});
    EXPECT_EQ(server.heads(), QList<QByteArray>{"GET http://pages.example/index.htm HTTP/1.0\r\n"
                                                "Host: pages.example\r\nProxy-Authorization: "
                                                "Basic d2FsdGVyOnMzY3JldA==\r\n\r\n"});
    const QString trace = traceText();
    EXPECT_TRUE(trace.contains(": PROXY - 127.0.0.1:" + QString::number(server.port())));
    EXPECT_TRUE(trace.contains(": PROXY - AUTHENTICATE - walter:****"));
    EXPECT_FALSE(trace.contains("s3cret"));
    EXPECT_TRUE(trace.startsWith("Log Created : "));
    EXPECT_TRUE(trace.contains(" - Item 0: START - http://pages.example/index.htm\n"));
    EXPECT_TRUE(ownersOnly("Logs/notify.txt"));

    // The next check keeps this trace as the backup, the user's alone too.
    go({{"Example", "http://pages.example/index.htm", "example.url"}});
    QFile backup(dir.filePath("Logs/notify.bak"));
    ASSERT_TRUE(backup.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(backup.readAll()), trace);
    EXPECT_TRUE(ownersOnly("Logs/notify.bak"));
}

TEST_F(WebNotify, StopPutsTheFetchesBackAndContinueFinishesThem) {
    settings.Simultaneous_Connections = 0; // 5 at once
    settings.Web_Notify_Retries = 0;
    QList<WebNotifyPage> pages;
    for (int i = 0; i < 7; ++i) {
        const QString p = "/p" + QString::number(i) + ".htm";
        serve(p.toLatin1(), {}, Answer::StayOpen);
        pages.append({p, url(p), p});
    }
    run.go(pages, settings);
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.heads().size() == 5; }, kWait));
    EXPECT_EQ(run.activeRequests(), 5);
    run.stop();
    EXPECT_FALSE(run.running());
    EXPECT_TRUE(run.continueEnabled() && run.goEnabled());
    EXPECT_EQ(statuses(), QStringList(7, "0")); // none of them failed
    for (const WebNotifyResult& r : run.rows())
        EXPECT_EQ(r.retries, 0);

    for (int i = 0; i < 7; ++i)
        serve("/p" + QByteArray::number(i) + ".htm", page(50 + i));
    QSignalSpy finished(&run, &WebNotifyRun::finished);
    run.continueRun(settings);
    ASSERT_TRUE(finished.wait(kWait));
    EXPECT_EQ(statuses(), QStringList(7, "6"));
}

TEST_F(WebNotify, OkStoresTheChangedPagesAndKeepsSizesNotMeasured) {
    storeRecord(url("/dated.htm"), datetime::encode(2024, 3, 5, 10, 20, 30), 5000);
    storeRecord(url("/unchanged.htm"), 0, 40);
    settings.Use_Last_Updated_Only = true;
    serve("/dated.htm",
          "HTTP/1.0 200 OK\r\n" + lastModified("Tue, 05 Mar 2024 11:00:00 GMT") + "\r\n",
          Answer::StayOpen);
    serve("/unchanged.htm", page(40));
    serve("/new.htm", "HTTP/1.0 200 OK\r\n\r\n<frameset></frameset>");
    goPaths({"/dated.htm", "/unchanged.htm", "/new.htm"});
    EXPECT_EQ(statuses(), QStringList({"6", "4", "6"}));
    run.saveResults(store);

    const NotifyRecords records = NotifyRecords::load(store, regional);
    EXPECT_EQ(records.count(), 3);
    const NotifyRecord dated = records.find(url("/dated.htm"));
    EXPECT_NEAR(dated.Last_Updated, datetime::encode(2024, 3, 5, 11), 1e-8); // to the ms
    EXPECT_EQ(dated.Last_Size, 5000);
    EXPECT_EQ(records.find(url("/new.htm")), (NotifyRecord{url("/new.htm"), 0, 21, "Yes"}));
    EXPECT_EQ(store.value("Notify3", "Last_Updated"), "0");

    NotifyRecords::reset(store);
    EXPECT_EQ(NotifyRecords::load(store, regional).count(), 0);
    EXPECT_TRUE(store.sections().isEmpty());
}

} // namespace
