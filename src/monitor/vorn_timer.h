#pragma once

#include <QObject>
#include <QTimer>

// A timer with the program's rules: an interval of 0 means "never fires" (a QTimer at 0
// would spin on every pass of the event loop), and a negative interval falls back to the
// timer's default instead of being handed to Qt. Being enabled and having an interval
// are independent, as the program switches both separately.
class VornTimer : public QObject {
    Q_OBJECT
public:
    VornTimer(const QString& name, int defaultInterval, QObject* parent = nullptr);

    int interval() const { return interval_; }
    void setInterval(int milliseconds);
    // Any negative value means "not given": the default.
    void resetInterval() { setInterval(-1); }

    bool enabled() const { return enabled_; }
    void setEnabled(bool on);

    bool singleShot() const { return timer_.isSingleShot(); }
    void setSingleShot(bool on) { timer_.setSingleShot(on); }

    // True when the timer will fire: enabled and with a positive interval.
    bool isRunning() const { return timer_.isActive(); }

Q_SIGNALS:
    void timeout();

private:
    void apply();

    QTimer timer_;
    int defaultInterval_;
    int interval_ = 0;
    bool enabled_ = false;
};
