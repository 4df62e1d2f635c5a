// The tools window over a real settings file: what OK stores and Cancel leaves alone, the
// sections, the tool lists with their dialogs and messages, the option pages and the
// password keeper with its guard and its file.
#include "tools_window.h"

#include "core/code_page.h"
#include "core/password_file.h"
#include "tools/tfrm_insert_password_keeper.h"
#include "tools/tfrm_insert_tool_default.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QTabWidget>
#include <QTest>

namespace {

class Tools : public ToolsWindow {
protected:
    QStringList visibleTabs() const {
        auto* pages = child<QTabWidget>("pageTools");
        QStringList out;
        for (int i = 0; i < pages->count(); ++i)
            if (pages->isTabVisible(i))
                out << pages->tabText(i);
        return out;
    }
    void savePasswords() { passwordfile::write(passwordPath(), lists.Passwords); }
};

typPasswordInformation pw(const QString& company, const QString& user = "user",
                          const QString& password = "password", const QString& comments = "") {
    return {company, user, password, comments};
}

TEST_F(Tools, OkOnAFreshSettingsFileStoresTheToolValuesDefaultListsAndAnEmptyPasswordFile) {
    QDir().mkpath(dir.filePath("home/Favorites"));
    open();
    click("cmdOK");
    EXPECT_FALSE(window->isVisible());
    expectStored(
        QString("Repeat_Ping=4 Time_Out=1 Additional_Lines=0 Check_At_Startup=0 "
                "Execute_Mail_Application=0 Mail_Application= Mail_Application_Parameters= "
                "Port_Number=110 Proxy= Proxy_UserName= Proxy_Password= Proxy_Port=0 "
                "Show_Always_Company=1 Show_Always_Username=0 Show_Always_Password=0 "
                "Show_Always_Comments=1 Password= Simultaneous_Connections=0 "
                "Web_Notify_Retries=3 Web_Notify_Time_Out=1 URL_Folder_Location=%1 "
                "Recurse_Frame_Pages=0 Use_Last_Updated_Only=0 Web_Notify_Page_Size_Changes=1 "
                "Web_Notify_Last_Updated_Changes=1 Web_Notify_Page_Size_Margin=1 "
                "Number_Of_Fingers=3 Number_Of_Pings=1 Number_Of_POP3=0 Number_Of_Excludes=0 "
                "Number_Of_Auto_Excludes=0 Tools_Window_Width=630 Tools_Window_Height=450")
            .arg(dir.filePath("home/Favorites"))
            .split(u' '));
    EXPECT_EQ(stored("Description", "Ping1"), "Gateway");
    EXPECT_EQ(stored("Host", "Finger4"), "<none>");
    const QFileInfo file(passwordPath());
    EXPECT_EQ(file.size(), 0);
    EXPECT_EQ(file.permissions() & 0x0077, QFileDevice::Permissions()); // nothing for others
}

TEST_F(Tools, CancelEscapeAndTheCloseBoxStoreNothingButTheSize) {
    for (const int way : {0, 1, 2}) { // Cancel, Escape, close box
        store.writeInteger({}, "Tools_Window_Width", 700);
        store.writeInteger({}, "Tools_Window_Height", 500);
        open();
        const QByteArray before = bytes(store.path());
        const typLists listsBefore = lists;
        const typSettings settingsBefore = settings;
        EXPECT_EQ(window->size(), QSize(700, 500));
        child<QComboBox>("cboRepeatPing")->setCurrentIndex(0);
        window->selectSection(TfrmTools::Ping);
        list("lstvPingGeneral")->setCurrentItem(list("lstvPingGeneral")->topLevelItem(0));
        click("cmdPingRemove");
        window->resize(720, 520);
        if (way == 0)
            click("btnCancel");
        else if (way == 1)
            QTest::keyClick(window.get(), Qt::Key_Escape);
        else
            window->close();
        EXPECT_FALSE(window->isVisible());
        store.sync();
        if (way < 2) {
            EXPECT_EQ(bytes(store.path()), before) << way;
        }
        expectStored(
            {way < 2 ? "Tools_Window_Width=700" : "Tools_Window_Width=720", "Repeat_Ping=<none>"});
        EXPECT_TRUE(lists == listsBefore && settings == settingsBefore) << way;
        EXPECT_FALSE(QFile::exists(passwordPath()));
    }
    // Sizes an 800x600 screen cannot hold, or below the smallest, open at the smallest.
    for (const int side : {2000, 100}) {
        store.writeInteger({}, "Tools_Window_Width", side);
        store.writeInteger({}, "Tools_Window_Height", side);
        EXPECT_EQ(open().size(), QSize(630, 450)) << side;
    }
}

TEST_F(Tools, ListsNameTheirEntriesWhenNothingIsSelectedAndWhenFull) {
    for (int i = 1; i <= 15; ++i) {
        lists.Pings[i] = {"p" + QString::number(i), "", false};
        lists.Fingers[i] = {"f@" + QString::number(i), "", false};
        lists.POP3s[i] = {"s" + QString::number(i), "u", "p", false};
    }
    for (int i = 1; i <= 75; ++i)
        lists.Passwords[i] = pw("c" + QString::number(i));
    SavePings(store, lists.Pings);
    SaveFingers(store, lists.Fingers);
    SavePOP3s(store, lists.POP3s);
    savePasswords();
    open();
    const struct {
        TfrmTools::Section section;
        const char* prefix;
        QString entry, name, full;
    } cases[] = {
        {TfrmTools::Ping, "Ping", "Ping Entry", "ping", "15"},
        {TfrmTools::Finger, "Finger", "Finger Entry", "finger", "15"},
        {TfrmTools::POP3, "POP3", "POP3 Entry", "POP3", "15"},
        {TfrmTools::PasswordDatabase, "Password", "Password Database Entry", "Password Database",
         "75"},
    };
    for (const auto& c : cases) {
        prompts.shown.clear();
        window->selectSection(c.section);
        for (const char* command : {"Remove", "Properties", "Insert"})
            click(QByteArray("cmd") + c.prefix + command);
        const QString select = "You must select a " + c.entry + " from the list above before ";
        EXPECT_EQ(
            prompts.texts(),
            QStringList({select + "it can be removed.", select + "the properties can be displayed.",
                         "The " + c.name + " section has a maximum capacity of " + c.full +
                             " entries.\n\r\n\rTo add another " + c.name +
                             " entry you will need to remove an existing entry first."}));
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
    // Insert key: an empty dialog whose OK waits for a host; the host is trimmed.
    bool okAtFirst = true;
    onNextModal([&](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), "Insert Ping");
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

    click("cmdOK");
    expectStored({"Number_Of_Pings=0"});

    // Storing an entry as the default takes the flag from every other; editing one
    // without it leaves the others.
    ToolHostTable t;
    t[1] = {"a", "", true};
    storeToolEntry(t, 2, {"b", "", false});
    EXPECT_TRUE(t[1].DefaultItem);
    storeToolEntry(t, 3, {"c", "", true});
    storeToolEntry(t, 1, {"a2", "", false});
    EXPECT_EQ(QList<bool>({t[1].DefaultItem, t[2].DefaultItem, t[3].DefaultItem}),
              QList<bool>({false, false, true}));
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
    click("cmdOK");
    EXPECT_EQ(stored("Password", "POP31"), ScramblePassword("Zap9"));
    EXPECT_EQ(stored("Include_In_Startup_Check", "POP31"), "1");
}

TEST_F(Tools, OptionControlsStoreTheirSettingsOnOk) {
    QDir().mkpath(dir.filePath("pages"));
    open();
    // Each control, what it is set to (a list index, "0"/"1" for a box, else a text) and
    // what that stores.
    const struct {
        const char* control;
        QString value, stored;
    } controls[] = {
        {"cboRepeatPing", "5", "Repeat_Ping=5"},
        {"cboTimeOut", "0", "Time_Out=0"},
        {"cboAdditionalLines", "3", "Additional_Lines=3"},
        {"chkCheckAtStartup", "1", "Check_At_Startup=1"},
        {"chkExecuteMailApplication", "1", "Execute_Mail_Application=1"},
        {"txtMailApplicationParameters", "-inbox", "Mail_Application_Parameters=-inbox"},
        {"txtPort", "0", "Port_Number=1"}, // no port: the nearest one
        {"cboSimultaneousConnections", "9", "Simultaneous_Connections=9"},
        {"cboWebNotifyRetries", "0", "Web_Notify_Retries=0"},
        {"cboWebNotifyTimeOut", "5", "Web_Notify_Time_Out=5"},
        {"cboPageSizeMargin", "10", "Web_Notify_Page_Size_Margin=10"},
        {"chkRecurseFramePages", "1", "Recurse_Frame_Pages=1"},
        {"chkUseLastUpdatedOnly", "1", "Use_Last_Updated_Only=1"},
        // Not both off: unchecking one checks the other.
        {"chkPageSizeChanges", "0", "Web_Notify_Page_Size_Changes=1"},
        {"chkLastUpdatedChanges", "0", "Web_Notify_Last_Updated_Changes=0"},
        {"txtProxy", "proxy.example.net", "Proxy=proxy.example.net"},
        {"txtProxyPort", "", "Proxy_Port=0"},
        {"txtProxyUserName", "me", "Proxy_UserName=me"},
        {"txtProxyPassword", "Zecret", "Proxy_Password=" + ScramblePassword("Zecret")},
        {"txtSecurityPassword", "open sesame", "Password=" + ScramblePassword("open sesam")},
        {"chkShowAlwaysCompany", "0", "Show_Always_Company=0"},
        {"chkShowAlwaysPassword", "1", "Show_Always_Password=1"},
    };
    QStringList expected;
    for (const auto& c : controls) {
        if (auto* box = window->findChild<QComboBox*>(c.control))
            box->setCurrentIndex(c.value.toInt());
        else if (auto* check = window->findChild<QCheckBox*>(c.control))
            check->setChecked(c.value == "1");
        else
            child<QLineEdit>(c.control)->setText(c.value);
        expected << c.stored;
    }
    auto* port = child<QLineEdit>("txtPort");
    port->setFocus();
    port->selectAll();
    QTest::keyClicks(port, "12a");
    EXPECT_EQ(port->text(), "12");
    port->setText("0");
    dialogs.answerNext(QStringLiteral("/usr/bin/mailer"));
    click("cmdMailApplication");
    dialogs.answerNext(dir.filePath("pages"));
    click("cmdURLFolderLocation");
    click("cmdOK");
    expectStored(expected + QStringList{"Mail_Application=/usr/bin/mailer",
                                        "URL_Folder_Location=" + dir.filePath("pages")});
    ASSERT_EQ(dialogs.asked.size(), 2);
    EXPECT_EQ(dialogs.asked[0].title + ", " + dialogs.asked[1].title,
              "Insert Application, Please specify a directory");
}

TEST_F(Tools, AutoExcludesAreInsertedRemovedAndReset) {
    open();
    auto* box = child<QListWidget>("lstAutoExclude");
    const auto entry = [box](int i) { return box->item(i)->text(); };
    click("cmdAutoExcludeRemove");
    prompts.answerNext(Prompts::Answer::Yes);
    click("cmdAutoExcludeDefaults");
    ASSERT_EQ(box->count(), 3);
    EXPECT_EQ(entry(0) + entry(1) + entry(2), "\\channels\\\\links\\\\media\\");
    for (int i = 0; i < 7; ++i)
        dialogs.answerNext(QStringLiteral("\\extra%1\\").arg(i));
    for (int i = 0; i < 8; ++i) // the last one finds the list full
        click("cmdAutoExcludeInsert");
    EXPECT_EQ(box->count(), 10);
    EXPECT_EQ(dialogs.asked.value(0).title + dialogs.asked.value(0).text,
              "Insert Auto ExcludeAuto Exclude Entry");
    box->setCurrentRow(1);
    click("cmdAutoExcludeRemove");
    EXPECT_EQ(entry(1), "\\media\\");
    click("cmdOK");
    expectStored({"Number_Of_Auto_Excludes=9"});
    EXPECT_EQ(stored("Entry9", "AutoExclude"), "\\extra6\\");
    EXPECT_EQ(dialogs.asked.size(), 7);
    EXPECT_EQ(prompts.texts(),
              QStringList({"You must select an Auto Exclude Entry from the list above before it "
                           "can be removed.",
                           "Are you sure you want to reset the auto exclude entries?",
                           "The auto exclude section has a maximum capacity of 10 entries.\n\r\n\r"
                           "To add another auto exclude entry you will need to remove an "
                           "existing entry first."}));
}

TEST_F(Tools, AWrongSecurityPasswordDeniesAccessUntilTheRightOneIsGiven) {
    store.writeString({}, "Password", ScramblePassword("Secret"));
    lists.Passwords[1] = pw("Cobalt", "carl", "c-pass", "third");
    lists.Passwords[2] = pw("alpha", "anna", "a", "first");
    lists.Passwords[3] = pw("Beta", "bert", "bb", "second");
    savePasswords();
    open();
    QTreeWidget* keeper = list("lstvPasswordKeeper");
    for (const auto& [typed, ok] :
         {std::pair("secret", true), std::pair("Secret", false), std::pair("Secret", true)}) {
        onNextModal([typed, ok](QDialog* d) {
            EXPECT_EQ(d->windowTitle(), "Security");
            setField(d, "txtPassword", typed);
            press(d, ok ? "btnOK" : "btnCancel");
        });
        window->selectSection(TfrmTools::PasswordDatabase);
        const bool opens = ok && QString(typed) == "Secret";
        EXPECT_EQ(rows(keeper).value(0).section(u'|', 0, 0), opens ? "alpha" : "Access Denied");
        EXPECT_EQ(keeper->isEnabled(), opens);
        EXPECT_EQ(enabled("cmdPasswordInsert"), opens);
        EXPECT_EQ(visibleTabs().size(), opens ? 2 : 1);
        window->selectSection(TfrmTools::Finger);
    }
    // Unlocked for as long as the window is open: no question this time. Masked, sorted
    // without regard to case.
    window->selectSection(TfrmTools::PasswordDatabase);
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
    QString shown;
    onNextModal([&](QDialog* d) {
        auto* password = d->findChild<QLineEdit*>("txtPassword");
        shown = d->windowTitle() + ' ' + d->findChild<QLineEdit*>("txtUserName")->text() + ' ' +
                password->text() + (password->isReadOnly() ? " read-only" : "");
        press(d, "btnOK");
    });
    const QPoint beta = keeper->visualItemRect(keeper->topLevelItem(1)).center();
    QTest::mouseClick(keeper->viewport(), Qt::LeftButton, {}, beta);
    QTest::mouseDClick(keeper->viewport(), Qt::LeftButton, {}, beta);
    EXPECT_EQ(shown, "View (Read Only) bert bb read-only");
    click("cmdPasswordRemove");
    click("cmdOK");
    load();
    EXPECT_EQ(lists.Passwords[1].Company + lists.Passwords[2].Company, "Cobaltalpha");
    EXPECT_EQ(FindFreePassword(lists.Passwords), 3);
}

// Records with code page characters come back through OK byte for byte, but for the one
// whose company was emptied: it is gone and leaves no gap.
TEST_F(Tools, ThePasswordFileRoundTripsAndAnEntryWhoseCompanyIsEmptiedClosesItsGap) {
    lists.Passwords[1] = pw("One");
    lists.Passwords[2] = pw("Café Bank", "rémi", "€uro-Z", "PIN 1234");
    lists.Passwords[3] = pw(QString(40, u'x'), "", "p", QString(50, u'y'));
    savePasswords();
    open();
    window->selectSection(TfrmTools::PasswordDatabase);
    QTreeWidget* keeper = list("lstvPasswordKeeper");
    keeper->setCurrentItem(keeper->findItems(QString(40, u'x'), Qt::MatchExactly).value(0));
    keeper->setCurrentItem(keeper->findItems("One", Qt::MatchExactly).value(0));
    onNextModal([](QDialog* d) {
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
    click("cmdOK");
    PasswordTable expected;
    expected[1] = pw("Café Bank", "rémi", "€uro-Z", "PIN 1234");
    expected[2] = pw(QString(40, u'x'), "", "p", QString(50, u'y'));
    passwordfile::write(dir.filePath("expected.bin"), expected);
    const QByteArray written = bytes(passwordPath());
    EXPECT_EQ(written, bytes(dir.filePath("expected.bin")));
    EXPECT_EQ(written.size(), 2 * passwordfile::RecordSize);
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

TEST_F(Tools, ThePasswordDialogRefusesWhatThePasswordFileCannotHold) {
    const typPasswordInformation entry{"Bank", "me", "pw", "note"};
    TfrmInsertPasswordKeeper d(&entry, prompts);
    auto* password = d.findChild<QLineEdit*>("txtPassword");
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);
    password->setFocus();
    password->end(false);
    typeText(password, QString::fromUtf8("€ł"));
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].kind, Prompts::Kind::Warning);
    EXPECT_TRUE(prompts.shown[0].text.contains(QString::fromUtf8("\"ł\" (U+0142)")));
    // Pasting is typing too; the text around the refused paste stays as it was.
    auto* comments = d.findChild<QLineEdit*>("txtComments");
    comments->setCursorPosition(2);
    QApplication::clipboard()->setText(QString::fromUtf8("x\u4e2dy"));
    comments->paste();
    EXPECT_EQ(comments->cursorPosition(), 2);
    EXPECT_EQ(prompts.shown.size(), 2);
    // The boxes hold what the file's fields hold.
    QList<int> lengths;
    for (const char* name : {"txtCompany", "txtUserName", "txtPassword", "txtComments"})
        lengths << d.findChild<QLineEdit*>(name)->maxLength();
    EXPECT_EQ(lengths, QList<int>({40, 40, 40, 50}));
    EXPECT_EQ(d.record(), (typPasswordInformation{"Bank", "me", QString::fromUtf8("pw€"), "note"}));
}

// Each section shows only its pages, and at its smallest the window still gives every page
// the room its layout asks for (an 800x600 screen holds it). Help follows the page.
TEST_F(Tools, SectionsShowTheirPagesWhichFitTheSmallestWindow) {
    lists.POP3s[1] = {"pop.example.net", "anna", "mailbox", true};
    SavePOP3s(store, lists.POP3s);
    lists.Passwords[1] = pw("Example Bank", "anna.k", "s3cret!", "online banking");
    savePasswords();
    open();
    window->resize(window->minimumSize());
    EXPECT_EQ(window->size(), QSize(630, 450));
    auto* sections = child<QListWidget>("listvSections");
    auto* pages = child<QTabWidget>("pageTools");
    QStringList shown;
    for (int s : {3, 1, 4, 2, 0}) {
        sections->setCurrentRow(s);
        shown << sections->item(s)->text() + ": " + visibleTabs().join(u',');
        for (int i = 0; i < pages->count(); ++i) {
            if (!pages->isTabVisible(i))
                continue;
            pages->setCurrentIndex(i);
            QApplication::processEvents();
            const QSize need = pages->widget(i)->minimumSizeHint(), has = pages->widget(i)->size();
            EXPECT_TRUE(need.width() <= has.width() && need.height() <= has.height()) << s << i;
        }
    }
    EXPECT_EQ(shown,
              QStringList({"Ping: Ping,Options", "Password Database: Password Database,Options",
                           "POP3: POP3,Options", "Finger: Finger",
                           "Web Notification: Web Notification,Results,Options"}));
    window->selectSection(TfrmTools::Ping);
    click("btnHelp");
    pages->setCurrentIndex(4);
    click("btnHelp");
    EXPECT_EQ(help.topics, QStringList({"tools#ping", "tools#ping-options"}));
}

} // namespace
