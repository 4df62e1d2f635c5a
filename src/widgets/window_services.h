#pragma once

#include "core/settings.h"

#include <QString>

#include <functional>

class Autostart;
class Clock;
class DebugLog;
class Dialogs;
class DialUpService;
class Help;
class Prompts;
class ReportPrinter;
class SettingsStore;
class Shell;
struct ConnectoidNameTable;
struct RegionalSettings;
struct typLists;

// Everything the options, tools and call log windows need from outside, by reference. The
// program hands in the real services; tests hand in doubles. The settings record and the
// list tables are the live ones: a window that edits them takes a working copy.
struct WindowServices {
    SettingsStore& store;
    Prompts& prompts;
    Dialogs& dialogs;
    ReportPrinter& printer;
    Help& help;
    Shell& shell;
    const Clock& clock;
    const RegionalSettings& regional;
    DebugLog& debugLog;
    typSettings& settings;
    typLists& lists;
    ConnectoidNameTable& connectoidNames;
    DialUpService& dialUp;
    // Holds Logs/ (call log, password file, web notify files) and the debug file.
    QString programFolder;
    PlatformCapabilities capabilities;
    // Whether a call is up now (the main window's connected flag).
    std::function<bool()> callInProgress = [] { return false; };
    // Starting the program at log-in; none leaves the choice out.
    Autostart* autostart = nullptr;
    // Shows the LED window, topmost and without taking the focus.
    std::function<void()> showDigitalDisplay = [] {};
    // Once the running call's length rule has fired, the live Auto_Disconnect is 0 and the
    // main window keeps the user's limit to put back when the call ends: this is that kept
    // limit then, and null at any other time.
    std::function<qint32*()> keptCallLengthLimit = [] { return nullptr; };
};
