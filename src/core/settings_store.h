#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Sections of string values: the program's settings key and its subkeys. The empty
// section is the product key itself. Every value is text; the typed reads below parse
// it and fall back to the caller's default for anything missing or malformed.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    virtual std::optional<QString> value(const QString& section, const QString& name) const = 0;
    virtual void setValue(const QString& section, const QString& name, const QString& text) = 0;
    virtual void removeValue(const QString& section, const QString& name) = 0;
    // Removes the section with all its values; the empty section removes everything.
    virtual void removeSection(const QString& section) = 0;
    virtual QStringList sections() const = 0;
    // Pushes what was written to stable storage; called after each group of writes.
    virtual void sync() = 0;

    QString readString(const QString& section, const QString& name,
                       const QString& defaultValue) const;
    int readInteger(const QString& section, const QString& name, int defaultValue) const;
    qint64 readInteger64(const QString& section, const QString& name, qint64 defaultValue) const;
    bool readBoolean(const QString& section, const QString& name, bool defaultValue) const;

    void writeString(const QString& section, const QString& name, const QString& text) {
        setValue(section, name, text);
    }
    void writeInteger(const QString& section, const QString& name, qint64 number) {
        setValue(section, name, QString::number(number));
    }
    void writeBoolean(const QString& section, const QString& name, bool flag) {
        setValue(section, name, flag ? QStringLiteral("1") : QStringLiteral("0"));
    }
};

// Parses a whole decimal integer (blanks around allowed) within the range of T.
std::optional<qint64> parseInteger(const QString& text, qint64 min, qint64 max);
