#pragma once

#include "core/regional.h"
#include "core/settings_io.h"
#include "core/settings_store.h"
#include "manual_clock.h"
#include "memory_settings_store.h"

#include <QRegularExpression>
#include <QSet>

#include <ostream>

// Readable failure messages for texts and maps of texts.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

// A store that remembers the names written to the product key, so a test can reach every
// single value that the save functions know about.
class NameRecordingStore final : public SettingsStore {
public:
    std::optional<QString> value(const QString& section, const QString& name) const override {
        return inner.value(section, name);
    }
    void setValue(const QString& section, const QString& name, const QString& text) override {
        if (section.isEmpty())
            productNames.insert(name);
        inner.setValue(section, name, text);
    }
    void removeValue(const QString& section, const QString& name) override {
        inner.removeValue(section, name);
    }
    void removeSection(const QString& section) override { inner.removeSection(section); }
    QStringList sections() const override { return inner.sections(); }
    void sync() override { inner.sync(); }

    MemorySettingsStore inner;
    QSet<QString> productNames;
};

// "Name=text Name=text ..." as a map; texts hold no blanks.
inline QMap<QString, QString> pairs(const char* text) {
    QMap<QString, QString> out;
    for (const QString& item : QString::fromUtf8(text).split(
             QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts)) {
        const qsizetype eq = item.indexOf(u'=');
        out.insert(item.left(eq), item.mid(eq + 1));
    }
    return out;
}

// What SaveOptions and SaveToolOptions write for a settings record.
inline QMap<QString, QString> savedTexts(const typSettings& s, const RegionalSettings& regional) {
    NameRecordingStore names;
    typLists none;
    SaveOptions(names, s, none, regional);
    SaveToolOptions(names, s);
    QMap<QString, QString> out;
    for (const QString& name : names.productNames)
        out.insert(name, names.readString(QString(), name, QString()));
    return out;
}

// LoadSettings with fixed surroundings.
struct LoadFixture {
    RegionalSettings regional = RegionalSettings::english();
    ManualClock clock;
    PlatformCapabilities capabilities{true, true};
    QString passwordFile;
    QString favorites = QStringLiteral("/home/u/Favorites");
    QList<int> prioritiesApplied;

    SettingsEnvironment env() {
        return {regional,     clock,     capabilities,
                passwordFile, favorites, [this](int p) { prioritiesApplied << p; }};
    }
    void load(SettingsStore& store, typSettings& s, typLists& lists) {
        LoadSettings(store, s, lists, env());
    }
};
