#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QTextStream;

// Prints rows as aligned columns, two blanks apart, the headers first. The rows come from
// a function called twice per row (once to measure, once to print), so that a long list
// is never held as texts.
struct TextTable {
    QStringList headers;
    QList<bool> rightAligned; // per column; missing columns are left-aligned

    void print(QTextStream& out, qsizetype rowCount,
               const std::function<QStringList(qsizetype)>& row) const;
    void print(QTextStream& out, const QList<QStringList>& rows) const;
};
