#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <vector>

// Writes JSON as it goes, keys in the order given, so that a long list needs no document
// in memory first. Numbers that are no number (NaN, infinities) are written as null.
class JsonWriter {
public:
    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    // The key of the next value inside an object.
    JsonWriter& key(const char* name);

    JsonWriter& value(const QString& text);
    JsonWriter& value(const char* text) { return value(QString::fromUtf8(text)); }
    JsonWriter& value(double number);
    JsonWriter& value(qint64 number);
    JsonWriter& value(quint64 number);
    JsonWriter& value(int number) { return value(static_cast<qint64>(number)); }
    JsonWriter& value(quint32 number) { return value(static_cast<quint64>(number)); }
    JsonWriter& value(bool flag);
    JsonWriter& null();

    // What has been written, ended by a line feed once every object and array is closed.
    const QByteArray& bytes() const { return out_; }

private:
    void separate();
    void open(char bracket);
    void close(char bracket);

    QByteArray out_;
    std::vector<bool> firstInLevel_;
    bool afterKey_ = false;
};
