#pragma once

#include "tools/tool_output.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class Prompts;
class TFingerCli;
struct typToolWithDefaultInformation;

// The finger tool's run: query the selected address and stream the answer into the
// output as it comes, ending with "Done.".
//
// How the Finger page wires it:
//   cmdFinger clicked, lstvFingerGeneral double-clicked
//                      -> finger(selected entry or nullptr)
//   cmdFingerCancel    -> cancel()
//   memoFingerOutput   <- output() (see ToolOutput; the answer arrives in pieces through
//                         lastLineExtended as well as lineAdded)
//   buttonsChanged()   -> cmdFinger->setEnabled(fingerEnabled());
//                         cmdFingerCancel->setEnabled(cancelEnabled())
//   the window closing -> cancel()
// Show the hourglass only around the call to finger(); the query itself never blocks.
class FingerSession : public QObject {
    Q_OBJECT

public:
    explicit FingerSession(Prompts& prompts, QObject* parent = nullptr);
    ~FingerSession() override;

    ToolOutput& output() { return *output_; }
    TFingerCli& client() { return *finger_; }

    bool fingerEnabled() const { return !running_; }
    bool cancelEnabled() const { return running_; }

    void finger(const typToolWithDefaultInformation* entry);
    void cancel();

Q_SIGNALS:
    void buttonsChanged();
    // The query is over and "Done." written.
    void finished();

private:
    void setRunning(bool running);
    void sessionConnected(quint16 error);
    void dataAvailable();
    void queryDone(quint16 error);
    QString decode(QByteArrayView bytes);

    Prompts& prompts_;
    ToolOutput* output_;
    TFingerCli* finger_;
    bool running_ = false;
    QByteArray pendingUtf8_; // a character split between two pieces of the answer
};
