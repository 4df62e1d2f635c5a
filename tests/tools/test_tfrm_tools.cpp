// The tools window over a real settings file: what OK stores and Cancel leaves alone, the
// sections, the tool lists with their dialogs and messages, the option pages and the
// password keeper with its guard and its file.

#include "fake_dial_up_service.h"
#include "fake_icmp_echo.h"
#include "fake_shell.h"
#include "finger_server.h"
#include "manual_clock.h"
#include "recording_help.h"
#include "recording_printer.h"
#include "scripted_dialogs.h"
#include "scripted_pop3_server.h"
#include "scripted_prompts.h"
#include "tools_test_support.h"

#include "core/connectoid_names.h"
#include "core/debug_log.h"
#include "core/ini_settings_store.h"
#include "core/password_file.h"
#include "core/regional.h"
#include "core/settings_io.h"
#include "net/finger_client.h"
#include "tools/finger_session.h"
#include "tools/ping_session.h"
#include "tools/pop3_check_session.h"
#include "tools/tfrm_tools.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

class Tools : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QDir().mkpath(dir.filePath("home"));
        qputenv("HOME", dir.filePath("home").toLocal8Bit());
        store = std::make_unique<IniSettingsStore>(dir.filePath("VORN.conf"));
    }
    void TearDown() override {
        window.reset();
        qputenv("HOME", savedHome);
    }

    QString passwordPath() const { return dir.filePath("Logs/password.bin"); }

    // What the main window does around the window: load, open; reload after.
    void load() {
        LoadSettings(*store, settings, lists,
                     {regional, clock, {true, true}, passwordPath(), QString(), {}});
        store->sync();
    }
    TfrmTools& open() {
        load();
        window = std::make_unique<TfrmTools>(WindowServices{*store,
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
                                                            {true, true},
                                                            [this] { return callUp; }},
                                             std::unique_ptr<IcmpEcho>(echo = new FakeIcmpEcho));
        window->show();
        return *window;
    }

    template <typename T> T* child(const char* name) const {
        T* w = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_TRUE(w) << name;
        return w;
    }
    void click(const char* button) const { child<QPushButton>(button)->click(); }
    QTreeWidget* list(const char* name) const { return child<QTreeWidget>(name); }

    QStringList visibleTabs() const {
        auto* pages = child<QTabWidget>("pageTools");
        QStringList out;
        for (int i = 0; i < pages->count(); ++i)
            if (pages->isTabVisible(i))
                out << pages->tabText(i);
        return out;
    }
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
        return store->readString(section, name, QStringLiteral("<none>"));
    }
    // For a person to look at in the build folder's artifacts/.
    void keepPicture(const QString& name) const {
        const QString folder = qEnvironmentVariable("VORN_BINARY_DIR") + "/artifacts";
        QDir().mkpath(folder);
        EXPECT_TRUE(window->grab().save(folder + "/" + name)) << name.toStdString();
    }

    QTemporaryDir dir;
    QByteArray savedHome = qgetenv("HOME");
    std::unique_ptr<IniSettingsStore> store;
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
    bool callUp = false;
    FakeIcmpEcho* echo = nullptr; // the window's
    std::unique_ptr<TfrmTools> window;
};

typPasswordInformation pw(const QString& company, const QString& user = "user",
                          const QString& password = "password", const QString& comments = "") {
    return {company, user, password, comments};
}

} // namespace

TEST_F(Tools, OkOnAFreshSettingsFileStoresTheToolValuesDefaultListsAndAnEmptyPasswordFile) {
    QDir().mkpath(dir.filePath("home/Favorites"));
    open();
    click("cmdOK");
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), QDialog::Accepted);

    const QString expected =
        "Repeat_Ping=4 Time_Out=1 Additional_Lines=0 Check_At_Startup=0 "
        "Execute_Mail_Application=0 Mail_Application= Mail_Application_Parameters= "
        "Port_Number=110 Proxy= Proxy_UserName= Proxy_Password= Proxy_Port=0 "
        "Show_Always_Company=1 Show_Always_Username=0 Show_Always_Password=0 "
        "Show_Always_Comments=1 Password= Simultaneous_Connections=0 Web_Notify_Retries=3 "
        "Web_Notify_Time_Out=1 URL_Folder_Location=" +
        dir.filePath("home/Favorites") +
        " Recurse_Frame_Pages=0 Use_Last_Updated_Only=0 Web_Notify_Page_Size_Changes=1 "
        "Web_Notify_Last_Updated_Changes=1 Web_Notify_Page_Size_Margin=1 Number_Of_Fingers=3 "
        "Number_Of_Pings=1 Number_Of_POP3=0 Number_Of_Excludes=0 Number_Of_Auto_Excludes=0 "
        "Tools_Window_Width=630 Tools_Window_Height=450";
    for (const QString& pair : expected.split(u' ')) {
        const QString name = pair.section(u'=', 0, 0);
        EXPECT_EQ(stored(name), pair.section(u'=', 1)) << name.toStdString();
    }
    EXPECT_EQ(stored("Description", "Ping1"), "Gateway");
    EXPECT_TRUE(stored("Host", "Finger3").contains(u'@'));
    EXPECT_EQ(stored("Host", "Finger4"), "<none>");

    const QFileInfo file(passwordPath());
    ASSERT_TRUE(file.isFile());
    EXPECT_EQ(file.size(), 0);
    EXPECT_EQ(file.permissions() & 0x0077, QFileDevice::Permissions()); // nothing for others
}

