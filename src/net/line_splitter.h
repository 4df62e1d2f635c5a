#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>
#include <vector>

// Cuts a byte stream into lines, inside a fixed buffer that holds at most one partial
// line. Memory never grows with the input: append takes only what fits, and a line too
// long to fit with its line end jams the buffer.
class LineSplitter {
public:
    // CrLf: only CR LF ends a line (POP3). Lf: any LF does, a CR before it is dropped
    // (HTTP headers).
    enum class LineEnd { CrLf, Lf };

    // One byte of the buffer is kept free, as the receive buffers have always done.
    explicit LineSplitter(qsizetype bufferSize = 4096, LineEnd lineEnd = LineEnd::CrLf);

    // The longest line that always fits, even when it ends in CR LF.
    qsizetype maxLineLength() const { return capacity_ - 2; }
    qsizetype freeSpace() const { return capacity_ - (end_ - start_); }
    qsizetype pending() const { return end_ - start_; }

    // Copies up to freeSpace() bytes; returns how many were taken.
    qsizetype append(const char* data, qsizetype length);
    // The next complete line without its CR LF.
    std::optional<QByteArray> takeLine();
    // Full without a line end in it: once takeLine() has nothing, nothing ever will.
    bool isJammed() const { return start_ == 0 && end_ == capacity_ && scanFrom_ >= end_; }
    // The bytes of the partial line (a body that follows a header), emptying the buffer.
    QByteArray takePending();
    // The same without taking them.
    QByteArrayView peekPending() const { return {buffer_.data() + start_, end_ - start_}; }
    void clear();

private:
    qsizetype firstLf() const { return start_ + (lineEnd_ == LineEnd::CrLf ? 1 : 0); }

    std::vector<char> buffer_;
    qsizetype capacity_;
    LineEnd lineEnd_;
    qsizetype start_ = 0;    // first byte of the partial line
    qsizetype end_ = 0;      // one past the last byte held
    qsizetype scanFrom_ = 0; // next position that might hold a line's LF
};
