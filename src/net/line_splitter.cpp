#include "net/line_splitter.h"

#include <algorithm>
#include <cstring>

LineSplitter::LineSplitter(qsizetype bufferSize, LineEnd lineEnd)
    : buffer_(static_cast<size_t>(std::max<qsizetype>(bufferSize, 4))),
      capacity_(static_cast<qsizetype>(buffer_.size()) - 1), lineEnd_(lineEnd) {
    clear();
}

qsizetype LineSplitter::append(const char* data, qsizetype length) {
    if (data == nullptr || length <= 0)
        return 0;
    if (start_ > 0) {
        const qsizetype held = end_ - start_;
        std::memmove(buffer_.data(), buffer_.data() + start_, static_cast<size_t>(held));
        scanFrom_ -= start_;
        start_ = 0;
        end_ = held;
    }
    const qsizetype taken = std::min(length, capacity_ - end_);
    std::memcpy(buffer_.data() + end_, data, static_cast<size_t>(taken));
    end_ += taken;
    return taken;
}

std::optional<QByteArray> LineSplitter::takeLine() {
    const char* base = buffer_.data();
    qsizetype from = std::max(scanFrom_, firstLf());
    while (from < end_) {
        const void* hit = std::memchr(base + from, '\n', static_cast<size_t>(end_ - from));
        if (hit == nullptr)
            break;
        const qsizetype lf = static_cast<const char*>(hit) - base;
        const bool cr = lf > start_ && base[lf - 1] == '\r';
        if (cr || lineEnd_ == LineEnd::Lf) {
            QByteArray line(base + start_, lf - (cr ? 1 : 0) - start_);
            start_ = lf + 1;
            if (start_ == end_)
                start_ = end_ = 0;
            scanFrom_ = firstLf();
            return line;
        }
        from = lf + 1;
    }
    scanFrom_ = std::max(end_, firstLf());
    return std::nullopt;
}

QByteArray LineSplitter::takePending() {
    QByteArray rest(buffer_.data() + start_, end_ - start_);
    clear();
    return rest;
}

void LineSplitter::clear() {
    start_ = end_ = 0;
    scanFrom_ = firstLf();
}
