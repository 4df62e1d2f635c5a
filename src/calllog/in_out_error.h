#pragma once

#include <QString>

#include <stdexcept>

// A failed open, read, write, seek or close of one of the program's data files. Nothing
// catches it on the way: it reaches the fatal error handler, which shows message().
class InOutError : public std::runtime_error {
public:
    explicit InOutError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}

    const QString& message() const { return message_; }

private:
    QString message_;
};
