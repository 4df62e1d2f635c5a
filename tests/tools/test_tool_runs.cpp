// The tools run from the window's pages against servers on 127.0.0.1 and the fake echo
// service. What the tools write is their engines' business; here it is what the pages hand
// them, what the window shows of them, and that closing the window ends them.
#include "finger_server.h"
#include "scripted_pop3_server.h"
#include "tools_window.h"

#include "net/finger_client.h"
#include "tools/finger_session.h"
#include "tools/ping_session.h"
#include "tools/pop3_check_session.h"

#include <QComboBox>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>

namespace {

constexpr int kWait = 10000;

class ToolRuns : public ToolsWindow {
protected:
    void SetUp() override {
        ToolsWindow::SetUp();
        ASSERT_TRUE(finger.listen() && pop3.listen());
        lists.Pings[1] = {"192.168.1.1", "Router", true};
        lists.Fingers[1] = {"bob@127.0.0.1", "Bob on this machine", true};
        lists.POP3s[1] = {"127.0.0.1", "bob", "secret", true};
        SavePings(store, lists.Pings);
        SaveFingers(store, lists.Fingers);
        SavePOP3s(store, lists.POP3s);
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

TEST_F(ToolRuns, PingSendsTheWorkingCopysRepeatAndStaysOffUntilTheLastEcho) {
    openAt(TfrmTools::Ping);
    child<QComboBox>("cboRepeatPing")->setCurrentIndex(2);
    click("cmdPing"); // nothing selected: a message, no echo
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
    EXPECT_EQ(prompts.texts().size(), 2);
    EXPECT_EQ(prompts.texts().value(1),
              "You must cancel the current ping request before pinging another address.");
}

TEST_F(ToolRuns, FingerRunsOnADoubleClickAndItsCancelButtonEndsAQuery) {
    finger.answer = {"Login: bob", "   Name: Bob\r", "\nNo Plan.\r\n"};
    finger.end = FingerServer::End::Silent;
    openAt(TfrmTools::Finger);
    doubleClickFirst("lstvFingerGeneral");
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown("memoFingerOutput").contains("Plan"); }, kWait));
    EXPECT_EQ(buttons("cmdFinger"), "-C");
    click("cmdFingerCancel");
    EXPECT_EQ(buttons("cmdFinger"), "R-");
    expectShows<FingerSession>("memoFingerOutput");
    EXPECT_TRUE(shown("memoFingerOutput").endsWith("Name: Bob\nNo Plan.\nError #10004\nDone.\n"));
    EXPECT_EQ(finger.queries, QList<QByteArray>{"bob\r\n"});
}

TEST_F(ToolRuns, Pop3ChecksWithTheWorkingCopysSettingsAndAsksOnlyWithoutACall) {
    pop3.setReplies({{"USER bob", {"+OK\r\n"}},
                     {"PASS secret", {"+OK\r\n"}},
                     {"STAT", {"+OK 1 320\r\n"}},
                     {"LIST", {"+OK\r\n1 320\r\n.\r\n"}},
                     {"TOP 1 10", {"+OK\r\nSubject: Tonight\r\n\r\nSee you.\r\n.\r\n"}}});
    openAt(TfrmTools::POP3);
    child<QLineEdit>("txtPort")->setText(pop3.portText());
    child<QComboBox>("cboAdditionalLines")->setCurrentIndex(1);
    selectFirst("lstvPOP3General");
    prompts.answerNext(Prompts::Answer::No);
    click("cmdPOP3");
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
    // The question once, without a call; then the busy warning.
    EXPECT_EQ(prompts.texts().size(), 2);
    EXPECT_EQ(prompts.texts().value(0).left(26), "Are you sure you wish to c");
}

// Closing the window by any way while a tool runs ends the run and lets its connection go;
// the tray's Exit destroys the window without closing it.
TEST_F(ToolRuns, ClosingTheWindowMidRunEndsTheRunWhicheverWayItCloses) {
    finger.end = FingerServer::End::Silent;
    // A server that thinks about every command.
    pop3.setResponder([](const QByteArray&) { return ScriptedPop3Server::Reply{}; });
    store.writeInteger({}, "Port_Number", pop3.portText().toInt());
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

} // namespace
