// The background mail check: after connect (and from the menu) each POP3 account is asked
// for its message count, one step at a time, while the event loop keeps the rest of the
// program running. The result goes to the mail tray icon.

#include "monitor/tfrm_digital.h"

#include "core/debug_log.h"
#include "core/lists.h"
#include "core/settings.h"
#include "monitor/vorn_timer.h"
#include "net/pop3_client.h"
#include "widgets/taskbar_icon.h"

#include <QAction>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <limits>

namespace {
// How long one step may take: (Time_Out + 1) × 10 s, never 0 (a timer at 0 never fires,
// which would leave the check waiting for ever).
int stepTimeout(qint32 timeOutIndex) {
    const qint64 ms = (qint64(std::max(timeOutIndex, 0)) + 1) * 10000;
    return int(std::min<qint64>(ms, std::numeric_limits<int>::max()));
}

// How long the server has to answer QUIT and hang up before the connection is dropped.
constexpr int QuitGraceMs = 1000;
// The wait for a condition looks again at least this often, in case it changed without
// any of the signals watched.
constexpr int RecheckMs = 50;

QString totalLine(qint32 total) {
    if (total < 0)
        return QStringLiteral("Total - Unknown");
    if (total == 0)
        return QStringLiteral("Total - No messages");
    if (total == 1)
        return QStringLiteral("Total - 1 message");
    return QStringLiteral("Total - ") + QString::number(total) + QStringLiteral(" messages");
}
} // namespace

int TfrmDigital::ExecuteDelayInterval(qint32 applicationsDelay) {
    // At 0 the timer would never fire (and the mail check and the address lookup would
    // never happen); 1 ms fires on the next pass of the event loop.
    if (applicationsDelay <= 0)
        return 1;
    const qint64 ms = qint64(applicationsDelay) * 1000;
    return int(std::min<qint64>(ms, std::numeric_limits<int>::max()));
}

void TfrmDigital::timerExecuteDelayTimer() {
    journal(QStringLiteral("timerExecuteDelayTimer"));
    timerExecuteDelay->setEnabled(false);
    if (s_.settings.Check_At_Startup)
        CheckForMail(false);
    state_.ipText = s_.settings.Icon_Hint_IPAddress ? GetIPAddress() : QStringLiteral("?.?.?.?");
}

void TfrmDigital::timerTimeoutTimer() {
    state_.mailTimedOut = true;
}

void TfrmDigital::pop3GeneralRequestDone(TPop3Request request, quint16 error) {
    if (request != pop3Stat)
        return;
    // A STAT that failed leaves MsgCount at whatever an earlier account reported: counting
    // it would count that account twice.
    if (error == 0 && pop3General) {
        const qint64 total =
            (state_.mailTotal < 0 ? 0 : qint64(state_.mailTotal)) + pop3General->MsgCount();
        state_.mailTotal = qint32(std::min<qint64>(total, std::numeric_limits<qint32>::max()));
    }
    state_.mailStepDone = true;
}

void TfrmDigital::AbortMailCheck() {
    journal(QStringLiteral("AbortMailCheck"));
    if (mailCheckRunning_)
        mailCheckCancelled_ = true;
    if (pop3General && (pop3General->State() != pop3Ready || pop3General->Connected()))
        pop3General->Abort();
}

