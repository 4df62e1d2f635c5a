#include "tools/tool_run.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>

namespace {

// What a tool writes reaches its box once per pass of the event loop: a long answer comes
// line by line, and a box that laid itself out again for every line would take seconds
// over a megabyte.
class OutputFeed final : public QObject {
public:
    OutputFeed(ToolOutput& output, QPlainTextEdit* box) : QObject(box), box_(box) {
        connect(&output, &ToolOutput::cleared, this, [this] {
            pending_.clear();
            box_->clear();
        });
        connect(&output, &ToolOutput::lineAdded, this, [this, &output](const QString& line) {
            // An empty box already shows the first, empty line.
            if (output.lines().size() > 1)
                add(QStringLiteral("\n"));
            add(line);
        });
        connect(&output, &ToolOutput::lastLineExtended, this, &OutputFeed::add);
    }

private:
    void add(const QString& text) {
        if (pending_.isEmpty())
            QMetaObject::invokeMethod(this, &OutputFeed::flush, Qt::QueuedConnection);
        pending_ += text;
    }
    void flush() {
        if (pending_.isEmpty())
            return;
        // Through a cursor of its own, so that what the user has selected stays selected.
        QTextCursor end(box_->document());
        end.movePosition(QTextCursor::End);
        end.insertText(std::exchange(pending_, {}));
        QScrollBar* bar = box_->verticalScrollBar();
        bar->setValue(bar->maximum());
    }

    QPlainTextEdit* box_;
    QString pending_;
};

} // namespace

void followToolOutput(ToolOutput& output, QPlainTextEdit* box) {
    box->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    box->setLineWrapMode(QPlainTextEdit::NoWrap);
    box->setReadOnly(true);
    box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box->setUndoRedoEnabled(false);
    new OutputFeed(output, box);
}
