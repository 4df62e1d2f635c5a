#include "platform/autostart.h"

#include "core/version.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>
#include <utility>

namespace {
const QString EntryGroup = QStringLiteral("[Desktop Entry]");

// The keys of the main group, as written: enough to tell an entry switched off.
QHash<QString, QString> mainGroup(const QString& path) {
    QHash<QString, QString> keys;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return keys;
    bool inMain = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(u'['))
            inMain = line == EntryGroup;
        else if (const qsizetype eq = line.indexOf(u'='); inMain && eq > 0)
            keys.insert(line.left(eq).trimmed(), line.mid(eq + 1).trimmed());
    }
    return keys;
}
} // namespace

XdgAutostart::XdgAutostart(QString entryPath, QString program)
    : entryPath_(entryPath.isEmpty() ? defaultEntryPath() : std::move(entryPath)),
      program_(program.isEmpty() ? QCoreApplication::applicationFilePath() : std::move(program)) {}

QString XdgAutostart::defaultEntryPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart/vorn.desktop");
}

QString XdgAutostart::execValue(const QString& program) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QString value;
    const bool quote =
        std::any_of(program.begin(), program.end(), [](QChar c) { return reserved.contains(c); });
    for (const QChar c : program) {
        if (c == u'%')
            value += QStringLiteral("%%");
        else if (quote && (c == u'"' || c == u'`' || c == u'$' || c == u'\\'))
            value += u'\\' + QString(c);
        else
            value += c;
    }
    if (quote)
        value = u'"' + value + u'"';
    // The string escapes come on top of the quoting: a backslash is written twice.
    value.replace(u'\\', QStringLiteral("\\\\"));
    return value;
}

bool XdgAutostart::isEnabled() const {
    if (!QFileInfo(entryPath_).isFile())
        return false;
    const QHash<QString, QString> keys = mainGroup(entryPath_);
    return keys.value(QStringLiteral("Hidden")) != QLatin1String("true") &&
           keys.value(QStringLiteral("X-GNOME-Autostart-enabled")) != QLatin1String("false");
}

bool XdgAutostart::setEnabled(bool enabled, QString* error) {
    const auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (!enabled) {
        if (QFile::exists(entryPath_) && !QFile::remove(entryPath_))
            return fail(QStringLiteral("Cannot remove %1.").arg(entryPath_));
        return true;
    }
    if (std::any_of(program_.begin(), program_.end(), [](QChar c) { return c.unicode() < 0x20; }))
        return fail(QStringLiteral("Cannot start %1 at log-in: its path holds a control "
                                   "character.")
                        .arg(program_));
    if (!QDir().mkpath(QFileInfo(entryPath_).path()))
        return fail(
            QStringLiteral("Cannot create the folder %1.").arg(QFileInfo(entryPath_).path()));
    QSaveFile file(entryPath_);
    if (file.open(QIODevice::WriteOnly)) {
        const QString entry = EntryGroup + QStringLiteral("\nType=Application\nName=") +
                              QString::fromLatin1(VornApplicationTitle) +
                              QStringLiteral("\nExec=") + execValue(program_) +
                              QStringLiteral("\nIcon=vorn\nTerminal=false\n"
                                             "X-GNOME-Autostart-enabled=true\n");
        file.write(entry.toUtf8());
        if (file.commit())
            return true;
    }
    return fail(QStringLiteral("Cannot write %1 (%2).").arg(entryPath_, file.errorString()));
}
