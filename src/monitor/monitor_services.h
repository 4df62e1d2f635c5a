#pragma once

#include <QPoint>
#include <QRect>
#include <QString>

#include <functional>

class ByteCounters;
class Help;
class ProgramWindows;
class Clock;
class DebugLog;
class DialUpService;
class Power;
class Prompts;
class SettingsStore;
class Shell;
class Sound;
struct ConnectoidNameTable;
struct typLists;
struct RegionalSettings;
struct typSettings;

// Everything the main window needs from outside, by reference. The program builds the real
// ones in main(); tests hand in doubles (memory store, simulated dial-up, settable clock,
// scripted prompts). Nothing here is owned by the window.
struct MonitorServices {
    SettingsStore& store;
    DialUpService& dialUp;
    ByteCounters& byteCounters;
    const Clock& clock;
    Prompts& prompts;
    const RegionalSettings& regional;
    DebugLog& debugLog;
    typSettings& settings;
    typLists& lists;
    ConnectoidNameTable& connectoidNames;
    // Holds Logs/ (call log, password file), the debug file and the wave files.
    QString programFolder;
    // Sets the process priority that LoadSettings asks for (0 idle, 1 normal, 2 high).
    std::function<void(int)> applyPriority;
    // Ends the program at once after a fatal error; never returns in the real program.
    std::function<void(int exitCode)> terminate;
    // Where the mouse is and the desktop's work area, for the intelligent display; when
    // empty, QCursor::pos() and the available geometry of the window's screen.
    std::function<QPoint()> cursorPosition = {};
    std::function<QRect()> workArea = {};
    // Wave files and tones; none is silence.
    Sound* sound = nullptr;
    // Starts and ends the applications of a call and opens documents; none starts nothing.
    Shell* shell = nullptr;
    // Shut-down and restart after a call; none asks for nothing.
    Power* power = nullptr;
    // The options, tools and call log windows; none opens nothing.
    ProgramWindows* windows = nullptr;
    // The help pages; none opens nothing.
    Help* help = nullptr;
};
