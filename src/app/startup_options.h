#pragma once

#include "app/command_channel.h"
#include "core/program_paths.h"

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <optional>

// What the command line asks for. Parsed before the GUI exists, so that --help and
// --version work without a display and bad options are reported on the terminal.
struct StartupOptions {
    QString dialUp;        // empty: the settings decide
    QString configFile;    // empty: the default settings file
    QString programFolder; // empty: $VORN_HOME, else $XDG_DATA_HOME/VORN
    bool showHelp = false;
    bool showVersion = false;
    // Asks the running copy to open a window or to end (--options, --tools, --log, --exit).
    std::optional<RemoteCommand> command;
};

struct ParsedCommandLine {
    std::optional<StartupOptions> options; // absent when the command line is wrong
    QString error;                         // why, for the terminal
};

// arguments[0] is the program name.
ParsedCommandLine parseCommandLine(const QStringList& arguments);
QString helpText();
QString versionText();

// The dial-up services the program knows; "auto" picks the first that answers.
const QStringList& knownDialUpServices();

// On a Wayland session the LED window could neither place itself nor stay on top, so the
// program asks for XWayland when X11 is there; a QT_QPA_PLATFORM the user set wins.
// Returns the platform to force, or empty to leave Qt's choice alone.
QString forcedPlatform(const QProcessEnvironment& environment);