TEST_F(Tools, CancelOrEscapeLeavesTheSettingsFileByteIdenticalAndWritesNoPasswordFile) {
    for (const bool escape : {false, true}) {
        open();
        const QByteArray before = bytes(store->path());
        const typLists listsBefore = lists;
        const typSettings settingsBefore = settings;
        child<QComboBox>("cboRepeatPing")->setCurrentIndex(0);
        child<QLineEdit>("txtProxy")->setText("proxy.example.net");
        window->selectSection(TfrmTools::Ping);
        onNextModal([](QDialog* d) {
            setField(d, "txtHost", "10.0.0.9");
            press(d, "btnOK");
        });
        click("cmdPingInsert");
        ASSERT_EQ(list("lstvPingGeneral")->topLevelItemCount(), 2);
        if (escape)
            QTest::keyClick(window.get(), Qt::Key_Escape);
        else
            click("btnCancel");
        EXPECT_FALSE(window->isVisible());
        store->sync();
        EXPECT_EQ(bytes(store->path()), before) << escape;
        EXPECT_TRUE(lists == listsBefore);
        EXPECT_TRUE(settings == settingsBefore);
        EXPECT_FALSE(QFile::exists(passwordPath()));
    }
}

TEST_F(Tools, TheWindowKeepsItsSizeUnlessTooLargeAndTheCloseBoxStoresOnlyThat) {
    const struct {
        int width, height;
        QSize opens;
    } sizes[] = {{2000, 2000, {630, 450}}, {700, 500, {700, 500}}, {100, 100, {630, 450}}};
    for (const auto& s : sizes) {
        store->writeInteger({}, "Tools_Window_Width", s.width);
        store->writeInteger({}, "Tools_Window_Height", s.height);
        open();
        EXPECT_EQ(window->size(), s.opens) << s.width;
    }
    child<QComboBox>("cboRepeatPing")->setCurrentIndex(0);
    window->resize(720, 520);
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(stored("Tools_Window_Width"), "720");
    EXPECT_EQ(stored("Tools_Window_Height"), "520");
    EXPECT_EQ(stored("Repeat_Ping"), "<none>");
}

TEST_F(Tools, SectionsShowOnlyTheirPagesAndHelpFollowsThePage) {
    open();
    auto* sections = child<QListWidget>("listvSections");
    ASSERT_EQ(sections->count(), 5);
    QStringList captions;
    for (int i = 0; i < sections->count(); ++i)
        captions << sections->item(i)->text();
    EXPECT_EQ(captions,
              QStringList({"Web Notification", "Password Database", "Finger", "Ping", "POP3"}));
    EXPECT_EQ(sections->currentRow(), 0);

    const QList<QStringList> pages = {{"Web Notification", "Results", "Options"},
                                      {"Password Database", "Options"},
                                      {"Finger"},
                                      {"Ping", "Options"},
                                      {"POP3", "Options"}};
    for (int s : {3, 1, 4, 2, 0}) {
        sections->setCurrentRow(s);
        EXPECT_EQ(visibleTabs(), pages[s]) << s;
    }
    window->selectSection(TfrmTools::Ping);
    click("btnHelp");
    child<QTabWidget>("pageTools")->setCurrentIndex(4);
    click("btnHelp");
    EXPECT_EQ(help.topics, QStringList({"tools#ping", "tools#ping-options"}));
}

TEST_F(Tools, ListsNameTheirEntriesWhenNothingIsSelectedAndWhenFull) {
    for (int i = 1; i <= 15; ++i) {
        lists.Pings[i] = {"p" + QString::number(i), "", false};
        lists.Fingers[i] = {"f@" + QString::number(i), "", false};
        lists.POP3s[i] = {"s" + QString::number(i), "u", "p", false};
    }
    for (int i = 1; i <= 75; ++i)
        lists.Passwords[i] = pw("c" + QString::number(i));
    SavePings(*store, lists.Pings);
    SaveFingers(*store, lists.Fingers);
    SavePOP3s(*store, lists.POP3s);
    passwordfile::write(passwordPath(), lists.Passwords);
    open();

    const struct {
        TfrmTools::Section section;
        const char* prefix;
        const char* entry;
        QString full;
    } cases[] = {
        {TfrmTools::Ping, "Ping", "Ping Entry",
         "The ping section has a maximum capacity of 15 entries.\n\r\n\rTo add another ping "
         "entry you will need to remove an existing entry first."},
        {TfrmTools::Finger, "Finger", "Finger Entry",
         "The finger section has a maximum capacity of 15 entries.\n\r\n\rTo add another finger "
         "entry you will need to remove an existing entry first."},
        {TfrmTools::POP3, "POP3", "POP3 Entry",
         "The POP3 section has a maximum capacity of 15 entries.\n\r\n\rTo add another POP3 "
         "entry you will need to remove an existing entry first."},
        {TfrmTools::PasswordDatabase, "Password", "Password Database Entry",
         "The Password Database section has a maximum capacity of 75 entries.\n\r\n\rTo add "
         "another Password Database entry you will need to remove an existing entry first."},
    };
    for (const auto& c : cases) {
        prompts.shown.clear();
        window->selectSection(c.section);
        const QByteArray prefix = QByteArray("cmd") + c.prefix;
        click(prefix + "Remove");
        click(prefix + "Properties");
        click(prefix + "Insert");
        EXPECT_EQ(prompts.texts(),
                  QStringList({QString("You must select a %1 from the list above before it can "
                                       "be removed.")
                                   .arg(c.entry),
                               QString("You must select a %1 from the list above before the "
                                       "properties can be displayed.")
                                   .arg(c.entry),
                               c.full}))
            << c.prefix;
        EXPECT_EQ(prompts.shown.value(0).kind, Prompts::Kind::Warning);
    }
    prompts.shown.clear();
    click("cmdPasswordView");
    EXPECT_EQ(prompts.texts(), QStringList("You must select a Password Database entry from the "
                                           "list before details can be displayed."));
}

