#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

// Exit codes of vorn-sim.
namespace VornSimExit {
constexpr int Success = 0;
constexpr int Failure = 1; // the state file could not be read or written, or the call/entry is
                           // not there
constexpr int Usage = 2;   // bad command line
} // namespace VornSimExit

// Runs one vorn-sim command line (arguments without the program name) against the state file
// at defaultStatePath unless --state-file names another. Normal output goes to out, errors to
// err; returns the exit code.
int runVornSim(const QStringList& arguments, const QString& defaultStatePath, QTextStream& out,
               QTextStream& err);
