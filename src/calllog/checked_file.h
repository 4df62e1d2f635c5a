#pragma once

#include <QFile>
#include <QString>

// A file whose every open, read, write, seek, flush and close either succeeds or throws
// an InOutError naming the file and the reason. Closed on destruction without checking,
// which only happens when an error is already on its way.
class CheckedFile {
public:
    explicit CheckedFile(const QString& path) : file_(path) {}
    CheckedFile(const CheckedFile&) = delete;
    CheckedFile& operator=(const CheckedFile&) = delete;

    void open(QIODevice::OpenMode mode);
    qint64 size() const { return file_.size(); }
    void seek(qint64 position);
    // Reads exactly count bytes; fewer (the end of the file) is an error.
    void readExactly(char* data, qint64 count);
    void write(const char* data, qint64 count);
    void write(const QByteArray& bytes) { write(bytes.constData(), bytes.size()); }
    // Pushes what was written to the disk itself, so it survives a power cut.
    void syncToDisk();
    void close();

    const QString& path() const { return path_; }

private:
    [[noreturn]] void fail(const QString& action, const QString& reason) const;

    QFile file_;
    QString path_ = file_.fileName();
};