TEST_F(Tools, PingAndFingerEntriesKeepOneDefaultAndFollowTheListKeys) {
    open();
    window->selectSection(TfrmTools::Ping);
    QTreeWidget* pings = list("lstvPingGeneral");
    ASSERT_EQ(rows(pings).size(), 1);
    EXPECT_TRUE(rows(pings)[0].endsWith("|Gateway|True"));

    // Insert key: an empty dialog whose OK waits for a host.
    bool okAtFirst = true;
    onNextModal([&](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), "Insert Ping");
        EXPECT_EQ(d->findChild<QLabel*>("lblHost")->text(), "Host / IP Address");
        okAtFirst = d->findChild<QPushButton*>("btnOK")->isEnabled();
        setField(d, "txtHost", " 10.0.0.1 ");
        setField(d, "txtDescription", "Router");
        d->findChild<QCheckBox*>("chkDefault")->setChecked(true);
        press(d, "btnOK");
    });
    pings->setFocus();
    QTest::keyClick(pings, Qt::Key_Insert);
    EXPECT_FALSE(okAtFirst);
    ASSERT_EQ(rows(pings).size(), 2);
    EXPECT_TRUE(rows(pings)[0].endsWith("|Gateway|False"));
    EXPECT_EQ(rows(pings)[1], "10.0.0.1|Router|True");

    // Properties: the host cannot be emptied.
    bool okWithoutHost = true;
    onNextModal([&](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), "Properties");
        EXPECT_EQ(d->findChild<QLineEdit*>("txtHost")->text(), "10.0.0.1");
        setField(d, "txtHost", " ");
        okWithoutHost = d->findChild<QPushButton*>("btnOK")->isEnabled();
        press(d, "btnCancel");
    });
    click("cmdPingProperties");
    EXPECT_FALSE(okWithoutHost);
    EXPECT_EQ(rows(pings)[1], "10.0.0.1|Router|True");

    // Delete and Backspace remove the selected entry; the next one takes its place.
    pings->setCurrentItem(pings->topLevelItem(0));
    QTest::keyClick(pings, Qt::Key_Delete);
    EXPECT_EQ(rows(pings), QStringList("10.0.0.1|Router|True"));
    QTest::keyClick(pings, Qt::Key_Backspace);
    EXPECT_TRUE(rows(pings).isEmpty());

    window->selectSection(TfrmTools::Finger);
    onNextModal([](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), "Insert Finger");
        EXPECT_EQ(d->findChild<QLabel*>("lblHost")->text(), "Address");
        press(d, "btnCancel");
    });
    click("cmdFingerInsert");
    EXPECT_EQ(rows(list("lstvFingerGeneral")).size(), 3);

    click("cmdOK");
    EXPECT_EQ(stored("Number_Of_Pings"), "0");
    EXPECT_EQ(stored("Number_Of_Fingers"), "3");
}

TEST_F(Tools, Pop3AccountsNeedServerUserAndPasswordAndShowThePasswordMasked) {
    open();
    window->selectSection(TfrmTools::POP3);
    QList<bool> okStates;
    onNextModal([&](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), "Insert POP3");
        auto* ok = d->findChild<QPushButton*>("btnOK");
        okStates << ok->isEnabled();
        for (const char* field : {"txtServer", "txtUserName", "txtPassword"}) {
            setField(d, field, "Zap9");
            okStates << ok->isEnabled();
        }
        d->findChild<QCheckBox*>("chkIncludeInStartupCheck")->setChecked(true);
        press(d, "btnOK");
    });
    click("cmdPOP3Insert");
    EXPECT_EQ(okStates, QList<bool>({false, false, false, true}));
    EXPECT_EQ(rows(list("lstvPOP3General")), QStringList("Zap9|Zap9|****|True"));
    EXPECT_EQ(child<QGroupBox>("groupPOP3Output")->title(), "Output");

    click("cmdOK");
    EXPECT_EQ(stored("Server", "POP31"), "Zap9");
    EXPECT_EQ(stored("Password", "POP31"), ScramblePassword("Zap9"));
    EXPECT_EQ(stored("Include_In_Startup_Check", "POP31"), "1");
}

