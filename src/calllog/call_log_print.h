#pragma once

#include "call_log_table.h"
#include "call_log_texts.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

// The three printed reports as lines of fixed-pitch text: every column padded or cut to its
// width, the columns joined without separators, the column titles first.
namespace logprint {

// Cut to `width` characters when longer, else padded with blanks after the text (left
// aligned) or before it.
QString PadText(const QString& text, int width, bool alignLeft = true);

struct Report {
    QString title; // the print job's name
    int pointSize = 10;
    QStringList lines;
};

// The usage rows of the statistics list, without the separator row.
Report usageReport(const QList<QStringList>& statisticsRows);
// Every row of the headings list: the projections, then the months.
Report statisticsReport(const QList<QStringList>& headingRows);
// The listed rows in the order given (the list's order), from the rows' own values.
Report detailReport(const CallLogTable& table, const std::vector<quint32>& rows,
                    const CallLogTexts& texts);

} // namespace logprint
