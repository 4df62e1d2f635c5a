#include "platform/shell.h"

#include "core/prompts.h"

#include <QDeadlineTimer>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <utility>

extern char** environ;

namespace {

int pidfdOpen(pid_t pid) {
#ifdef SYS_pidfd_open
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
#else
    errno = ENOSYS;
    return -1;
#endif
}

bool sendSignal(int pidfd, pid_t pid, int signal) {
#ifdef SYS_pidfd_send_signal
    if (pidfd >= 0)
        return ::syscall(SYS_pidfd_send_signal, pidfd, signal, nullptr, 0) == 0;
#endif
    // Without a pidfd the id is still ours: the child is not collected before we know it ended.
    return ::kill(pid, signal) == 0;
}

int shellCodeForErrno(int error) {
    switch (error) {
    case ENOENT:
        return Shell::FileNotFound;
    case ENOTDIR:
        return Shell::PathNotFound;
    case EACCES:
    case EPERM:
        return Shell::AccessDenied;
    case ENOMEM:
    case E2BIG:
        return Shell::OutOfMemory;
    case ENOEXEC:
    case ELIBBAD:
        return Shell::BadFormat;
    case ETXTBSY:
        return 26; // sharing violation: the file is being written
    default:
        return Shell::UnknownError;
    }
}

// "https://…", "mailto:…", "www.…"; a single letter before the colon is a drive, not a
// scheme.
bool isWebAddress(const QString& text) {
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    return scheme.match(text).hasMatch() ||
           text.startsWith(QStringLiteral("www."), Qt::CaseInsensitive);
}

QByteArray localText(const QString& text) {
    return text.toLocal8Bit();
}

} // namespace

QString shellErrorText(int code) {
    switch (code) {
    case 2:
        return QStringLiteral("The specified file was not found.");
    case 3:
        return QStringLiteral("The specified path was not found.");
    case 5:
        return QStringLiteral("The operating system denied access to the specified file.");
    case 8:
        return QStringLiteral("There was not enough memory to complete the operation.");
    case 11:
        return QStringLiteral("The .EXE file is invalid (non-Win32 .EXE or error in .EXE image).");
    case 26:
        return QStringLiteral("A sharing violation occurred.");
    case 27:
        return QStringLiteral("The filename association is incomplete or invalid.");
    case 28:
        return QStringLiteral(
            "The DDE transaction could not be completed because the request timed out.");
    case 29:
        return QStringLiteral("The DDE transaction failed.");
    case 30:
        return QStringLiteral("The DDE transaction could not be completed because other DDE "
                              "transactions were being processed.");
    case 31:
        return QStringLiteral(
            "There is no application associated with the given filename extension.");
    case 32:
        return QStringLiteral("The specified dynamic-link library was not found.");
    default:
        return QStringLiteral("Error launching application - No Description Of Error Available.");
    }
}

void OpenDocument(Shell& shell, Prompts& prompts, const QString& file, const QString& parameters) {
    const int result = shell.openDocument(file, parameters);
    if (result >= 1 && result <= 32)
        prompts.error(QStringLiteral("Error launching application.\n\r\n\r") +
                      shellErrorText(result));
}

std::optional<QStringList> splitShellWords(const QString& text) {
    QStringList words;
    QString word;
    bool inWord = false; // also true for a word that is only '' or ""
    enum class Quote { None, Single, Double } quote = Quote::None;

    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        switch (quote) {
        case Quote::Single:
            if (c == u'\'')
                quote = Quote::None;
            else
                word += c;
            break;
        case Quote::Double:
            if (c == u'"') {
                quote = Quote::None;
            } else if (c == u'\\' && i + 1 < text.size() &&
                       QStringView(u"\\\"$`\n").contains(text.at(i + 1))) {
                ++i;
                if (text.at(i) != u'\n') // an escaped newline joins the lines
                    word += text.at(i);
            } else {
                word += c;
            }
            break;
        case Quote::None:
            if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r') {
                if (inWord)
                    words.append(std::exchange(word, QString()));
                inWord = false;
            } else if (c == u'\'') {
                quote = Quote::Single;
                inWord = true;
            } else if (c == u'"') {
                quote = Quote::Double;
                inWord = true;
            } else if (c == u'\\') {
                inWord = true;
                if (i + 1 < text.size()) {
                    ++i;
                    if (text.at(i) != u'\n')
                        word += text.at(i);
                }
                // A backslash at the very end stands for itself.
                else
                    word += c;
            } else {
                word += c;
                inWord = true;
            }
            break;
        }
    }
    if (quote != Quote::None)
        return std::nullopt;
    if (inWord)
        words.append(word);
    return words;
}

