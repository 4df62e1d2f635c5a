#include "tools/pop3_check_session.h"

#include "core/prompts.h"
#include "core/records.h"
#include "core/settings.h"
#include "net/pop3_client.h"

#include <QPointer>

#include <algorithm>

namespace {

constexpr int MaxIndex = 5; // the combo boxes hold six entries
// Quit and the server's hang-up get this long before "*** Finish ***".
constexpr int QuitWaitMs = 1000;

QString messageCount(int count) {
    return count == 1 ? QStringLiteral("1 message")
                      : QString::number(count) + QStringLiteral(" messages");
}

} // namespace

Pop3CheckSession::Pop3CheckSession(Prompts& prompts, QObject* parent)
    : QObject(parent), prompts_(prompts), output_(new ToolOutput(this)), pop3_(new TPop3Cli),
      caption_(QStringLiteral("Output")) {
    pop3_->setObjectName(QStringLiteral("pop3General"));
    stepTimer_.setSingleShot(true);
    quitTimer_.setSingleShot(true);
    connect(&stepTimer_, &QTimer::timeout, this, &Pop3CheckSession::stepTimedOut);
    connect(&quitTimer_, &QTimer::timeout, this, &Pop3CheckSession::finish);
    connect(pop3_, &TPop3Cli::OnRequestDone, this, &Pop3CheckSession::requestDone);
    connect(pop3_, &TPop3Cli::OnMessageBegin, this, &Pop3CheckSession::messageBegin);
    connect(pop3_, &TPop3Cli::OnMessageLine, this, &Pop3CheckSession::messageLine);
    connect(pop3_, &TPop3Cli::OnMessageEnd, this, &Pop3CheckSession::messageEnd);
    connect(pop3_, &TPop3Cli::OnSessionConnected, this, &Pop3CheckSession::recheckLater);
    connect(pop3_, &TPop3Cli::OnSessionClosed, this, &Pop3CheckSession::sessionClosed);
    connect(pop3_, &TPop3Cli::OnDisplay, this, &Pop3CheckSession::display);
}

Pop3CheckSession::~Pop3CheckSession() {
    // The client may be inside one of its own events now (the window closing on a line
    // written from it): it goes once that has returned.
    pop3_->disconnect(this);
    pop3_->Abort();
    pop3_->deleteLater();
}

int Pop3CheckSession::stepInterval(qint32 timeOutIndex) {
    return (std::clamp(timeOutIndex, 0, MaxIndex) + 1) * 10000;
}

void Pop3CheckSession::setCancelEnabled(bool on) {
    if (cancelEnabled_ == on)
        return;
    cancelEnabled_ = on;
    Q_EMIT buttonsChanged();
}

void Pop3CheckSession::setCaption(const QString& caption) {
    caption_ = caption;
    Q_EMIT captionChanged(caption_);
}

void Pop3CheckSession::check(const typPOP3Information* account, const typSettings& settings,
                             bool dialUpConnected) {
    if (!account) {
        prompts_.warning(QStringLiteral("You must select a POP3 Entry from the list above "
                                        "before the POP3 results can be displayed."));
        return;
    }
    // Until "*** Finish ***", even when a time-out has already put the buttons back:
    // Quit and its wait still use the client.
    if (running()) {
        prompts_.warning(QStringLiteral("You must cancel the current POP3 request before "
                                        "checking the mail for another account."));
        return;
    }
    if (!dialUpConnected &&
        !prompts_.askYesNo(QStringLiteral("Are you sure you wish to continue as no dial up "
                                          "connection can be detected?")))
        return;

    QPointer<Pop3CheckSession> self(this);
    step_ = Step::Connect; // busy from here on, whatever the signals below do
    cancelEnabled_ = true;
    Q_EMIT buttonsChanged();
    if (self)
        setCaption(QStringLiteral("Output"));
    if (self)
        output_->clear();
    if (self)
        output_->addLine(QStringLiteral("*** Start ***"));
    if (!self)
        return;

    pop3_->setHost(account->Server);
    pop3_->setUserName(account->User_Name);
    pop3_->setPassWord(account->Password);
    pop3_->setPort(QString::number(settings.Port_Number));
    pop3_->setMsgNum(0);
    pop3_->setMsgLines(std::clamp(settings.Additional_Lines, 0, MaxIndex) * 10);
    interval_ = intervalOverride_ > 0 ? intervalOverride_ : stepInterval(settings.Time_Out);
    statOk_ = false;
    messageCount_ = 0;
    beginStep(Step::Connect);
}