TEST_F(Tools, OptionControlsStoreTheirSettingsOnOk) {
    QDir().mkpath(dir.filePath("pages"));
    open();
    const auto index = [&](const char* name, int i) { child<QComboBox>(name)->setCurrentIndex(i); };
    const auto check = [&](const char* name, bool on) { child<QCheckBox>(name)->setChecked(on); };
    const auto text = [&](const char* name, const QString& t) {
        child<QLineEdit>(name)->setText(t);
    };
    index("cboRepeatPing", 5);
    index("cboTimeOut", 0);
    index("cboAdditionalLines", 3);
    check("chkCheckAtStartup", true);
    check("chkExecuteMailApplication", true);
    text("txtMailApplicationParameters", "-inbox");
    auto* port = child<QLineEdit>("txtPort");
    port->setFocus();
    port->selectAll();
    QTest::keyClicks(port, "12a");
    EXPECT_EQ(port->text(), "12");
    text("txtPort", "0"); // no port: the nearest one
    dialogs.answerNext(QStringLiteral("/usr/bin/mailer"));
    click("cmdMailApplication");
    index("cboSimultaneousConnections", 9);
    index("cboWebNotifyRetries", 0);
    index("cboWebNotifyTimeOut", 5);
    index("cboPageSizeMargin", 10);
    check("chkRecurseFramePages", true);
    check("chkUseLastUpdatedOnly", true);
    check("chkPageSizeChanges", false);
    check("chkLastUpdatedChanges", false); // not both: unchecking one checks the other
    text("txtProxy", "proxy.example.net");
    text("txtProxyPort", "");
    text("txtProxyUserName", "me");
    text("txtProxyPassword", "Zecret");
    dialogs.answerNext(dir.filePath("pages"));
    click("cmdURLFolderLocation");
    text("txtSecurityPassword", "open sesame");
    check("chkShowAlwaysCompany", false);
    check("chkShowAlwaysPassword", true);
    click("cmdOK");

    const QStringList expected = {"Repeat_Ping=5",
                                  "Time_Out=0",
                                  "Additional_Lines=3",
                                  "Check_At_Startup=1",
                                  "Execute_Mail_Application=1",
                                  "Mail_Application=/usr/bin/mailer",
                                  "Mail_Application_Parameters=-inbox",
                                  "Port_Number=1",
                                  "Simultaneous_Connections=9",
                                  "Web_Notify_Retries=0",
                                  "Web_Notify_Time_Out=5",
                                  "Web_Notify_Page_Size_Margin=10",
                                  "Recurse_Frame_Pages=1",
                                  "Use_Last_Updated_Only=1",
                                  "Web_Notify_Page_Size_Changes=1",
                                  "Web_Notify_Last_Updated_Changes=0",
                                  "Proxy=proxy.example.net",
                                  "Proxy_Port=0",
                                  "Proxy_UserName=me",
                                  "Proxy_Password=" + ScramblePassword("Zecret"),
                                  "URL_Folder_Location=" + dir.filePath("pages"),
                                  "Password=" +
                                      ScramblePassword("open sesam"), // ten characters at most
                                  "Show_Always_Company=0",
                                  "Show_Always_Password=1"};
    for (const QString& pair : expected) {
        const QString name = pair.section(u'=', 0, 0);
        EXPECT_EQ(stored(name), pair.section(u'=', 1)) << name.toStdString();
    }
    ASSERT_EQ(dialogs.asked.size(), 2);
    EXPECT_EQ(dialogs.asked[0].title, "Insert Application");
    EXPECT_EQ(dialogs.asked[1].title, "Please specify a directory");
}

TEST_F(Tools, AutoExcludesAreInsertedRemovedAndReset) {
    open();
    auto* box = child<QListWidget>("lstAutoExclude");
    const auto entries = [box] {
        QStringList out;
        for (int i = 0; i < box->count(); ++i)
            out << box->item(i)->text();
        return out;
    };
    click("cmdAutoExcludeRemove");
    prompts.answerNext(Prompts::Answer::Yes);
    click("cmdAutoExcludeDefaults");
    EXPECT_EQ(entries(), QStringList({"\\channels\\", "\\links\\", "\\media\\"}));
    for (int i = 0; i < 7; ++i)
        dialogs.answerNext(QStringLiteral("\\extra%1\\").arg(i));
    for (int i = 0; i < 8; ++i) // the last one finds the list full
        click("cmdAutoExcludeInsert");
    EXPECT_EQ(box->count(), 10);
    EXPECT_EQ(dialogs.asked.value(0).title, "Insert Auto Exclude");
    EXPECT_EQ(dialogs.asked.value(0).text, "Auto Exclude Entry");
    box->setCurrentRow(1);
    click("cmdAutoExcludeRemove");
    EXPECT_EQ(entries().mid(0, 3), QStringList({"\\channels\\", "\\media\\", "\\extra0\\"}));
    click("cmdOK");
    EXPECT_EQ(stored("Number_Of_Auto_Excludes"), "9");
    EXPECT_EQ(stored("Entry9", "AutoExclude"), "\\extra6\\");
    EXPECT_EQ(dialogs.asked.size(), 7);
    EXPECT_EQ(prompts.texts().value(0),
              "You must select an Auto Exclude Entry from the list above before it can be "
              "removed.");
    EXPECT_EQ(prompts.texts().value(1), "Are you sure you want to reset the auto exclude entries?");
    EXPECT_EQ(prompts.texts().value(2),
              "The auto exclude section has a maximum capacity of 10 entries.\n\r\n\rTo add "
              "another auto exclude entry you will need to remove an existing entry first.");
}

