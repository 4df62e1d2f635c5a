#include "platform/dialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString Dialogs::desktopFolder() {
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    // Qt answers the home folder's "Desktop" even where no such folder was ever made.
    if (!desktop.isEmpty() && QFileInfo(desktop).isDir())
        return desktop;
    return QDir::homePath();
}
