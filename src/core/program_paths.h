#pragma once

#include <QProcessEnvironment>
#include <QString>

// Where the program's files are, the same for vorn and the tools beside it.

// The program folder: the option, else $VORN_HOME, else $XDG_DATA_HOME/VORN
// (~/.local/share/VORN). Always absolute.
QString programFolder(const QString& option, const QProcessEnvironment& environment);

// The Logs folder below the program folder: the call log, its companions and the password
// file.
QString logsFolderOf(const QString& programFolder);

// The settings file: $VORN_CONFIG, else $XDG_CONFIG_HOME/Ostrand Labs/VORN.conf.
QString defaultSettingsPath(const QProcessEnvironment& environment);
