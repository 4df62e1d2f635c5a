#include "clock.h"

#include <QDateTime>
#include <QElapsedTimer>

TDateTime SystemClock::now() const {
    return datetime::fromQDateTime(QDateTime::currentDateTime());
}

qint64 SystemClock::milliseconds() const {
    QElapsedTimer timer;
    timer.start();
    return timer.msecsSinceReference();
}
