#pragma once

#include "core/regional.h"

#include <QLocale>
#include <QProcessEnvironment>
#include <QStringList>

class Clock;
class QTextStream;

// Exit codes of vorn-log.
namespace VornLogExit {
constexpr int Success = 0;
constexpr int Failure = 1; // a file is missing or cannot be read or written, or was refused
constexpr int Usage = 2;   // bad command line, unknown connectoid or tariff
} // namespace VornLogExit

// What vorn-log takes from outside besides its arguments.
struct VornLogEnvironment {
    QProcessEnvironment variables; // VORN_HOME, VORN_CONFIG, XDG_DATA_HOME, XDG_CONFIG_HOME, HOME
    const Clock& clock;            // the projections run up to now
    RegionalSettings regional;
    QLocale names = QLocale::system(); // month names
};

// Runs one vorn-log command line (arguments without the program name). Normal output goes
// to out, errors to err; returns the exit code. Never writes the call log or the settings.
int runVornLog(const QStringList& arguments, const VornLogEnvironment& environment,
               QTextStream& out, QTextStream& err);
