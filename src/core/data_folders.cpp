#include "core/data_folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QStringList dataFolders(const QString& programFolder) {
    QStringList folders{QDir::cleanPath(programFolder)};
    if (QCoreApplication::instance()) {
        folders << QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                   QStringLiteral("/../share/vorn"));
    }
    for (const QString& base :
         QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        folders << QDir(base).filePath(QStringLiteral("vorn"));
    folders.removeDuplicates();
    return folders;
}

QString locateProgramFile(const QString& programFolder, const QString& fileName) {
    for (const QString& folder : dataFolders(programFolder)) {
        const QString path = QDir(folder).filePath(fileName);
        if (QFileInfo(path).isFile())
            return path;
    }
    return QDir(programFolder).filePath(fileName);
}
