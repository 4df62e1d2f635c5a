#pragma once

// What every benchmark program of windows and widgets does around its QApplication.

#include <QByteArray>
#include <QtGlobal>
#include <benchmark/benchmark.h>

// Offscreen unless the caller chose a platform (to watch the windows, say).
inline void preferOffscreenPlatform() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

inline int runBenchmarks(int& argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
