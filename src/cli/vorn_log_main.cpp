#include "cli/vorn_log_command.h"
#include "core/clock.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vorn-log"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    const SystemClock clock;
    const VornLogEnvironment environment{QProcessEnvironment::systemEnvironment(), clock,
                                         RegionalSettings::fromSystem()};
    const int code = runVornLog(QCoreApplication::arguments().mid(1), environment, out, err);
    out.flush();
    err.flush();
    return code;
}
