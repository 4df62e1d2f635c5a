#pragma once

#include <QString>
#include <QStringList>

// Where the files that ship with the program (wave files, help) are looked for, in order:
// the program folder, so a user can put their own in place; share/vorn beside the
// installed binary; then vorn/ in the system's data folders.
QStringList dataFolders(const QString& programFolder);

// The first of those folders that holds fileName (which may name a subfolder, as
// "help/index.html"). When none does, the path in the program folder, so that whatever
// reports the missing file names where it belongs.
QString locateProgramFile(const QString& programFolder, const QString& fileName);
