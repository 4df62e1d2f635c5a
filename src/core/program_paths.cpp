#include "program_paths.h"

#include <QDir>

QString programFolder(const QString& option, const QProcessEnvironment& environment) {
    QString folder = option;
    if (folder.isEmpty())
        folder = environment.value(QStringLiteral("VORN_HOME"));
    if (folder.isEmpty()) {
        QString dataHome = environment.value(QStringLiteral("XDG_DATA_HOME"));
        if (dataHome.isEmpty())
            dataHome = QDir(environment.value(QStringLiteral("HOME"), QDir::homePath()))
                           .filePath(QStringLiteral(".local/share"));
        folder = QDir(dataHome).filePath(QStringLiteral("VORN"));
    }
    return QDir::cleanPath(QDir(folder).absolutePath());
}

QString logsFolderOf(const QString& programFolder) {
    return QDir(programFolder).filePath(QStringLiteral("Logs"));
}

QString defaultSettingsPath(const QProcessEnvironment& environment) {
    const QString fromEnv = environment.value(QStringLiteral("VORN_CONFIG"));
    if (!fromEnv.isEmpty())
        return fromEnv;
    QString base = environment.value(QStringLiteral("XDG_CONFIG_HOME"));
    if (base.isEmpty())
        base = QDir(environment.value(QStringLiteral("HOME"), QDir::homePath()))
                   .filePath(QStringLiteral(".config"));
    return QDir(base).filePath(QStringLiteral("Ostrand Labs/VORN.conf"));
}
