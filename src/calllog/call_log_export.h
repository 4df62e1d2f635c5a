#pragma once

#include "call_log_statistics.h"
#include "call_log_table.h"
#include "call_log_texts.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class ConnectoidGrouping;

// The three export files: comma-separated, every field in double quotes (a quote inside
// a field is doubled), a header line first, lines ended by CR LF, UTF-8.
//
// The detail export reads the call log afresh and lists the live calls of the filter in
// file order, whatever the list's order. The projections and usage exports write the
// rows the window shows: headingRows() and statisticsRows() of the last refresh.

namespace logexport {

QByteArray detailBytes(const CallLogTable& table, const ConnectoidFilter& filter,
                       const CallLogTexts& texts);
QByteArray projectionsBytes(const QList<QStringList>& headingRows);
// The separator row (a caption beginning with "*") is left out.
QByteArray usageBytes(const QList<QStringList>& statisticsRows);

// One line of such a file: the fields quoted, CR LF at the end.
QByteArray csvLine(const QStringList& fields);

// The default file names the save dialog offers.
extern const QString DetailFileName;
extern const QString ProjectionsFileName;
extern const QString UsageFileName;

} // namespace logexport

struct ExportResult {
    enum Status {
        Written,
        NoCallLog, // detail export without a call log: nothing written, as the window does
        Refused,   // the target is the call log or one of the program's files beside it
        Failed,    // the target could not be written; an existing file is left as it was
    };
    Status status = Written;
    QString message; // for the error box, naming the file and the reason; empty when Written

    bool ok() const { return status == Written; }
};

// True when writing `target` would overwrite the call log, its copies ("call.bak",
// "call.cmp", "call.new"), the older logs, or the password and auto-disconnect files in
// the Logs folder, also when it reaches them through a link.
bool isProtectedLogFile(const QString& target, const QString& logsFolder);
// The error box's text when `target` is such a file (a printed report's PDF too), else empty.
QString protectedTargetRefusal(const QString& target, const QString& logsFolder);

// Writes the bytes through a temporary file renamed over the target, so a failure (a
// read-only folder, a full disk) leaves an existing file untouched.
ExportResult writeExportFile(const QString& target, const QByteArray& bytes,
                             const QString& logsFolder);

// The whole detail export: checks the target, reads the call log of the Logs folder and
// writes the filter's calls. Errors reading the log itself throw InOutError, as every
// other reader of the log does.
ExportResult exportDetail(const QString& logsFolder, const QString& target,
                          const ConnectoidFilter& filter, const ConnectoidGrouping& grouping,
                          const CallLogTexts& texts);
