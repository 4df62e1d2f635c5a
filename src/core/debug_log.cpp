#include "debug_log.h"

#include "clock.h"
#include "datetime.h"
#include "regional.h"
#include "version.h"

#include <QDir>
#include <QSaveFile>
#include <QTextStream>

void DebugLog::add(const QString& text) {
    if (!enabled_)
        return;
    if (lines_.size() >= static_cast<size_t>(MaxLines))
        lines_.pop_front();
    lines_.push_back(QString::number(clock_.milliseconds()) + QStringLiteral(" -> ") + text);
}

bool DebugLog::writeFile(const QString& path, const QString& applicationTitle,
                         const RegionalSettings& regional, QString* error) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    QTextStream out(&file);
    out << applicationTitle << " v" << VornVersion << " Debug File -> "
        << datetime::dateTimeText(clock_.now(), regional) << "\n\n";
    int n = 1;
    for (const QString& line : lines_)
        out << n++ << " -> " << line << '\n';
    out.flush();
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

QString debugFilePath(const QString& programFolder) {
    return QDir(programFolder).filePath(QStringLiteral("vorn_debug.txt"));
}
