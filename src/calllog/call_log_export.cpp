#include "call_log_export.h"

#include "call_log_file.h"
#include "call_log_record.h"
#include "connectoid_list.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <sys/stat.h>

namespace logexport {

const QString DetailFileName = QStringLiteral("vorn export detail");
const QString ProjectionsFileName = QStringLiteral("vorn export projections");
const QString UsageFileName = QStringLiteral("vorn export usage");

namespace {

void appendField(QString& line, const QString& text) {
    if (!line.isEmpty())
        line += u',';
    line += u'"';
    if (text.contains(u'"'))
        line += QString(text).replace(u'"', QStringLiteral("\"\""));
    else
        line += text;
    line += u'"';
}

QString detailModeText(qint32 mode) {
    return mode >= ModeAuto && mode <= ModeDisconnected ? callLogModeText(mode)
                                                        : QStringLiteral("Error");
}

QByteArray rowsBytes(const QStringList& header, const QList<QStringList>& rows, bool skipStars) {
    QByteArray out = csvLine(header);
    for (const QStringList& row : rows) {
        if (skipStars && !row.isEmpty() && row.front().startsWith(u'*'))
            continue;
        out += csvLine(row);
    }
    return out;
}

} // namespace

QByteArray csvLine(const QStringList& fields) {
    QString line;
    for (const QString& field : fields)
        appendField(line, field);
    return line.toUtf8() + "\r\n";
}

QByteArray detailBytes(const CallLogTable& table, const ConnectoidFilter& filter,
                       const CallLogTexts& texts) {
    const CallLogSelection selection = selectCalls(table, filter, 0);
    const datetime::DateTexts& dates = texts.dates();
    const RegionalSettings& regional = texts.regional();
    QByteArray out = csvLine({QStringLiteral("Connectoid Name"), QStringLiteral("Start Date"),
                              QStringLiteral("Start Time"), QStringLiteral("Finish Date"),
                              QStringLiteral("Finish Time"), QStringLiteral("Length"),
                              QStringLiteral("Cost (exc.)"), QStringLiteral("Cost (inc.)"),
                              QStringLiteral("Data Transferred"), QStringLiteral("Connect Speed"),
                              QStringLiteral("Mode")});
    out.reserve(static_cast<qsizetype>(selection.rows.size()) * 140 + out.size());
    QString line;
    QString date;
    QString time;
    const auto appendDateAndTime = [&](TDateTime value) {
        date.clear();
        time.clear();
        datetime::WallClock at;
        if (datetime::split(value, &at)) {
            dates.appendShortDate(date, at);
            dates.appendLongTime(time, at);
        }
        appendField(line, date);
        appendField(line, time);
    };
    for (const quint32 index : selection.rows) {
        const CallLogRow& row = table.rows()[index];
        line.clear();
        appendField(line, table.shownConnectoidName(row));
        appendDateAndTime(row.Start);
        appendDateAndTime(row.Finish);
        appendField(line, texts.duration(row.Length));
        appendField(line, datetime::floatToText(row.Cost_Exc, regional));
        appendField(line, datetime::floatToText(row.Cost_Inc, regional));
        appendField(line, QString::number(row.Data));
        appendField(line, row.Connect_Speed == 0 ? QStringLiteral("Unknown")
                                                 : QString::number(row.Connect_Speed));
        appendField(line, detailModeText(row.Mode));
        out += line.toUtf8();
        out += "\r\n";
    }
    return out;
}

QByteArray projectionsBytes(const QList<QStringList>& headingRows) {
    return rowsBytes({QStringLiteral("Projection"), QStringLiteral("Time"),
                      QStringLiteral("Cost (exc)"), QStringLiteral("Cost (inc)"),
                      QStringLiteral("Data Transferred")},
                     headingRows, false);
}

QByteArray usageBytes(const QList<QStringList>& statisticsRows) {
    return rowsBytes({QStringLiteral("Usage"), QStringLiteral("Time"), QStringLiteral("Cost"),
                      QStringLiteral("Data Transferred")},
                     statisticsRows, true);
}

} // namespace logexport

namespace {

// The files of the Logs folder that an export must never replace.
const QStringList& protectedFileNames() {
    static const QStringList names = {
        QStringLiteral("log070.bin"),   QStringLiteral("call.bak"),     QStringLiteral("call.cmp"),
        QStringLiteral("call.new"),     QStringLiteral("call_log.bin"), QStringLiteral("log.bin"),
        QStringLiteral("password.bin"), QStringLiteral("password.bak"), QStringLiteral("awlog.bin"),
        QStringLiteral("awlog.bak")};
    return names;
}

// Where writing `path` lands: symbolic links followed (dangling ones too), the folder
// made canonical.
QString landingPath(const QString& path) {
    QString current = QFileInfo(path).absoluteFilePath();
    for (int hops = 0; hops < 40; ++hops) {
        const QFileInfo info(current);
        if (!info.isSymLink())
            break;
        current = info.symLinkTarget();
    }
    const QFileInfo info(current);
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? info.absoluteFilePath() : QDir(folder).filePath(info.fileName());
}

bool sameFile(const QString& a, const QString& b) {
    struct stat sa, sb;
    return ::stat(QFile::encodeName(a).constData(), &sa) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

ExportResult failure(ExportResult::Status status, const QString& message) {
    return {status, message};
}

} // namespace

bool isProtectedLogFile(const QString& target, const QString& logsFolder) {
    const QString landing = landingPath(target);
    const QDir logs(logsFolder);
    for (const QString& name : protectedFileNames()) {
        const QString file = logs.filePath(name);
        if (landing == landingPath(file) || sameFile(target, file))
            return true;
    }
    return false;
}

QString protectedTargetRefusal(const QString& target, const QString& logsFolder) {
    if (!isProtectedLogFile(target, logsFolder))
        return {};
    return QStringLiteral("\"%1\" is the call log or one of VORN's own files in its Logs folder. "
                          "Please choose another file.")
        .arg(QDir::toNativeSeparators(target));
}

ExportResult writeExportFile(const QString& target, const QByteArray& bytes,
                             const QString& logsFolder) {
    if (const QString refusal = protectedTargetRefusal(target, logsFolder); !refusal.isEmpty())
        return failure(ExportResult::Refused, refusal);
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return failure(ExportResult::Failed,
                       QStringLiteral("Could not write \"%1\": %2")
                           .arg(QDir::toNativeSeparators(target), file.errorString()));
    return {};
}

ExportResult exportDetail(const QString& logsFolder, const QString& target,
                          const ConnectoidFilter& filter, const ConnectoidGrouping& grouping,
                          const CallLogTexts& texts) {
    const QString logPath = calllog::logFilePath(logsFolder);
    if (const QString refusal = protectedTargetRefusal(target, logsFolder); !refusal.isEmpty())
        return failure(ExportResult::Refused, refusal);
    if (!calllog::logExists(logPath))
        return failure(ExportResult::NoCallLog, QStringLiteral("There is no call log at \"%1\".")
                                                    .arg(QDir::toNativeSeparators(logPath)));
    const CallLogTable table = CallLogTable::load(logPath, grouping);
    return writeExportFile(target, logexport::detailBytes(table, filter, texts), logsFolder);
}
