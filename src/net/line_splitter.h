#pragma once

#include <QByteArray>

#include <optional>
#include <vector>

// Cuts a byte stream into lines ending in CR LF, inside a fixed buffer that holds at
// most one partial line. Memory never grows with the input: append takes only what
// fits, and a line too long to fit with its CR LF jams the buffer.
class LineSplitter {
public:
    // One byte of the buffer is kept free, as the receive buffers have always done.
    explicit LineSplitter(qsizetype bufferSize = 4096);

    // The longest line (without CR LF) that can ever come out.
    qsizetype maxLineLength() const { return capacity_ - 2; }
    qsizetype freeSpace() const { return capacity_ - (end_ - start_); }
    qsizetype pending() const { return end_ - start_; }

    // Copies up to freeSpace() bytes; returns how many were taken.
    qsizetype append(const char* data, qsizetype length);
    // The next complete line without its CR LF.
    std::optional<QByteArray> takeLine();
    // Full without a line end in it: once takeLine() has nothing, nothing ever will.
    bool isJammed() const { return start_ == 0 && end_ == capacity_ && scanFrom_ >= end_; }
    void clear();

private:
    std::vector<char> buffer_;
    qsizetype capacity_;
    qsizetype start_ = 0;    // first byte of the partial line
    qsizetype end_ = 0;      // one past the last byte held
    qsizetype scanFrom_ = 1; // next position that might hold the LF of a CR LF
};
