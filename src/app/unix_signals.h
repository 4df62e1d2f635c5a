#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGINT and SIGTERM into a clean quit of the event loop (a self-pipe: the
// signal handler itself may only write a byte).
class UnixSignalQuitter : public QObject {
    Q_OBJECT
public:
    explicit UnixSignalQuitter(QObject* parent = nullptr);
    ~UnixSignalQuitter() override;

private:
    QSocketNotifier* notifier_ = nullptr;
};