void TfrmDigital::CheckForMail(bool all) {
    journal(all ? QStringLiteral("CheckForMail all") : QStringLiteral("CheckForMail startup"));
    // The waits below handle events, so a menu click or the next call's delayed check
    // could land here while a check runs; they would share one client.
    if (mailCheckRunning_)
        return;
    mailCheckRunning_ = true;
    mailCheckCancelled_ = false;
    s_.debugLog.add(QStringLiteral("CheckForMail - Start"));

    if (!pop3General) {
        pop3General = new TPop3Cli(this);
        pop3General->setObjectName(QStringLiteral("pop3General"));
        connect(pop3General, &TPop3Cli::OnRequestDone, this, &TfrmDigital::pop3GeneralRequestDone);
    }

    trayMail->setVisible(false);
    mnuCheckForMail->setEnabled(false);
    state_.mailTotal = -1;

    const POP3Table& accounts = s_.lists.POP3s;
    for (int i = 1; i <= POP3Table::Capacity && !accounts[i].Server.isEmpty(); ++i) {
        if (mailCheckCancelled_)
            break;
        const typPOP3Information& account = accounts[i];
        if (all || account.Include_In_Startup_Check) {
            state_.mailHost = account.Server;
            state_.mailUser = account.User_Name;
            pop3General->setHost(account.Server);
            pop3General->setUserName(account.User_Name);
            pop3General->setPassWord(account.Password);
            pop3General->setPort(QString::number(s_.settings.Port_Number));
            pop3General->setMsgNum(0);
            pop3General->setMsgLines(0);
            timerTimeout->setInterval(stepTimeout(s_.settings.Time_Out));

            TPop3Cli& pop3 = *pop3General;
            // A login step also ends when its request has finished without getting where
            // it should (refused, closed, unreachable): waiting out the time-out then would
            // change nothing but the wait.
            auto finished = [&] { return pop3.State() == pop3Ready; };
            const bool loggedIn =
                runMailStep([&] { pop3.Connect(); },
                            [&] { return pop3.ProtocolState() == pop3WaitingUser; }, finished) &&
                runMailStep([&] { pop3.User(); },
                            [&] { return pop3.ProtocolState() == pop3WaitingPass; }, finished) &&
                runMailStep([&] { pop3.Pass(); },
                            [&] { return pop3.ProtocolState() == pop3Transaction; }, finished);
            if (loggedIn) {
                // The count arrives with the request-done event, so that is what to wait
                // for, failed or not.
                state_.mailStepDone = false;
                auto stepDone = [this] { return state_.mailStepDone; };
                runMailStep([&] { pop3.Stat(); }, stepDone, stepDone);
            }
        }
        endMailSession();
    }

    const QString total = totalLine(state_.mailTotal);
    s_.debugLog.add(QStringLiteral("CheckForMail - Result = ") + total);
    if (state_.connected && state_.mailTotal >= 1) {
        trayMail->setTag(1);
        trayMail->setHint(total);
        trayMail->setIcon(imgIconMail);
        trayMail->setVisible(true);
        PlaySoundEvent(QStringLiteral("NewMailNotification"));
        if (s_.settings.Execute_Mail_Application && !s_.settings.Mail_Application.isEmpty())
            startMailApplication();
    } else {
        trayMail->setTag(0);
        trayMail->setHint(QStringLiteral("No messages"));
        trayMail->setIcon(imgIconNoMail);
        trayMail->setVisible(true);
    }

    // The item belongs to the call: a check that outlived it leaves it off.
    mnuCheckForMail->setEnabled(state_.connected);
    timerTimeout->setEnabled(false);
    state_.mailTimedOut = false;
    mailCheckRunning_ = false;
    s_.debugLog.add(QStringLiteral("CheckForMail - Finish"));
}

bool TfrmDigital::runMailStep(const std::function<void()>& command,
                              const std::function<bool()>& reached,
                              const std::function<bool()>& finished) {
    timerTimeout->setEnabled(true);
    state_.mailTimedOut = false;
    try {
        command();
    } catch (const NetException& e) {
        s_.debugLog.add(QStringLiteral("CheckForMail - Error = ") + e.message());
        state_.mailTimedOut = true;
    }
    waitForMail(
        [&] { return reached() || finished() || state_.mailTimedOut || mailCheckCancelled_; }, -1);
    timerTimeout->setEnabled(false);
    return reached() && !state_.mailTimedOut && !mailCheckCancelled_;
}

void TfrmDigital::endMailSession() {
    TPop3Cli& pop3 = *pop3General;
    try {
        pop3.Quit();
    } catch (const NetException&) {
        // Busy with a step that never finished: the abort below ends it.
    }
    waitForMail(
        [&] {
            return pop3.ProtocolState() == pop3Disconnected && !pop3.Connected() &&
                   pop3.State() == pop3Ready;
        },
        QuitGraceMs);
    if (pop3.ProtocolState() != pop3Disconnected || pop3.Connected() || pop3.State() != pop3Ready) {
        try {
            pop3.Abort();
        } catch (const NetException&) {
        }
    }
}

void TfrmDigital::waitForMail(const std::function<bool()>& done, int limitMs) {
    if (done())
        return;
    QEventLoop loop;
    auto recheck = [&] {
        if (done())
            loop.quit();
    };
    QTimer poll;
    connect(&poll, &QTimer::timeout, &loop, recheck);
    poll.start(RecheckMs);
    QTimer limit;
    if (limitMs >= 0) {
        limit.setSingleShot(true);
        connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
        limit.start(limitMs);
    }
    TPop3Cli* pop3 = pop3General;
    const QMetaObject::Connection connections[] = {
        connect(pop3, &TPop3Cli::OnRequestDone, &loop, recheck, Qt::QueuedConnection),
        connect(pop3, &TPop3Cli::OnSessionConnected, &loop, recheck, Qt::QueuedConnection),
        connect(pop3, &TPop3Cli::OnSessionClosed, &loop, recheck, Qt::QueuedConnection),
        connect(timerTimeout, &VornTimer::timeout, &loop, recheck, Qt::QueuedConnection),
    };
    loop.exec();
    for (const QMetaObject::Connection& c : connections)
        disconnect(c);
}

void TfrmDigital::WaitSeconds(int seconds) {
    if (seconds <= 0)
        return;
    QEventLoop loop;
    QTimer::singleShot(qint64(seconds) * 1000 > std::numeric_limits<int>::max()
                           ? std::numeric_limits<int>::max()
                           : seconds * 1000,
                       &loop, &QEventLoop::quit);
    loop.exec();
}