TEST_F(Tools, AWrongSecurityPasswordDeniesAccessUntilTheRightOneIsGiven) {
    settings.Password = "Secret";
    store->writeString({}, "Password", ScramblePassword("Secret"));
    lists.Passwords[1] = pw("Bank");
    passwordfile::write(passwordPath(), lists.Passwords);
    open();
    const auto answer = [](const QString& typed, bool ok) {
        onNextModal([typed, ok](QDialog* d) {
            EXPECT_EQ(d->windowTitle(), "Security");
            setField(d, "txtPassword", typed);
            press(d, ok ? "btnOK" : "btnCancel");
        });
    };
    QTreeWidget* keeper = list("lstvPasswordKeeper");
    for (const auto& [typed, ok] : {std::pair("secret", true), std::pair("Secret", false)}) {
        answer(typed, ok);
        window->selectSection(TfrmTools::PasswordDatabase);
        EXPECT_EQ(rows(keeper).value(0).section(u'|', 0, 0), "Access Denied");
        EXPECT_FALSE(keeper->isEnabled());
        EXPECT_FALSE(child<QPushButton>("cmdPasswordInsert")->isEnabled());
        EXPECT_EQ(visibleTabs(), QStringList("Password Database"));
        window->selectSection(TfrmTools::Finger);
    }
    answer("Secret", true);
    window->selectSection(TfrmTools::PasswordDatabase);
    EXPECT_TRUE(keeper->isEnabled());
    EXPECT_EQ(rows(keeper), QStringList("Bank|****|********||1"));
    EXPECT_EQ(visibleTabs(), QStringList({"Password Database", "Options"}));
    // Unlocked for as long as the window is open: no question this time.
    window->selectSection(TfrmTools::Ping);
    window->selectSection(TfrmTools::PasswordDatabase);
    EXPECT_TRUE(keeper->isEnabled());
}

TEST_F(Tools, PasswordEntriesAreMaskedSortedAndFoundByRecordNumber) {
    lists.Passwords[1] = pw("Cobalt", "carl", "c-pass", "third");
    lists.Passwords[2] = pw("alpha", "anna", "a", "first");
    lists.Passwords[3] = pw("Beta", "bert", "bb", "second");
    passwordfile::write(passwordPath(), lists.Passwords);
    open();
    window->selectSection(TfrmTools::PasswordDatabase);
    QTreeWidget* keeper = list("lstvPasswordKeeper");
    EXPECT_TRUE(keeper->isColumnHidden(4));
    EXPECT_EQ(rows(keeper), QStringList({"alpha|****|*|first|2", "Beta|****|**|second|3",
                                         "Cobalt|****|******|third|1"}));

    // Showing a field always takes effect at once.
    child<QCheckBox>("chkShowAlwaysPassword")->setChecked(true);
    child<QCheckBox>("chkShowAlwaysComments")->setChecked(false);
    EXPECT_EQ(rows(keeper)[0], "alpha|****|a|*****|2");

    // Clicking the company header again turns the order round.
    QTest::mouseClick(keeper->header()->viewport(), Qt::LeftButton, {},
                      QPoint(keeper->header()->sectionViewportPosition(0) + 5, 5));
    EXPECT_EQ(rows(keeper)[0].section(u'|', 0, 0), "Cobalt");

    // Remove and View find the record by its number, whatever the order.
    keeper->setCurrentItem(keeper->topLevelItem(1)); // Beta, record 3
    QString shownUser;
    keeper->setFocus();
    onNextModal([&](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), "View (Read Only)");
        shownUser = d->findChild<QLineEdit*>("txtUserName")->text() + ' ' +
                    d->findChild<QLineEdit*>("txtPassword")->text();
        EXPECT_TRUE(d->findChild<QLineEdit*>("txtPassword")->isReadOnly());
        press(d, "btnOK");
    });
    const QPoint beta = keeper->visualItemRect(keeper->topLevelItem(1)).center();
    QTest::mouseClick(keeper->viewport(), Qt::LeftButton, {}, beta);
    QTest::mouseDClick(keeper->viewport(), Qt::LeftButton, {}, beta);
    EXPECT_EQ(shownUser, "bert bb");
    click("cmdPasswordRemove");
    EXPECT_EQ(rows(keeper).join(u' ').contains("Beta"), false);
    click("cmdOK");
    load();
    EXPECT_EQ(lists.Passwords[1].Company, "Cobalt");
    EXPECT_EQ(lists.Passwords[2].Company, "alpha");
    EXPECT_EQ(FindFreePassword(lists.Passwords), 3);
}