struct LinuxShell::Child {
    pid_t pid = 0;
    int pidfd = -1;
    QSocketNotifier* notifier = nullptr;
    bool terminating = false;
    QDeadlineTimer forceAt;
};

LinuxShell::LinuxShell() : LinuxShell(Options()) {}

LinuxShell::LinuxShell(Options options, QObject* parent)
    : QObject(parent), options_(std::move(options)) {
    if (!options_.openUrl)
        options_.openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

LinuxShell::~LinuxShell() {
    for (auto& [id, child] : children_) {
        if (child->terminating) {
            // A program asked to end gets its grace period, then goes: leaving it would
            // break the promise made when it was terminated.
            pollfd watch{child->pidfd, POLLIN, 0};
            const qint64 left = child->forceAt.remainingTime();
            if (child->pidfd >= 0 && left > 0)
                ::poll(&watch, 1, static_cast<int>(left));
            if (::waitpid(child->pid, nullptr, WNOHANG) == 0) {
                sendSignal(child->pidfd, child->pid, SIGKILL);
                ::waitpid(child->pid, nullptr, 0);
            }
        } else {
            ::waitpid(child->pid, nullptr, WNOHANG); // collect it if it has already ended
        }
        delete child->notifier;
        if (child->pidfd >= 0)
            ::close(child->pidfd);
        delete child;
    }
}

StartedProgram LinuxShell::startProgram(const QString& program, const QStringList& arguments,
                                        const QString& workingDirectory, WindowState state) {
    // Children without a pidfd are only collected here and by terminate().
    for (auto it = children_.begin(); it != children_.end();) {
        const qint64 id = (it++)->first;
        if (children_.at(id)->pidfd < 0)
            collect(id);
    }

    StartedProgram result;
    const QByteArray path = QFile::encodeName(program);
    if (program.isEmpty() || path.contains('\0')) {
        result.error = ENOENT;
        result.errorText = qt_error_string(result.error);
        return result;
    }
    std::vector<QByteArray> storage{path};
    for (const QString& argument : arguments)
        storage.push_back(localText(argument));
    std::vector<char*> argv;
    for (QByteArray& bytes : storage)
        argv.push_back(bytes.data());
    argv.push_back(nullptr);
    const QByteArray folder = QFile::encodeName(workingDirectory);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const int devNull = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (devNull >= 0)
        posix_spawn_file_actions_adddup2(&actions, devNull, STDIN_FILENO);
    // Nothing of this program's own (sockets, the settings file, the bus) is handed on.
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    if (!workingDirectory.isEmpty())
        posix_spawn_file_actions_addchdir_np(&actions, folder.constData());

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t signals;
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&attributes, &signals);
    sigfillset(&signals);
    posix_spawnattr_setsigdefault(&attributes, &signals);
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    pid_t pid = 0;
    // A bare name is looked up on PATH, as a user typing it would expect.
    const int error =
        path.contains('/')
            ? ::posix_spawn(&pid, path.constData(), &actions, &attributes, argv.data(), environ)
            : ::posix_spawnp(&pid, path.constData(), &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (devNull >= 0)
        ::close(devNull);
    if (error != 0) {
        result.error = error;
        result.errorText = qt_error_string(error);
        return result;
    }

    auto* child = new Child;
    child->pid = pid;
    // The child is not collected until its pidfd says it ended, so its id stays its own.
    child->pidfd = pidfdOpen(pid);
    if (child->pidfd >= 0) {
        ::fcntl(child->pidfd, F_SETFD, FD_CLOEXEC);
        child->notifier = new QSocketNotifier(child->pidfd, QSocketNotifier::Read);
        const qint64 id = pid;
        connect(child->notifier, &QSocketNotifier::activated, this, [this, id] { collect(id); });
    }
    children_[pid] = child;
    result.processId = pid;
    if (state != WindowState::Normal && options_.applyWindowState)
        options_.applyWindowState(pid, state);
    return result;
}

bool LinuxShell::isRunning(qint64 processId) const {
    const auto it = children_.find(processId);
    if (it == children_.end())
        return false;
    // Peek without collecting: collecting is left to collect(), which forgets the child.
    siginfo_t info{};
    if (::waitid(P_PID, static_cast<id_t>(it->second->pid), &info, WEXITED | WNOHANG | WNOWAIT) !=
        0)
        return false;
    return info.si_pid == 0;
}

void LinuxShell::collect(qint64 processId) {
    const auto it = children_.find(processId);
    if (it == children_.end())
        return;
    Child* child = it->second;
    int status = -1;
    const pid_t reaped = ::waitpid(child->pid, &status, WNOHANG);
    if (reaped == 0)
        return; // still running
    if (reaped < 0)
        status = -1;
    children_.erase(it);
    if (child->notifier) {
        child->notifier->setEnabled(false);
        child->notifier->deleteLater();
    }
    if (child->pidfd >= 0)
        ::close(child->pidfd);
    delete child;
    Q_EMIT programEnded(processId, status);
}

bool LinuxShell::terminate(qint64 processId) {
    collect(processId); // it may have ended since the last pass of the event loop
    const auto it = children_.find(processId);
    if (it == children_.end())
        return false;
    Child* child = it->second;
    if (!sendSignal(child->pidfd, child->pid, SIGTERM))
        return false;
    if (!child->terminating) {
        child->terminating = true;
        child->forceAt = QDeadlineTimer(options_.killDelay);
        QTimer::singleShot(options_.killDelay, this,
                           [this, processId] { forceIfRunning(processId); });
    }
    return true;
}

void LinuxShell::forceIfRunning(qint64 processId) {
    collect(processId);
    const auto it = children_.find(processId);
    if (it == children_.end())
        return;
    sendSignal(it->second->pidfd, it->second->pid, SIGKILL);
}

int LinuxShell::openWithDesktop(const QUrl& url, const QString& parameters) {
    // The desktop's opener takes a document or an address and nothing else.
    if (!parameters.trimmed().isEmpty() && options_.trace)
        options_.trace(QStringLiteral("OpenDocument - Parameters not passed = ") + parameters);
    return options_.openUrl(url) ? Opened : NoAssociation;
}

std::optional<int> LinuxShell::runProgram(const QString& program, const QString& parameters) {
    const std::optional<QStringList> arguments = splitShellWords(parameters);
    if (!arguments)
        return UnknownError;
    const StartedProgram started = startProgram(program, *arguments, {}, WindowState::Normal);
    if (started.processId != 0)
        return Opened;
    // An executable bit on a document (usual on shared and Windows drives) does not make it
    // a program: it is opened as a document instead.
    if (started.error == ENOEXEC)
        return std::nullopt;
    return shellCodeForErrno(started.error);
}

int LinuxShell::openDocument(const QString& file, const QString& parameters) {
    const QString target = file.trimmed();
    if (target.isEmpty())
        return FileNotFound;
    const bool fileUrl = target.startsWith(QStringLiteral("file:"), Qt::CaseInsensitive);
    if (isWebAddress(target) && !fileUrl) {
        QUrl url = QUrl::fromUserInput(target);
        if (!url.isValid())
            return FileNotFound;
        return openWithDesktop(url, parameters);
    }

    const QString path = fileUrl ? QUrl(target).toLocalFile() : target;
    // A bare name is a program on PATH, as at a prompt ("thunderbird").
    if (!path.contains(u'/')) {
        const QString program = QStandardPaths::findExecutable(path);
        if (!program.isEmpty()) {
            if (const std::optional<int> result = runProgram(program, parameters))
                return *result;
        }
    }
    const QFileInfo info(path);
    if (!info.exists())
        return info.absoluteDir().exists() ? FileNotFound : PathNotFound;
    if (info.isFile() && info.isExecutable()) {
        if (const std::optional<int> result = runProgram(info.absoluteFilePath(), parameters))
            return *result;
    }
    if (!info.isReadable())
        return AccessDenied;
    QUrl url = QUrl::fromLocalFile(info.absoluteFilePath());
    // A help page is opened at its topic.
    if (fileUrl)
        url.setFragment(QUrl(target).fragment());
    return openWithDesktop(url, parameters);
}
