#pragma once

#include "net/pop3_protocol.h"
#include "tools/tool_output.h"

#include <QObject>
#include <QString>
#include <QTimer>

class Prompts;
class TPop3Cli;
struct typPOP3Information;
struct typSettings;

// The POP3 tool's check of one account, from "*** Start ***" to "*** Finish ***": log
// in, count the messages, list them, show the header lines (and Additional_Lines x 10
// body lines) of each, then Quit. Each step is bounded by the step timer; every check
// ends with Quit and "*** Finish ***". Nothing blocks: the steps follow one another from
// the event loop, and a second check is refused until the first has finished.
//
// How the POP3 page wires it:
//   cmdPOP3 clicked, lstvPOP3General double-clicked
//                      -> check(selected account or nullptr, the settings record,
//                               the main window's connected flag)
//   cmdPOP3Cancel      -> cancel()
//   memoPOP3Output     <- output() (see ToolOutput)
//   groupPOP3Output    <- captionChanged(text) -> setTitle(text); caption() at any time
//   buttonsChanged()   -> cmdPOP3->setEnabled(pop3Enabled());
//                         cmdPOP3Cancel->setEnabled(cancelEnabled())
//   running()          -> the hourglass, from check() until finished()
//   the window closing -> cancel(), or simply destroying the session
// Warnings and the question go through the Prompts given.
class Pop3CheckSession : public QObject {
    Q_OBJECT

public:
    explicit Pop3CheckSession(Prompts& prompts, QObject* parent = nullptr);
    ~Pop3CheckSession() override;

    ToolOutput& output() { return *output_; }
    const QString& caption() const { return caption_; }
    TPop3Cli& client() { return *pop3_; }

    bool running() const { return step_ != Step::Idle; }
    bool pop3Enabled() const { return !running(); }
    bool cancelEnabled() const { return cancelEnabled_; }

    // Reads Port_Number, Time_Out and Additional_Lines.
    void check(const typPOP3Information* account, const typSettings& settings,
               bool dialUpConnected);
    // Drops the connection ("Abort OK"); the check then goes straight to Quit.
    void cancel();

    // A step's time-out in ms: (Time_Out + 1) x 10 s.
    static int stepInterval(qint32 timeOutIndex);
    // For tests: every step gets this long instead of what the settings say (0: them).
    void setStepIntervalOverride(int ms) { intervalOverride_ = ms; }

Q_SIGNALS:
    void buttonsChanged();
    void captionChanged(const QString& caption);
    // The conversation with the server as the client reports it ("> " sent, "< "
    // received), the password masked: for a trace, never the output box.
    void conversation(const QString& line);
    // "*** Finish ***" is written and the buttons are back.
    void finished();

private:
    enum class Step { Idle, Connect, User, Pass, Stat, List, Top, Quit };

    void setCancelEnabled(bool on);
    void setCaption(const QString& caption);
    void beginStep(Step step);
    void runCommand(const QString& name, void (TCustomPop3Cli::*command)());
    bool stepComplete() const;
    void recheckLater();
    void recheck();
    void nextStep();
    void finish();

    void requestDone(TPop3Request request, quint16 error);
    void messageBegin();
    void messageLine(const QString& line);
    void messageEnd();
    void sessionClosed();
    void stepTimedOut();
    void display(const QString& text);

    Prompts& prompts_;
    ToolOutput* output_;
    TPop3Cli* pop3_;
    QTimer stepTimer_; // timerTimeout
    QTimer quitTimer_; // how long Quit may take
    QString caption_;
    Step step_ = Step::Idle;
    int interval_ = 0;
    int intervalOverride_ = 0;
    bool timedOut_ = false; // also set by a failed command and by Cancel
    bool statDone_ = false;
    bool listDone_ = false;
    bool topDone_ = false;
    bool statOk_ = false;
    int messageCount_ = 0;
    int message_ = 0;
    bool cancelEnabled_ = false;
    bool recheckQueued_ = false;
};