void Pop3CheckSession::beginStep(Step step) {
    step_ = step;
    timedOut_ = false;
    if (step == Step::Quit) {
        quitTimer_.start(QuitWaitMs);
        runCommand(QStringLiteral("Quit"), &TCustomPop3Cli::Quit);
        recheckLater();
        return;
    }
    stepTimer_.start(interval_);
    switch (step) {
    case Step::Connect:
        runCommand(QStringLiteral("Connect"), &TCustomPop3Cli::Connect);
        break;
    case Step::User:
        runCommand(QStringLiteral("User"), &TCustomPop3Cli::User);
        break;
    case Step::Pass:
        runCommand(QStringLiteral("Pass"), &TCustomPop3Cli::Pass);
        break;
    case Step::Stat:
        statDone_ = false;
        runCommand(QStringLiteral("Stat"), &TCustomPop3Cli::Stat);
        break;
    case Step::List:
        listDone_ = false;
        runCommand(QStringLiteral("List"), &TCustomPop3Cli::List);
        break;
    case Step::Top:
        pop3_->setMsgNum(message_);
        topDone_ = false;
        runCommand(QStringLiteral("Top"), &TCustomPop3Cli::Top);
        break;
    case Step::Quit:
    case Step::Idle:
        break;
    }
    recheckLater();
}

void Pop3CheckSession::runCommand(const QString& name, void (TCustomPop3Cli::*command)()) {
    QPointer<Pop3CheckSession> self(this);
    QString failure;
    try {
        (pop3_->*command)();
    } catch (const NetException& e) {
        failure = e.message();
    }
    if (!self)
        return;
    if (!failure.isNull()) {
        timedOut_ = true;
        output_->addLine(name + QStringLiteral(" failed (") + failure + QStringLiteral(")"));
        return;
    }
    QString suffix = QStringLiteral(" OK");
    if (name == QLatin1String("Connect"))
        suffix = QStringLiteral(" request sent");
    else if (name == QLatin1String("User"))
        suffix = QStringLiteral(" request sent (if timed out check user)");
    else if (name == QLatin1String("Pass"))
        suffix = QStringLiteral(" request sent (if timed out check password)");
    else if (name == QLatin1String("Top"))
        return;
    output_->addLine(name + suffix);
}

bool Pop3CheckSession::stepComplete() const {
    const TPop3ProtocolState phase = pop3_->ProtocolState();
    const bool closed = phase == pop3Disconnected;
    switch (step_) {
    case Step::Connect:
        // Only the banner completes it: a failed connection ends by the time-out.
        return phase == pop3WaitingUser;
    case Step::User:
        return phase == pop3WaitingPass || closed;
    case Step::Pass:
        return phase == pop3Transaction || closed;
    case Step::Stat:
        return statDone_ || closed;
    case Step::List:
        return listDone_ || closed;
    case Step::Top:
        return topDone_ || closed;
    case Step::Quit:
        return closed && !pop3_->Connected() && pop3_->State() == pop3Ready;
    case Step::Idle:
        return false;
    }
    return false;
}

// Conditions are looked at from a fresh pass of the event loop, so that the next
// command never starts inside one of the client's own events.
void Pop3CheckSession::recheckLater() {
    if (recheckQueued_ || !running())
        return;
    recheckQueued_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            recheckQueued_ = false;
            recheck();
        },
        Qt::QueuedConnection);
}

void Pop3CheckSession::recheck() {
    if (!running())
        return;
    if (step_ == Step::Quit) {
        if (stepComplete())
            finish();
        return;
    }
    if (!timedOut_ && !stepComplete())
        return;
    stepTimer_.stop();
    nextStep();
}

