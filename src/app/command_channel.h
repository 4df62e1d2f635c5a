#pragma once

#include <QObject>
#include <QString>

#include <optional>

class QLocalServer;

// What a second start of the program can ask of the copy that runs: open one of its
// windows, as its tray menu would, or end.
enum class RemoteCommand { Options, Tools, Log, Exit };

QString commandWord(RemoteCommand command);
std::optional<RemoteCommand> commandFromWord(const QString& word);

// $XDG_RUNTIME_DIR/vorn.socket, beside the single-instance lock.
QString defaultCommandSocketPath();

// The running copy's end: a local socket only its user can reach. Each connection sends one
// command word and a line feed, and gets "ok" back before the command runs; anything else
// is dropped unanswered. Silent or slow clients are cut off so they never hold it up.
class CommandServer final : public QObject {
    Q_OBJECT
public:
    explicit CommandServer(QObject* parent = nullptr);
    ~CommandServer() override;

    // Only the copy that holds the single-instance lock listens, so whatever is at the
    // path is left over from a copy that crashed, or is not ours: it is replaced. False
    // when the socket cannot be made; the program then runs without it.
    bool listen(const QString& path);
    QString errorString() const;

Q_SIGNALS:
    // Queued after the answer went out, so a client never waits for a window to close.
    void commandReceived(RemoteCommand command);

private:
    void accept();

    QLocalServer* server_;
};

enum class SendResult { Delivered, NotAnswered };

// Hands a command to the running copy, waiting up to timeoutMs for its "ok" (a copy that
// is still starting gets the time to open its socket).
SendResult sendCommand(const QString& path, RemoteCommand command, int timeoutMs);
