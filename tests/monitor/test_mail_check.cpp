// The background mail check against a scripted POP3 server on 127.0.0.1 (port 0).
#include "tray_fixture.h"

#include "scripted_pop3_server.h"

#include "monitor/vorn_timer.h"
#include "widgets/taskbar_icon.h"

#include <QAction>
#include <QTcpServer>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace {
// A mailbox per user on one server: the accounts share the port setting, and the check
// logs in to one account at a time, so the user of the session tells them apart.
class MailCheck : public ::testing::Test {
protected:
    void SetUp() override {
        server.setResponder([this](const QByteArray& command) -> ScriptedPop3Server::Reply {
            if (command.startsWith("USER ")) {
                user = command.mid(5);
                logins << user;
                return {user == refusedUser ? "-ERR no such user\r\n" : "+OK\r\n"};
            }
            if (command == "STAT" && onStat)
                onStat();
            if (command == "STAT")
                return {stat.value(user, "-ERR maildrop busy\r\n")};
            return {command == "QUIT" ? "+OK bye\r\n" : "+OK\r\n", command == "QUIT"};
        });
        ASSERT_TRUE(server.listen());
        f.set("Port_Number", server.portText());
        f.storeAccount(1, "alice", true);
        f.storeAccount(2, "bob", true);
    }

    TfrmDigital& startInCall() {
        TfrmDigital& w = f.start();
        f.callUp();
        return w;
    }

    // The mail icon in full: mail (tag 1) with this hint, or "No messages" (tag 0).
    static bool showsMail(TfrmDigital& w, const QString& hint = {}) {
        const bool mail = !hint.isEmpty();
        return w.trayMail->visible() && w.trayMail->tag() == int(mail) &&
               w.trayMail->hint() == (mail ? hint : "No messages") &&
               w.trayMail->icon().cacheKey() == (mail ? w.imgIconMail : w.imgIconNoMail).cacheKey();
    }

    ScriptedPop3Server server;
    QMap<QByteArray, QByteArray> stat{{"alice", "+OK 3 12345\r\n"}, {"bob", "+OK 2 500\r\n"}};
    QByteArray refusedUser;
    std::function<void()> onStat;
    QByteArray user;
    QList<QByteArray> logins;
    TrayFixture f;
};
} // namespace

TEST_F(MailCheck, CheckAfterConnectLogsInOnlyToIncludedAccountsTheMenuToAll) {
    f.storeAccount(1, "alice", false);
    f.storeAccount(2, "bob", true);
    TfrmDigital& w = startInCall();
    w.CheckForMail(false);
    EXPECT_EQ(server.commands(), (QList<QByteArray>{"USER bob", "PASS secret", "STAT", "QUIT"}));
    EXPECT_TRUE(showsMail(w, "Total - 2 messages"));

    logins.clear();
    w.mnuCheckForMailClick();
    EXPECT_EQ(logins, (QList<QByteArray>{"alice", "bob"}));
    EXPECT_TRUE(server.waitForAllClosed(5000)) << "every session is ended";
}

TEST_F(MailCheck, MailInTwoAccountsIsAddedUpAnnouncedAndOpened) {
    f.set("Sound_Event_NewMailNotification", "2").set("Execute_Mail_Application", "1");
    f.set("Mail_Application", "/usr/bin/mailer").set("Mail_Application_Parameters", "-mail");
    TfrmDigital& w = startInCall();
    w.CheckForMail(false);
    EXPECT_EQ(w.state().mailTotal, 5);
    EXPECT_TRUE(showsMail(w, "Total - 5 messages"));
    ASSERT_EQ(f.sound.requests.size(), 1);
    EXPECT_TRUE(f.sound.requests[0].wave.endsWith("/newmailnotification.wav"));
    EXPECT_EQ(f.shell.opened, QStringList{"/usr/bin/mailer|-mail"});
    EXPECT_TRUE(w.mnuCheckForMail->isEnabled());

    // Without the option the program is left for the user; no mail, no sound.
    f.settings.Execute_Mail_Application = false;
    stat = {{"alice", "+OK 1 120\r\n"}, {"bob", "+OK 0 0\r\n"}};
    w.CheckForMail(false);
    EXPECT_TRUE(showsMail(w, "Total - 1 message"));
    stat["alice"] = "+OK 0 0\r\n";
    w.CheckForMail(false);
    EXPECT_EQ(w.state().mailTotal, 0);
    EXPECT_TRUE(showsMail(w));
    EXPECT_EQ(f.sound.requests.size(), 2);
    EXPECT_EQ(f.shell.opened.size(), 1);
}

