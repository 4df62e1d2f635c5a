#include "tools/web_notify_trace.h"

#include "core/clock.h"
#include "core/program_paths.h"

#include <QDir>

namespace {
constexpr qint64 FlushIntervalMs = 1000;
constexpr qsizetype MaxPendingBytes = 1024 * 1024;
const QFileDevice::Permissions OwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
} // namespace

WebNotifyTrace::WebNotifyTrace(const Clock& clock, const datetime::DateTexts& texts)
    : clock_(clock), texts_(texts) {}

WebNotifyTrace::~WebNotifyTrace() {
    close();
}

QString WebNotifyTrace::path(const QString& programFolder) {
    return QDir(logsFolderOf(programFolder)).filePath(QStringLiteral("notify.txt"));
}

QString WebNotifyTrace::backupPath(const QString& programFolder) {
    return QDir(logsFolderOf(programFolder)).filePath(QStringLiteral("notify.bak"));
}

bool WebNotifyTrace::open(const QString& programFolder, bool keepBackup) {
    close();
    QDir().mkpath(logsFolderOf(programFolder));
    const QString target = path(programFolder);
    if (keepBackup && QFile::exists(target)) {
        const QString backup = backupPath(programFolder);
        QFile::remove(backup);
        if (QFile::rename(target, backup))
            QFile::setPermissions(backup, OwnerOnly);
    }
    QFile::remove(target);
    file_.setFileName(target);
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate, OwnerOnly))
        return false;
    file_.setPermissions(OwnerOnly); // also when an old file could not be removed
    lastFlush_ = clock_.milliseconds();
    pending_ = "Log Created : " + texts_.dateTime(clock_.now()).toUtf8() + '\n';
    return true;
}

void WebNotifyTrace::add(int row, const QString& text) {
    if (!file_.isOpen())
        return;
    pending_ += texts_.dateTime(clock_.now()).toUtf8();
    pending_ += " - Item ";
    pending_ += QByteArray::number(row);
    pending_ += ": ";
    pending_ += text.toUtf8();
    pending_ += '\n';
    if (pending_.size() > MaxPendingBytes)
        flush();
}

void WebNotifyTrace::flushIfDue() {
    if (clock_.milliseconds() - lastFlush_ >= FlushIntervalMs)
        flush();
}

void WebNotifyTrace::flush() {
    lastFlush_ = clock_.milliseconds();
    if (!file_.isOpen() || pending_.isEmpty())
        return;
    file_.write(pending_);
    file_.flush();
    pending_.clear();
}

void WebNotifyTrace::close() {
    flush();
    file_.close();
}
