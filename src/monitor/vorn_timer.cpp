#include "vorn_timer.h"

VornTimer::VornTimer(const QString& name, int defaultInterval, QObject* parent)
    : QObject(parent), defaultInterval_(defaultInterval > 0 ? defaultInterval : 0) {
    setObjectName(name);
    connect(&timer_, &QTimer::timeout, this, [this] {
        // A one-shot switches itself off, like the enabled flag of a form timer would.
        if (timer_.isSingleShot())
            enabled_ = false;
        Q_EMIT timeout();
    });
}

void VornTimer::setInterval(int milliseconds) {
    const int wanted = milliseconds < 0 ? defaultInterval_ : milliseconds;
    // Setting the same value again does not restart the count, as with a form timer.
    if (wanted == interval_)
        return;
    interval_ = wanted;
    apply();
}

void VornTimer::setEnabled(bool on) {
    if (on == enabled_)
        return;
    enabled_ = on;
    apply();
}

void VornTimer::apply() {
    if (enabled_ && interval_ > 0) {
        // A change measures the new interval from now, as a form timer does.
        timer_.start(interval_);
    } else {
        timer_.stop();
    }
}
