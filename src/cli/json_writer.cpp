#include "json_writer.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

void JsonWriter::separate() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!firstInLevel_.empty()) {
        if (!firstInLevel_.back())
            out_ += ',';
        firstInLevel_.back() = false;
    }
}

void JsonWriter::open(char bracket) {
    separate();
    out_ += bracket;
    firstInLevel_.push_back(true);
}

void JsonWriter::close(char bracket) {
    firstInLevel_.pop_back();
    out_ += bracket;
    if (firstInLevel_.empty())
        out_ += '\n';
}

JsonWriter& JsonWriter::beginObject() {
    open('{');
    return *this;
}

JsonWriter& JsonWriter::endObject() {
    close('}');
    return *this;
}

JsonWriter& JsonWriter::beginArray() {
    open('[');
    return *this;
}

JsonWriter& JsonWriter::endArray() {
    close(']');
    return *this;
}

JsonWriter& JsonWriter::key(const char* name) {
    separate();
    out_ += '"';
    out_ += name;
    out_ += "\":";
    afterKey_ = true;
    return *this;
}

JsonWriter& JsonWriter::value(const QString& text) {
    separate();
    out_ += '"';
    for (const char c : text.toUtf8()) {
        switch (c) {
        case '"':
            out_ += "\\\"";
            break;
        case '\\':
            out_ += "\\\\";
            break;
        case '\n':
            out_ += "\\n";
            break;
        case '\r':
            out_ += "\\r";
            break;
        case '\t':
            out_ += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out_ += escaped;
            } else {
                out_ += c;
            }
        }
    }
    out_ += '"';
    return *this;
}

JsonWriter& JsonWriter::value(double number) {
    if (!std::isfinite(number))
        return null();
    separate();
    // The shortest text that reads back as the same double.
    char text[32];
    for (int digits = 15; digits <= 17; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, number);
        if (std::strtod(text, nullptr) == number)
            break;
    }
    out_ += text;
    return *this;
}

JsonWriter& JsonWriter::value(qint64 number) {
    separate();
    out_ += QByteArray::number(number);
    return *this;
}

JsonWriter& JsonWriter::value(quint64 number) {
    separate();
    out_ += QByteArray::number(number);
    return *this;
}

JsonWriter& JsonWriter::value(bool flag) {
    separate();
    out_ += flag ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::null() {
    separate();
    out_ += "null";
    return *this;
}
