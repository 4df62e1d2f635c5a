#pragma once

#include "tools/tool_output.h"

#include <QObject>
#include <QString>

#include <memory>

class IcmpEcho;
class Prompts;
class TPing;
struct typToolWithDefaultInformation;

// The ping tool's run: look the host up, then send (Repeat_Ping + 1) echoes one after
// another, writing a line for each step. Nothing here blocks: every echo waits in the
// event loop, and "Pin&g" stays off until the last one has ended.
//
// How the Ping page wires it:
//   cmdPing clicked, lstvPingGeneral double-clicked
//                      -> ping(selected entry or nullptr, settings.Repeat_Ping)
//   cmdPingCancel      -> cancel()
//   memoPingOutput     <- output() (see ToolOutput for its three signals)
//   buttonsChanged()   -> cmdPing->setEnabled(pingEnabled());
//                         cmdPingCancel->setEnabled(cancelEnabled())
//   the window closing -> stop()
// Warnings go through the Prompts given; the session never shows anything else.
class PingSession : public QObject {
    Q_OBJECT

public:
    // Takes the echo service (IcmpEchoSocket in the program, a double in tests).
    PingSession(std::unique_ptr<IcmpEcho> echo, Prompts& prompts, QObject* parent = nullptr);
    ~PingSession() override;

    ToolOutput& output() { return *output_; }
    TPing& pinger() { return *ping_; }

    bool pingEnabled() const { return state_ == State::Idle; }
    bool cancelEnabled() const { return state_ == State::Resolving; }

    // Pings the entry's host; nullptr when no entry is selected. repeatIndex is the
    // Repeat_Ping setting (0..5: one to six echoes).
    void ping(const typToolWithDefaultInformation* entry, int repeatIndex);
    // Cancels the host look-up (the only step that can be cancelled).
    void cancel();
    // Ends whatever runs, echoes included; nothing more is written.
    void stop();

Q_SIGNALS:
    void buttonsChanged();
    // The run is over: the last line is written and "Pin&g" is on again.
    void finished();

private:
    enum class State { Idle, Resolving, Echoing };

    void setState(State state);
    void lookupDone(quint16 error);
    void echoRequest();
    void echoReply(int replies);
    void sendNext();

    Prompts& prompts_;
    ToolOutput* output_;
    TPing* ping_;
    State state_ = State::Idle;
    QString host_; // as the entry gives it
    int echoesLeft_ = 0;
};
