#include "settings_store.h"

#include <limits>

std::optional<qint64> parseInteger(const QString& text, qint64 min, qint64 max) {
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t[i];
        const bool sign = i == 0 && (c == u'-' || c == u'+') && t.size() > 1;
        if (!sign && !(c >= u'0' && c <= u'9'))
            return std::nullopt;
    }
    bool ok = false;
    const qint64 v = t.toLongLong(&ok);
    if (!ok || v < min || v > max)
        return std::nullopt;
    return v;
}

QString SettingsStore::readString(const QString& section, const QString& name,
                                  const QString& defaultValue) const {
    return value(section, name).value_or(defaultValue);
}

namespace {

// The stored text as a whole number within [min, max]; nothing when missing or malformed.
std::optional<qint64> storedInteger(const SettingsStore& store, const QString& section,
                                    const QString& name,
                                    qint64 min = std::numeric_limits<int>::min(),
                                    qint64 max = std::numeric_limits<int>::max()) {
    const auto text = store.value(section, name);
    return text ? parseInteger(*text, min, max) : std::nullopt;
}

} // namespace

int SettingsStore::readInteger(const QString& section, const QString& name,
                               int defaultValue) const {
    return static_cast<int>(storedInteger(*this, section, name).value_or(defaultValue));
}

qint64 SettingsStore::readInteger64(const QString& section, const QString& name,
                                    qint64 defaultValue) const {
    return storedInteger(*this, section, name, std::numeric_limits<qint64>::min(),
                         std::numeric_limits<qint64>::max())
        .value_or(defaultValue);
}

bool SettingsStore::readBoolean(const QString& section, const QString& name,
                                bool defaultValue) const {
    const auto v = storedInteger(*this, section, name);
    return v ? *v != 0 : defaultValue;
}
