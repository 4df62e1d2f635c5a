#include "single_instance.h"

#include "core/prompts.h"

#include <QDir>

#include <unistd.h>

SingleInstance::SingleInstance(const QString& lockPath)
    : path_(lockPath), lock_(std::make_unique<QLockFile>(lockPath)) {
    // Only a dead owner makes the lock stale; an age limit would let a second copy in
    // beside a first one that has simply been running for a while.
    lock_->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultLockPath() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists())
        return QDir(runtime).filePath(QStringLiteral("vorn.lock"));
    return QDir(QDir::tempPath()).filePath(QStringLiteral("vorn-%1.lock").arg(::getuid()));
}

SingleInstance::Result SingleInstance::acquire() {
    if (lock_->isLocked())
        return Result::Acquired;
    if (lock_->tryLock(0))
        return Result::Acquired;
    return lock_->error() == QLockFile::LockFailedError ? Result::AlreadyRunning : Result::Failed;
}

bool claimSingleInstance(const SingleInstance& instance, SingleInstance::Result claim,
                         Prompts& prompts) {
    switch (claim) {
    case SingleInstance::Result::AlreadyRunning:
        prompts.information(QStringLiteral("VORN is already running."));
        return false;
    case SingleInstance::Result::Failed:
        qWarning("vorn: cannot create the lock file %s; not guarding against a second copy",
                 qPrintable(instance.path()));
        return true;
    case SingleInstance::Result::Acquired:
        break;
    }
    return true;
}