TEST_F(Tools, AnEntryWhoseCompanyIsEmptiedClosesItsGap) {
    for (const char* company : {"One", "Two", "Three"})
        lists.Passwords[FindFreePassword(lists.Passwords)] = pw(company);
    passwordfile::write(passwordPath(), lists.Passwords);
    open();
    window->selectSection(TfrmTools::PasswordDatabase);
    QTreeWidget* keeper = list("lstvPasswordKeeper");
    keeper->setCurrentItem(keeper->findItems("Three", Qt::MatchExactly).value(0)); // record 3
    keeper->setCurrentItem(keeper->findItems("One", Qt::MatchExactly).value(0));
    onNextModal([](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), "Properties");
        setField(d, "txtCompany", "");
        press(d, "btnOK");
    });
    click("cmdPasswordProperties");
    EXPECT_EQ(keeper->topLevelItemCount(), 2);
    // An insert without a company stores nothing either.
    onNextModal([](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), "Insert Password");
        setField(d, "txtUserName", "nobody");
        press(d, "btnOK");
    });
    click("cmdPasswordInsert");
    EXPECT_EQ(keeper->topLevelItemCount(), 2);
    click("cmdOK");
    EXPECT_EQ(QFileInfo(passwordPath()).size(), 2 * passwordfile::RecordSize);
}

