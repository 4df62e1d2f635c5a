#pragma once

#include <QByteArray>
#include <QString>

#include <exception>
#include <utility>

// Misuse of a network component at call time (busy, not connected, a property that
// cannot change now). Failures after a request has started never throw: they arrive
// through the component's completion event with an error code.
class NetException : public std::exception {
public:
    explicit NetException(QString message)
        : message_(std::move(message)), utf8_(message_.toUtf8()) {}

    const QString& message() const noexcept { return message_; }
    const char* what() const noexcept override { return utf8_.constData(); }

private:
    QString message_;
    QByteArray utf8_;
};

class ESocketException : public NetException {
public:
    using NetException::NetException;
};

class Pop3Exception : public NetException {
public:
    using NetException::NetException;
};

class EHttpException : public NetException {
public:
    EHttpException(int code, QString message) : NetException(std::move(message)), code_(code) {}
    int code() const noexcept { return code_; }

private:
    int code_;
};
