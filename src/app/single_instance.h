#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

class Prompts;

// One copy of the program per user: a lock file in the user's runtime folder. The lock
// of a copy that crashed is taken over (the file names a process that no longer runs).
class SingleInstance {
public:
    enum class Result { Acquired, AlreadyRunning, Failed };

    explicit SingleInstance(const QString& lockPath = defaultLockPath());
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // $XDG_RUNTIME_DIR/vorn.lock; without a runtime folder, one per user in the temp folder.
    static QString defaultLockPath();

    // Failed (the lock cannot be created at all) is not a second copy: the caller runs.
    Result acquire();
    QString path() const { return path_; }

private:
    QString path_;
    std::unique_ptr<QLockFile> lock_;
};

// True when this copy may run, given what acquire() answered. A second copy is told so in a
// box and gets false; a lock that cannot be created at all lets the program run without
// the guard.
bool claimSingleInstance(const SingleInstance& instance, SingleInstance::Result claim,
                         Prompts& prompts);