// Two records written by hand, with code page characters and scrambled credentials, come
// back unchanged through the window's OK.
TEST_F(Tools, APreparedPasswordFileRoundTripsByteForByte) {
    const auto field = [](const QByteArray& text, int size, bool scrambled) {
        QByteArray f(1 + size, '\0');
        f[0] = char(text.size());
        for (int i = 0; i < text.size(); ++i)
            f[1 + i] = scrambled ? char(text[i] ^ 0x5A) : text[i];
        return f;
    };
    const auto record = [&](const QByteArray& company, const QByteArray& user,
                            const QByteArray& password, const QByteArray& comments) {
        return field(company, 40, false) + field(user, 40, true) + field(password, 40, true) +
               field(comments, 50, false);
    };
    const QByteArray prepared = record("Caf\xe9 Bank", "r\xe9mi", "\x80uro-Z", "PIN 1234") +
                                record(QByteArray(40, 'x'), "", "p", QByteArray(50, 'y'));
    ASSERT_EQ(prepared.size(), 2 * passwordfile::RecordSize);
    QDir().mkpath(dir.filePath("Logs"));
    QFile file(passwordPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(prepared);
    file.close();

    open();
    window->selectSection(TfrmTools::PasswordDatabase);
    EXPECT_EQ(rows(list("lstvPasswordKeeper")).value(0).section(u'|', 0, 0), "Café Bank");
    click("cmdOK");
    EXPECT_EQ(bytes(passwordPath()), prepared);
}

TEST_F(Tools, APasswordFileThatCannotBeWrittenKeepsTheWindowOpenAndStoresNothing) {
    // Logs is a file, so the folder for the password file cannot be made.
    QFile blocker(dir.filePath("Logs"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    open();
    window->selectSection(TfrmTools::PasswordDatabase);
    onNextModal([](QDialog* d) {
        setField(d, "txtCompany", "Kept");
        press(d, "btnOK");
    });
    click("cmdPasswordInsert");
    child<QComboBox>("cboRepeatPing")->setCurrentIndex(1);
    click("cmdOK");
    EXPECT_TRUE(window->isVisible());
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].kind, Prompts::Kind::Error);
    EXPECT_TRUE(prompts.shown[0].text.contains(passwordPath()));
    EXPECT_EQ(stored("Repeat_Ping"), "<none>");
    EXPECT_EQ(FindFreePassword(lists.Passwords), 1);

    // Once the folder can be made, the same OK stores everything.
    ASSERT_TRUE(QFile::remove(dir.filePath("Logs")));
    click("cmdOK");
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(stored("Repeat_Ping"), "1");
    load();
    EXPECT_EQ(lists.Passwords[1].Company, "Kept");
}

// At its smallest the window still gives every page the room its layout asks for (an
// 800x600 screen holds it).
TEST_F(Tools, EveryPageFitsTheSmallestWindow) {
    lists.POP3s[1] = {"pop.example.net", "anna", "mailbox", true};
    SavePOP3s(*store, lists.POP3s);
    lists.Passwords[1] = pw("Example Bank", "anna.k", "s3cret!", "online banking");
    lists.Passwords[2] = pw("Mail provider", "anna", "mailbox", "also the POP3 account");
    passwordfile::write(passwordPath(), lists.Passwords);
    open();
    window->resize(window->minimumSize());
    EXPECT_EQ(window->size(), QSize(630, 450));
    EXPECT_LE(window->minimumSizeHint().width(), 630);
    EXPECT_LE(window->minimumSizeHint().height(), 450);
    auto* pages = child<QTabWidget>("pageTools");
    for (int s = TfrmTools::WebNotification; s <= TfrmTools::POP3; ++s) {
        window->selectSection(TfrmTools::Section(s));
        for (int i = 0; i < pages->count(); ++i) {
            if (!pages->isTabVisible(i))
                continue;
            pages->setCurrentIndex(i);
            QWidget* page = pages->widget(i);
            QApplication::processEvents();
            EXPECT_LE(page->minimumSizeHint().width(), page->width()) << s << i;
            EXPECT_LE(page->minimumSizeHint().height(), page->height()) << s << i;
            const QString name = QStringLiteral("tools_%1_%2.png")
                                     .arg(s)
                                     .arg(page->objectName().toLower().remove("page"));
            keepPicture(name);
        }
    }
}

namespace {

constexpr int kWait = 10000;

// The tools run from their pages against servers on 127.0.0.1 and the fake echo service.
// What the tools write is their engines' business (tested there); here it is what the
// pages hand them and what the window shows of them.
class ToolRuns : public Tools {
protected:
    void SetUp() override {
        Tools::SetUp();
        ASSERT_TRUE(finger.listen());
        ASSERT_TRUE(pop3.listen());
        lists.Pings[1] = {"192.168.1.1", "Router", true};
        lists.Fingers[1] = {"bob@127.0.0.1", "Bob on this machine", true};
        lists.POP3s[1] = {"127.0.0.1", "bob", "secret", true};
        SavePings(*store, lists.Pings);
        SaveFingers(*store, lists.Fingers);
        SavePOP3s(*store, lists.POP3s);
    }
    void TearDown() override {
        Tools::TearDown();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void openAt(TfrmTools::Section section) {
        open();
        session<FingerSession>()->client().setPort(finger.portText());
        window->selectSection(section);
    }
    template <typename T> T* session() const { return window->findChild<T*>(); }

    void selectFirst(const char* name) const {
        list(name)->setCurrentItem(list(name)->topLevelItem(0));
    }
    void doubleClickFirst(const char* name) const {
        QTreeWidget* tree = list(name);
        const QPoint at = tree->visualItemRect(tree->topLevelItem(0)).center();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
    }
    // "R" or "-" for the run button, "C" or "-" for its Cancel.
    QString buttons(const char* run) const {
        return QString(enabled(run) ? "R" : "-") +
               (enabled(run + QByteArray("Cancel")) ? "C" : "-");
    }
    bool enabled(const char* button) const { return child<QPushButton>(button)->isEnabled(); }
    // What a box shows once the event loop has let what was written reach it.
    QString shown(const char* box) const {
        QCoreApplication::processEvents();
        return child<QPlainTextEdit>(box)->toPlainText();
    }
    // The box shows every line the tool wrote, and nothing else.
    template <typename Session> void expectShows(const char* box) const {
        EXPECT_EQ(shown(box), session<Session>()->output().lines().join(u'\n')) << box;
        EXPECT_GE(session<Session>()->output().lines().size(), 4) << box;
    }

    FingerServer finger;
    ScriptedPop3Server pop3;
};

const QString kPingBusy =
    "You must cancel the current ping request before pinging another address.";

} // namespace

TEST_F(ToolRuns, PingSendsTheWorkingCopysRepeatAndStaysOffUntilTheLastEcho) {
    openAt(TfrmTools::Ping);
    child<QComboBox>("cboRepeatPing")->setCurrentIndex(2);
    click("cmdPing");
    EXPECT_EQ(prompts.texts(), QStringList("You must select a Ping Entry from the list above "
                                           "before the ping results can be displayed."));
    echo->replies = {{IcmpStatus::Success, QHostAddress("192.168.1.1"), 3, QByteArray(56, ' ')},
                     {IcmpStatus::Success, QHostAddress("192.168.1.1"), 2, QByteArray(56, ' ')}};
    QSignalSpy finished(session<PingSession>(), &PingSession::finished);
    selectFirst("lstvPingGeneral");
    click("cmdPing");
    EXPECT_EQ(buttons("cmdPing"), "--"); // echoes are not cancelled, only a look-up
    doubleClickFirst("lstvPingGeneral");
    ASSERT_TRUE(finished.wait(kWait));
    EXPECT_EQ(echo->sent.size(), 3);
    expectShows<PingSession>("memoPingOutput");
    EXPECT_EQ(buttons("cmdPing"), "R-");
    EXPECT_EQ(prompts.texts().value(1), kPingBusy);
    keepPicture("tools-ping-run.png");
}

TEST_F(ToolRuns, FingerRunsOnADoubleClickAndItsCancelButtonEndsAQuery) {
    // Pieces that end and begin mid-line, and a CR LF split between two of them.
    finger.answer = {"Login: bob", "                Name: Bob Example\r",
                     "\nDirectory: /home/bob      Shell: /bin/bash\r\nNo mail.\r\nNo Plan.\r\n"};
    openAt(TfrmTools::Finger);
    QSignalSpy finished(session<FingerSession>(), &FingerSession::finished);
    doubleClickFirst("lstvFingerGeneral");
    EXPECT_EQ(buttons("cmdFinger"), "-C");
    ASSERT_TRUE(finished.wait(kWait));
    EXPECT_TRUE(
        shown("memoFingerOutput").contains("Login: bob                Name: Bob Example\n"));
    expectShows<FingerSession>("memoFingerOutput");
    EXPECT_EQ(finger.queries, QList<QByteArray>{"bob\r\n"});
    EXPECT_EQ(buttons("cmdFinger"), "R-");
    keepPicture("tools-finger-run.png");

    finger.end = FingerServer::End::Silent;
    click("cmdFinger");
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown("memoFingerOutput").contains("Plan"); }, kWait));
    click("cmdFingerCancel");
    ASSERT_TRUE(finished.size() == 2 || finished.wait(kWait));
    EXPECT_TRUE(shown("memoFingerOutput").endsWith("No Plan.\nError #10004\nDone.\n"));
    EXPECT_EQ(buttons("cmdFinger"), "R-");
}

