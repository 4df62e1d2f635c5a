#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <chrono>
#include <functional>
#include <map>
#include <optional>

class Prompts;

// How a started program should first show its window.
enum class WindowState { Normal = 0, Minimized = 1, Maximized = 2, Hidden = 3 };

// A program started by the shell, or why it could not be started.
struct StartedProgram {
    qint64 processId = 0; // 0: not started
    int error = 0;        // errno when not started
    QString errorText;    // the system's text for it
};

// Opening documents and web addresses, starting and ending programs. No command
// interpreter is ever involved: arguments reach the program exactly as given.
class Shell {
public:
    // openDocument's results: above 32 is success, 1 to 32 an error code whose text
    // shellErrorText gives.
    static constexpr int Opened = 33;
    static constexpr int FileNotFound = 2;
    static constexpr int PathNotFound = 3;
    static constexpr int AccessDenied = 5;
    static constexpr int OutOfMemory = 8;
    static constexpr int BadFormat = 11;
    static constexpr int NoAssociation = 31;
    static constexpr int UnknownError = 1;

    virtual ~Shell() = default;

    // A web address goes to the browser, a folder or document to the desktop's handler for
    // it, and a program file, or a bare program name found on PATH, is started with the
    // parameters split into arguments.
    virtual int openDocument(const QString& file, const QString& parameters) = 0;
    // workingDirectory empty: the program starts in this program's current folder.
    virtual StartedProgram startProgram(const QString& program, const QStringList& arguments,
                                        const QString& workingDirectory, WindowState state) = 0;
    // Asks a program this shell started to end, and forces it if it is still there after a
    // grace period. False when it has ended already or was not started here.
    virtual bool terminate(qint64 processId) = 0;
};

// The text shown for an openDocument error code from 1 to 32.
QString shellErrorText(int code);

// Opens a file, program or web address; on failure shows the error box that names the
// reason. Every window opens documents through this.
void OpenDocument(Shell& shell, Prompts& prompts, const QString& file, const QString& parameters);

// Splits a parameter text into arguments as a POSIX shell splits words: blanks separate,
// single quotes keep everything literally, double quotes keep everything but the
// backslash escapes of \ " $ ` and a newline, and a backslash outside quotes takes the
// next character literally. No expansion of any kind is done. Nothing for a quote that is
// never closed.
std::optional<QStringList> splitShellWords(const QString& text);

// The Linux shell. Programs are spawned directly (no /bin/sh) in a session of their own, so
// they outlive this program and ignore its terminal, and are watched through a pidfd so a
// process id is never confused with a later process that reuses it.
class LinuxShell final : public QObject, public Shell {
    Q_OBJECT
public:
    struct Options {
        // Between SIGTERM and SIGKILL.
        std::chrono::milliseconds killDelay = std::chrono::seconds(3);
        // Hands a document or web address to the desktop; QDesktopServices by default.
        std::function<bool(const QUrl&)> openUrl;
        // Asks the desktop to show a started program's window in the given state; does
        // nothing by default.
        std::function<void(qint64 processId, WindowState state)> applyWindowState;
        // Takes a debug line (parameters that a document or web address could not take).
        std::function<void(const QString&)> trace;
    };

    LinuxShell();
    explicit LinuxShell(Options options, QObject* parent = nullptr);
    // Waits out the grace period of programs being terminated, then forces them.
    ~LinuxShell() override;

    int openDocument(const QString& file, const QString& parameters) override;
    StartedProgram startProgram(const QString& program, const QStringList& arguments,
                                const QString& workingDirectory, WindowState state) override;
    bool terminate(qint64 processId) override;

    // Whether a program started here is still running (not yet ended and collected).
    bool isRunning(qint64 processId) const;

Q_SIGNALS:
    // A started program has ended and has been collected; waitStatus as waitpid gives it,
    // -1 when something else collected it.
    void programEnded(qint64 processId, int waitStatus);

private:
    struct Child;
    int openWithDesktop(const QUrl& url, const QString& parameters);
    // Opened, or the error code; nothing when the file is no program after all.
    std::optional<int> runProgram(const QString& program, const QString& parameters);
    void collect(qint64 processId);
    void forceIfRunning(qint64 processId);

    Options options_;
    std::map<qint64, Child*> children_;
};
