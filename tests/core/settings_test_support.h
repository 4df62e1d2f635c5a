#pragma once

#include "core/regional.h"
#include "core/settings_io.h"
#include "core/settings_store.h"
#include "manual_clock.h"
#include "memory_settings_store.h"

#include <QRegularExpression>

#include <ostream>

// Readable failure messages for texts and maps of texts.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

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

// What SaveOptions and SaveToolOptions write to the product key for a settings record.
inline QMap<QString, QString> savedTexts(const typSettings& s, const RegionalSettings& regional) {
    MemorySettingsStore store;
    typLists none;
    SaveOptions(store, s, none, regional);
    SaveToolOptions(store, s);
    return store.values(QString());
}

// LoadSettings with fixed surroundings.
struct LoadFixture {
    RegionalSettings regional = RegionalSettings::english();
    ManualClock clock; // noon of 45000
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
