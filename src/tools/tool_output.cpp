#include "tools/tool_output.h"

#include <QPointer>

void ToolOutput::clear() {
    lines_.clear();
    afterCr_ = false;
    Q_EMIT cleared();
}

void ToolOutput::addLine(const QString& line) {
    lines_.append(line);
    Q_EMIT lineAdded(line);
}

void ToolOutput::extendLastLine(QStringView text) {
    if (text.isEmpty())
        return;
    lines_.last() += text;
    Q_EMIT lastLineExtended(text.toString());
}

void ToolOutput::append(QStringView text) {
    if (text.isEmpty())
        return;
    QPointer<ToolOutput> self(this);
    if (lines_.isEmpty()) {
        addLine(QString());
        if (!self)
            return;
    }
    qsizetype i = afterCr_ && text.front() == u'\n' ? 1 : 0;
    afterCr_ = false;
    qsizetype pieceStart = i;
    while (i < text.size()) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n') {
            ++i;
            continue;
        }
        extendLastLine(text.sliced(pieceStart, i - pieceStart));
        if (!self)
            return;
        addLine(QString());
        if (!self)
            return;
        if (c == u'\r') {
            if (i + 1 == text.size())
                afterCr_ = true;
            else if (text[i + 1] == u'\n')
                ++i;
        }
        pieceStart = ++i;
    }
    extendLastLine(text.sliced(pieceStart));
}
