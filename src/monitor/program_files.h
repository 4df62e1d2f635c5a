#pragma once

#include <QString>

// Where a file that ships with the program (a wave file, the help file) is found: the
// program folder first, so a user can put their own in place, then share/vorn/ beside the
// installed binary, then vorn/ in the system's data folders. When it is nowhere, the path
// in the program folder, so whatever reports the missing file names where it belongs.
QString locateProgramFile(const QString& programFolder, const QString& fileName);