TEST_F(MailCheck, NoReachableAccountShowsNoMessagesAndAnUnknownTotal) {
    QTcpServer closed; // a port just freed: every connection is refused
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    f.set("Port_Number", QString::number(closed.serverPort()));
    closed.close();
    f.set("Sound_Event_NewMailNotification", "3");
    TfrmDigital& w = startInCall();
    w.CheckForMail(false);
    EXPECT_EQ(w.state().mailTotal, -1);
    EXPECT_TRUE(showsMail(w));
    EXPECT_TRUE(f.sound.requests.isEmpty());
    EXPECT_TRUE(w.mnuCheckForMail->isEnabled());
}

TEST_F(MailCheck, AFailureEndsOnlyThatAccountAndCountsNothingTwice) {
    refusedUser = "alice";
    TfrmDigital& w = startInCall();
    w.CheckForMail(false);
    EXPECT_EQ(server.commands(),
              (QList<QByteArray>{"USER alice", "QUIT", "USER bob", "PASS secret", "STAT", "QUIT"}));
    EXPECT_EQ(w.state().mailTotal, 2);

    // A STAT refused after an account with mail leaves that account's count as it was.
    refusedUser.clear();
    stat["bob"] = "-ERR maildrop busy\r\n";
    w.CheckForMail(false);
    EXPECT_TRUE(showsMail(w, "Total - 3 messages"));

    // A step nobody answers ends at the time-out; its session is dropped.
    stat["alice"] = "";
    stat["bob"] = "+OK 2 500\r\n";
    onStat = [&] {
        if (user == "alice")
            QTimer::singleShot(0, w.timerTimeout, [&w] { Q_EMIT w.timerTimeout->timeout(); });
    };
    w.CheckForMail(false);
    EXPECT_EQ(w.state().mailTotal, 2);
    EXPECT_TRUE(server.waitForAllClosed(5000));
}

TEST_F(MailCheck, TheEndOfTheCallCallsTheCheckOff) {
    TfrmDigital& w = startInCall();
    stat["alice"] = ""; // still counting when the line drops
    onStat = [this] { QTimer::singleShot(0, [this] { f.callDown(); }); };
    w.CheckForMail(false);
    EXPECT_EQ(logins, QList<QByteArray>{"alice"});
    EXPECT_TRUE(showsMail(w));
    EXPECT_FALSE(w.mnuCheckForMail->isEnabled()) << "no call, no mail command";

    onStat = nullptr;
    stat["alice"] = "+OK 1 10\r\n";
    f.callUp();
    w.CheckForMail(false);
    EXPECT_EQ(w.state().mailTotal, 3) << "the next call checks again";
}

// The whole road in the running window: the checker sees the call on its own timer, the
// delayed actions follow Applications_Delay seconds later and the check reaches the server.
TEST_F(MailCheck, RunsByItselfAfterConnect) {
    f.set("Check_At_Startup", "1").set("Applications_Delay", "1");
    f.set("Interval_Call_Checker", "50");
    TfrmDigital& w = f.start();
    f.dialUp.dial("Demo");
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.state().connected; }, 5000));
    EXPECT_FALSE(w.mnuCheckForMail->isEnabled()) << "the check after connect enables it";
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.trayMail->visible(); }, 15000));
    EXPECT_TRUE(showsMail(w, "Total - 5 messages"));
    EXPECT_TRUE(w.mnuCheckForMail->isEnabled());
}
