#pragma once

#include "core/date_texts.h"

#include <QByteArray>
#include <QFile>
#include <QString>

class Clock;

// The trace of a check, Logs/notify.txt: "Log Created : " and the moment, then one line
// per event, "<date-time> - Item <row>: <text>". Lines are kept in memory and written
// about once a second, when the check stops and when it ends, so a thousand pages cost
// a few writes rather than tens of thousands. The file and its backup are the user's
// alone: they hold the addresses visited and the proxy's user name.
class WebNotifyTrace {
public:
    WebNotifyTrace(const Clock& clock, const datetime::DateTexts& texts);
    ~WebNotifyTrace();

    static QString path(const QString& programFolder);
    static QString backupPath(const QString& programFolder);

    // Starts a new file, the old one kept as notify.bak first when asked. False when the
    // file cannot be made (the check then runs without a trace).
    bool open(const QString& programFolder, bool keepBackup);
    bool isOpen() const { return file_.isOpen(); }

    void add(int row, const QString& text);
    // Writes what is kept when a second has passed since the last write.
    void flushIfDue();
    void flush();
    void close();

private:
    const Clock& clock_;
    const datetime::DateTexts& texts_;
    QFile file_;
    QByteArray pending_;
    qint64 lastFlush_ = 0;
};
