#include "monitor/program_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString locateProgramFile(const QString& programFolder, const QString& fileName) {
    const QString own = QDir(programFolder).filePath(fileName);
    if (QFileInfo(own).isFile())
        return own;
    if (QCoreApplication::instance()) {
        const QString installed = QDir(QCoreApplication::applicationDirPath())
                                      .filePath(QStringLiteral("../share/vorn/") + fileName);
        if (QFileInfo(installed).isFile())
            return QDir::cleanPath(installed);
    }
    const QString shared =
        QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                               QStringLiteral("vorn/") + fileName, QStandardPaths::LocateFile);
    return shared.isEmpty() ? own : shared;
}