void Pop3CheckSession::nextStep() {
    if (timedOut_) {
        beginStep(Step::Quit);
        return;
    }
    switch (step_) {
    case Step::Connect:
        beginStep(Step::User);
        break;
    case Step::User:
        beginStep(Step::Pass);
        break;
    case Step::Pass:
        beginStep(Step::Stat);
        break;
    case Step::Stat:
        // A count the server did not give is no count: the client would still hold the
        // one of an earlier check.
        messageCount_ = statOk_ ? pop3_->MsgCount() : 0;
        beginStep(Step::List);
        break;
    case Step::List:
    case Step::Top:
        message_ = step_ == Step::List ? 1 : message_ + 1;
        beginStep(message_ <= messageCount_ ? Step::Top : Step::Quit);
        break;
    case Step::Quit:
    case Step::Idle:
        break;
    }
}

void Pop3CheckSession::finish() {
    if (step_ != Step::Quit)
        return;
    quitTimer_.stop();
    QPointer<Pop3CheckSession> self(this);
    output_->addLine(QStringLiteral("*** Finish ***"));
    if (!self)
        return;
    if (pop3_->ProtocolState() != pop3Disconnected || pop3_->Connected() ||
        pop3_->State() != pop3Ready)
        pop3_->Abort();
    step_ = Step::Idle;
    cancelEnabled_ = false;
    Q_EMIT buttonsChanged();
    if (self)
        Q_EMIT finished();
}

void Pop3CheckSession::cancel() {
    if (!running())
        return;
    QPointer<Pop3CheckSession> self(this);
    runCommand(QStringLiteral("Abort"), &TCustomPop3Cli::Abort);
    if (!self)
        return;
    timedOut_ = true;
    setCancelEnabled(false);
    recheckLater();
}

void Pop3CheckSession::requestDone(TPop3Request request, quint16 error) {
    if (!running())
        return;
    switch (request) {
    case pop3Stat: {
        statOk_ = error == 0;
        QPointer<Pop3CheckSession> self(this);
        if (statOk_) {
            const int n = pop3_->MsgCount();
            output_->addLine(n == 0 ? QStringLiteral("You have no messages")
                                    : QStringLiteral("You have ") + messageCount(n));
            if (self)
                setCaption(QStringLiteral("Output (") +
                           (n == 0 ? QStringLiteral("No messages") : messageCount(n)) +
                           QStringLiteral(")"));
        }
        if (!self)
            return;
        statDone_ = true;
        break;
    }
    case pop3List:
        listDone_ = true;
        break;
    case pop3Top:
        topDone_ = true;
        break;
    default:
        break;
    }
    recheckLater();
}

void Pop3CheckSession::messageBegin() {
    if (!running())
        return;
    QPointer<Pop3CheckSession> self(this);
    output_->addLine(QString());
    if (self)
        output_->addLine(QStringLiteral("*** Message %1 begin ***").arg(message_));
}

void Pop3CheckSession::messageLine(const QString& line) {
    if (running())
        output_->addLine(line);
}

void Pop3CheckSession::messageEnd() {
    if (!running())
        return;
    QPointer<Pop3CheckSession> self(this);
    output_->addLine(QStringLiteral("*** Message %1 end ***").arg(message_));
    if (self)
        output_->addLine(QString());
}

void Pop3CheckSession::sessionClosed() {
    if (!running())
        return;
    setCancelEnabled(false);
    recheckLater();
}

void Pop3CheckSession::stepTimedOut() {
    if (!running() || step_ == Step::Quit)
        return;
    QPointer<Pop3CheckSession> self(this);
    output_->addLine(QStringLiteral("Request timed out"));
    if (!self)
        return;
    timedOut_ = true;
    setCancelEnabled(false);
    recheckLater();
}

void Pop3CheckSession::display(const QString& text) {
    static const QString pass = QStringLiteral("> PASS ");
    Q_EMIT conversation(text.startsWith(pass) ? pass + QStringLiteral("****") : text);
}
