#include "checked_file.h"

#include "in_out_error.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

void CheckedFile::fail(const QString& action, const QString& reason) const {
    throw InOutError(
        QStringLiteral("Could not %1 the file \"%2\": %3")
            .arg(action, path_, reason.isEmpty() ? QStringLiteral("unknown error") : reason));
}

void CheckedFile::open(QIODevice::OpenMode mode) {
    // Unbuffered: a failing write reports itself at once, not at some later flush.
    if (!file_.open(mode | QIODevice::Unbuffered))
        fail(QStringLiteral("open"), file_.errorString());
}

void CheckedFile::seek(qint64 position) {
    if (!file_.seek(position))
        fail(QStringLiteral("position in"), file_.errorString());
}

void CheckedFile::readExactly(char* data, qint64 count) {
    qint64 done = 0;
    while (done < count) {
        const qint64 n = file_.read(data + done, count - done);
        if (n < 0)
            fail(QStringLiteral("read"), file_.errorString());
        if (n == 0)
            fail(QStringLiteral("read"), QStringLiteral("the file ends too early"));
        done += n;
    }
}

void CheckedFile::write(const char* data, qint64 count) {
    qint64 done = 0;
    while (done < count) {
        const qint64 n = file_.write(data + done, count - done);
        if (n <= 0)
            fail(QStringLiteral("write"), file_.errorString());
        done += n;
    }
}

void CheckedFile::syncToDisk() {
    if (!file_.flush())
        fail(QStringLiteral("write"), file_.errorString());
    if (::fsync(file_.handle()) != 0)
        fail(QStringLiteral("write"), QString::fromLocal8Bit(std::strerror(errno)));
}

void CheckedFile::close() {
    if (!file_.isOpen())
        return;
    const bool flushed = file_.flush();
    const QString reason = file_.errorString();
    file_.close();
    if (!flushed)
        fail(QStringLiteral("close"), reason);
    if (file_.error() != QFileDevice::NoError)
        fail(QStringLiteral("close"), file_.errorString());
}
