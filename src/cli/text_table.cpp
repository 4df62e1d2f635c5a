#include "text_table.h"

#include <QTextStream>

void TextTable::print(QTextStream& out, qsizetype rowCount,
                      const std::function<QStringList(qsizetype)>& row) const {
    QList<qsizetype> widths(headers.size(), 0);
    const auto measure = [&widths](const QStringList& cells) {
        for (qsizetype c = 0; c < cells.size() && c < widths.size(); ++c)
            widths[c] = qMax(widths[c], cells[c].size());
    };
    measure(headers);
    for (qsizetype r = 0; r < rowCount; ++r)
        measure(row(r));

    QString line;
    const auto write = [&](const QStringList& cells) {
        line.clear();
        for (qsizetype c = 0; c < widths.size(); ++c) {
            const QString cell = cells.value(c);
            const bool last = c + 1 == widths.size();
            if (c > 0)
                line += QLatin1String("  ");
            if (rightAligned.value(c))
                line += cell.rightJustified(widths[c]);
            else
                line += last ? cell : cell.leftJustified(widths[c]);
        }
        out << line << '\n';
    };
    write(headers);
    for (qsizetype r = 0; r < rowCount; ++r)
        write(row(r));
}

void TextTable::print(QTextStream& out, const QList<QStringList>& rows) const {
    print(out, rows.size(), [&rows](qsizetype r) { return rows[r]; });
}
