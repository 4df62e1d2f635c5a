#include "cli/vorn_sim_command.h"
#include "platform/simulated_dial_up.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vorn-sim"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int code =
        runVornSim(QCoreApplication::arguments().mid(1), defaultSimulatedStatePath(), out, err);
    out.flush();
    err.flush();
    return code;
}
