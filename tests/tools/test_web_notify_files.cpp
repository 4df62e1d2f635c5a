// What web notify reads and writes besides the network: shortcut files as they are found
// in real favourites folders, the folder scan, the exclusions, HTTP dates and escaping.

#include "core/datetime.h"
#include "core/lists.h"
#include "tools/favourites.h"
#include "tools/http_date.h"
#include "tools/web_notify_pages.h"
#include "tools/web_shortcuts.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

// Readable failure messages for texts.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

bool writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
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
}

TEST(InternetShortcut, OnlyTheHeadOfAHugeFileIsRead) {
    QTemporaryDir dir;
    const QString huge = dir.filePath("huge.url");
    const QByteArray head = "[InternetShortcut]\r\nURL=http://early.example/\r\n";
    ASSERT_TRUE(writeFile(huge, head + QByteArray(8 * 1024 * 1024, ';') +
                                    "\r\nURL=http://late.example/\r\n"));
    const QByteArray read = webshortcut::readHead(huge);
    EXPECT_LE(read.size(), webshortcut::MaxFileBytes);
    EXPECT_EQ(webshortcut::internetShortcutUrl(read), "http://early.example/");
    ASSERT_TRUE(writeFile(huge, QByteArray(100 * 1024, 'x') + "\n[InternetShortcut]\nURL=late\n"));
    EXPECT_EQ(webshortcut::internetShortcutUrl(webshortcut::readHead(huge)), "");
    EXPECT_TRUE(webshortcut::readHead(dir.filePath("missing.url")).isEmpty());
}

TEST(DesktopLink, OnlyLinkEntriesCount) {
    const auto link = webshortcut::desktopLink(
        "[Desktop Entry]\nName=Weather\\sToday\nName[de]=Wetter\nType=Link\n"
        "URL=https://weather.example/today\n[Desktop Action x]\nURL=http://other/\n");
    ASSERT_TRUE(link);
    EXPECT_EQ(link->name, "Weather Today");
    EXPECT_EQ(link->url, "https://weather.example/today");
    EXPECT_FALSE(webshortcut::desktopLink("[Desktop Entry]\nType=Application\nExec=x\n"));
    EXPECT_FALSE(webshortcut::desktopLink("[desktop entry]\nType=Link\nURL=http://a/\n"));
}

class Scan : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path(const QString& relative) const { return dir.filePath("Favorites/" + relative); }
    void shortcut(const QString& relative, const QString& url) {
        ASSERT_TRUE(
            writeFile(path(relative), "[InternetShortcut]\r\nURL=" + url.toUtf8() + "\r\n"));
    }
    QStringList rows(const std::vector<Favourite>& favourites) const {
        QStringList out;
        for (const Favourite& f : favourites)
            out << QStringList{f.excluded ? "1" : "0", f.category, f.title, f.url,
                               QDir(path("")).relativeFilePath(f.filename)}
                       .join(u'|');
        return out;
    }
    QTemporaryDir dir;
};

TEST_F(Scan, FindsShortcutsInEveryFolderButLinkedOrHiddenOnes) {
    shortcut("Top.URL", "http://top/");
    shortcut("News/Daily/Paper.url", "http://paper/");
    shortcut("Links/Portal.url", "http://portal/");
    shortcut(".hidden/Secret.url", "http://secret/");
    shortcut("notes.txt", "http://not-a-shortcut/");
    ASSERT_TRUE(writeFile(path("News/Radio.desktop"),
                          "[Desktop Entry]\nType=Link\nName=Radio 4\nURL=http://radio/\n"));
    ASSERT_TRUE(writeFile(path("News/App.desktop"), "[Desktop Entry]\nType=Application\n"));
    // A link back to the top would be entered for ever; a link to a file is a shortcut.
    ASSERT_TRUE(QFile::link(path(""), path("News/Daily/Loop")));
    ASSERT_TRUE(QFile::link(path("Top.URL"), path("News/Again.url")));
    // A folder that cannot be read is passed over (root reads everything).
    QDir().mkpath(path("Locked"));
    shortcut("Locked/Hidden.url", "http://locked/");
    QFile::setPermissions(path("Locked"), QFileDevice::Permissions());

    ExcludeTable excludes;
    excludes[1].Text = "http://paper/";
    AutoExcludeTable autoExcludes;
    SetDefaultAutoExcludes(autoExcludes);
    std::vector<Favourite> found = scanFavourites(path(""));
    Exclusions(excludes, autoExcludes).mark(found);
    QStringList expected = {"0|/|Top|http://top/|Top.URL",
                            "1|/Links|Portal|http://portal/|Links/Portal.url",
                            "0|/News|Again|http://top/|News/Again.url",
                            "0|/News|Radio 4|http://radio/|News/Radio.desktop",
                            "1|/News/Daily|Paper|http://paper/|News/Daily/Paper.url"};
    if (getuid() == 0)
        expected.insert(2, "0|/Locked|Hidden|http://locked/|Locked/Hidden.url");
    EXPECT_EQ(rows(found), expected);
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

} // namespace
