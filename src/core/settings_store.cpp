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

int SettingsStore::readInteger(const QString& section, const QString& name,
                               int defaultValue) const {
    const auto text = value(section, name);
    if (!text)
        return defaultValue;
    const auto v =
        parseInteger(*text, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    return v ? static_cast<int>(*v) : defaultValue;
}

qint64 SettingsStore::readInteger64(const QString& section, const QString& name,
                                    qint64 defaultValue) const {
    const auto text = value(section, name);
    if (!text)
        return defaultValue;
    return parseInteger(*text, std::numeric_limits<qint64>::min(),
                        std::numeric_limits<qint64>::max())
        .value_or(defaultValue);
}

bool SettingsStore::readBoolean(const QString& section, const QString& name,
                                bool defaultValue) const {
    const auto text = value(section, name);
    if (!text)
        return defaultValue;
    const auto v =
        parseInteger(*text, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    return v ? *v != 0 : defaultValue;
}
