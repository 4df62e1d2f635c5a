#include "call_log_print.h"

namespace logprint {

namespace {

struct Column {
    QString title;
    int width;
};

QString line(const QList<Column>& columns, const QStringList& cells) {
    QString out;
    for (qsizetype i = 0; i < columns.size(); ++i)
        out += PadText(cells.value(i), columns[i].width);
    return out;
}

QString titleLine(const QList<Column>& columns) {
    QStringList titles;
    for (const Column& c : columns)
        titles << c.title;
    return line(columns, titles);
}

Report rowsReport(const QString& title, const QList<Column>& columns,
                  const QList<QStringList>& rows, bool skipSeparator) {
    Report report{title, 10, {titleLine(columns)}};
    for (const QStringList& row : rows) {
        if (skipSeparator && !row.isEmpty() && row.front().startsWith(u'*'))
            continue;
        report.lines << line(columns, row);
    }
    return report;
}

} // namespace

QString PadText(const QString& text, int width, bool alignLeft) {
    if (text.size() >= width)
        return text.left(width);
    const QString blanks(width - text.size(), u' ');
    return alignLeft ? text + blanks : blanks + text;
}

Report usageReport(const QList<QStringList>& statisticsRows) {
    static const QList<Column> columns = {{QStringLiteral("Usage"), 30},
                                          {QStringLiteral("Time"), 18},
                                          {QStringLiteral("Cost"), 14},
                                          {QStringLiteral("Data Transferred"), 18}};
    return rowsReport(QStringLiteral("vorn usage report"), columns, statisticsRows, true);
}

Report statisticsReport(const QList<QStringList>& headingRows) {
    static const QList<Column> columns = {{QStringLiteral("Heading"), 24},
                                          {QStringLiteral("Time"), 16},
                                          {QStringLiteral("Cost (exc)"), 14},
                                          {QStringLiteral("Cost (inc)"), 17},
                                          {QStringLiteral("Data Transferred"), 17}};
    return rowsReport(QStringLiteral("vorn statistics report"), columns, headingRows, false);
}

Report detailReport(const CallLogTable& table, const std::vector<quint32>& rows,
                    const CallLogTexts& texts) {
    static const QList<Column> columns = {
        {QStringLiteral("Connectoid Name"), 25}, {QStringLiteral("Start Date"), 13},
        {QStringLiteral("Start Time"), 13},      {QStringLiteral("Finish Time"), 13},
        {QStringLiteral("Length"), 15},          {QStringLiteral("Cost (exc.)"), 15},
        {QStringLiteral("Cost (inc.)"), 15},     {QStringLiteral("Data Transferred"), 20},
        {QStringLiteral("Connect Speed"), 15},   {QStringLiteral("Mode"), 8}};
    // The cells as the list shows them, the start split into its date and time.
    static const LogColumn shown[] = {
        LogColumn::Finish, LogColumn::Length,       LogColumn::CostExc, LogColumn::CostInc,
        LogColumn::Data,   LogColumn::ConnectSpeed, LogColumn::Mode};
    Report report{QStringLiteral("vorn detail report"), 6, {titleLine(columns)}};
    report.lines.reserve(static_cast<qsizetype>(rows.size()) + 1);
    QStringList cells;
    for (const quint32 index : rows) {
        const CallLogRow& row = table.rows()[index];
        cells.clear();
        cells << table.shownConnectoidName(row) << texts.dates().shortDate(row.Start)
              << texts.dates().longTime(row.Start);
        for (const LogColumn column : shown)
            cells << texts.cell(table, row, column);
        report.lines << line(columns, cells);
    }
    return report;
}

} // namespace logprint