TEST_F(ToolRuns, Pop3ChecksWithTheWorkingCopysSettingsAndAsksOnlyWithoutACall) {
    pop3.setReplies({{"USER bob", {"+OK\r\n"}},
                     {"PASS secret", {"+OK\r\n"}},
                     {"STAT", {"+OK 1 320\r\n"}},
                     {"LIST", {"+OK\r\n1 320\r\n.\r\n"}},
                     {"TOP 1 10",
                      {"+OK\r\nFrom: Anna <anna@example.net>\r\nSubject: Tonight\r\n\r\n"
                       "See you at eight.\r\n.\r\n"}}});
    openAt(TfrmTools::POP3);
    child<QLineEdit>("txtPort")->setText(pop3.portText());
    child<QComboBox>("cboAdditionalLines")->setCurrentIndex(1);
    selectFirst("lstvPOP3General");
    prompts.answerNext(Prompts::Answer::No);
    click("cmdPOP3");
    EXPECT_EQ(prompts.texts(), QStringList("Are you sure you wish to continue as no dial up "
                                           "connection can be detected?"));
    EXPECT_EQ(buttons("cmdPOP3"), "R-");

    callUp = true;
    QSignalSpy finished(session<Pop3CheckSession>(), &Pop3CheckSession::finished);
    auto* page = child<QWidget>("Pop3Page");
    click("cmdPOP3");
    EXPECT_EQ(buttons("cmdPOP3"), "-C");
    EXPECT_EQ(page->cursor().shape(), Qt::BusyCursor);
    doubleClickFirst("lstvPOP3General");
    ASSERT_TRUE(finished.wait(kWait));
    EXPECT_EQ(child<QGroupBox>("groupPOP3Output")->title(), "Output (1 message)");
    expectShows<Pop3CheckSession>("memoPOP3Output");
    EXPECT_EQ(pop3.commands(),
              (QList<QByteArray>{"USER bob", "PASS secret", "STAT", "LIST", "TOP 1 10", "QUIT"}));
    EXPECT_EQ(buttons("cmdPOP3"), "R-");
    EXPECT_FALSE(page->testAttribute(Qt::WA_SetCursor));
    EXPECT_EQ(prompts.texts().size(), 2) << "the question once, then the busy warning";
    keepPicture("tools-pop3-run.png");
}

// Closing the window by any way while a tool runs ends the run and lets its connection go;
// the tray's Exit destroys the window without closing it.
TEST_F(ToolRuns, ClosingTheWindowMidRunEndsTheRunWhicheverWayItCloses) {
    finger.end = FingerServer::End::Silent;
    // A server that thinks about every command.
    pop3.setResponder([](const QByteArray&) { return ScriptedPop3Server::Reply{}; });
    store->writeInteger({}, "Port_Number", pop3.portText().toInt());
    callUp = true;
    const struct {
        TfrmTools::Section section;
        const char* list;
        const char* run;
    } tools[] = {{TfrmTools::Finger, "lstvFingerGeneral", "cmdFinger"},
                 {TfrmTools::POP3, "lstvPOP3General", "cmdPOP3"},
                 {TfrmTools::Ping, "lstvPingGeneral", "cmdPing"}};
    const QList<std::pair<const char*, std::function<void()>>> ways = {
        {"close box", [this] { window->close(); }},
        {"Cancel", [this] { click("btnCancel"); }},
        {"OK", [this] { click("cmdOK"); }},
        {"Exit", [this] { window.reset(); }}};
    for (const auto& tool : tools) {
        for (const auto& [way, close] : ways) {
            const std::string what = std::string(tool.run) + ", " + way;
            openAt(tool.section);
            selectFirst(tool.list);
            const qsizetype pop3Before = pop3.commands().size();
            click(tool.run);
            // Under way: the server has the query or the log-in; the echo is out.
            ASSERT_TRUE(QTest::qWaitFor(
                [&] {
                    return !finger.queries.isEmpty() || pop3.commands().size() > pop3Before ||
                           !echo->sent.isEmpty();
                },
                kWait))
                << what;
            close();
            EXPECT_TRUE(QTest::qWaitFor(
                [&] {
                    return !finger.last || finger.last->state() != QAbstractSocket::ConnectedState;
                },
                kWait))
                << what;
            EXPECT_TRUE(pop3.waitForAllClosed(kWait)) << what;
            if (window) {
                EXPECT_FALSE(window->isVisible()) << what;
                // The run has ended, with nothing written after its last line.
                EXPECT_TRUE(QTest::qWaitFor([&] { return enabled(tool.run); }, kWait)) << what;
                if (tool.section == TfrmTools::Ping) {
                    EXPECT_EQ(shown("memoPingOutput").count(u'\n'), 2) << what;
                }
            }
            window.reset();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            finger.queries.clear();
        }
    }
    EXPECT_EQ(stored("Number_Of_Pings"), "1"); // OK stored what it always stores
}
