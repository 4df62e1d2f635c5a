#include "tools/tool_run.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

void followToolOutput(ToolOutput& output, QPlainTextEdit* box) {
    box->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    box->setLineWrapMode(QPlainTextEdit::NoWrap);
    box->setReadOnly(true);
    box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box->setUndoRedoEnabled(false);

    const auto showEnd = [box] {
        QScrollBar* bar = box->verticalScrollBar();
        bar->setValue(bar->maximum());
    };
    QObject::connect(&output, &ToolOutput::cleared, box, &QPlainTextEdit::clear);
    // Written through a cursor of its own, so that text the user has selected stays so.
    QObject::connect(&output, &ToolOutput::lineAdded, box,
                     [&output, box, showEnd](const QString& line) {
                         QTextCursor end(box->document());
                         end.movePosition(QTextCursor::End);
                         // An empty box already shows the first, empty line.
                         if (output.lines().size() > 1)
                             end.insertBlock();
                         end.insertText(line);
                         showEnd();
                     });
    QObject::connect(&output, &ToolOutput::lastLineExtended, box,
                     [box, showEnd](const QString& text) {
                         QTextCursor end(box->document());
                         end.movePosition(QTextCursor::End);
                         end.insertText(text);
                         showEnd();
                     });
}
