#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

// What a tool writes to its output box, kept as the lines the box shows and announced
// change by change, so that a box follows it without knowing the tool:
//
//   cleared()                 -> box->clear()
//   lineAdded(text)           -> box->appendPlainText(text), then scroll to the end
//   lastLineExtended(text)    -> move the cursor to the end and insert text (no break)
//
// lines() is the whole output at any moment (the box's content after those calls).
class ToolOutput : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    const QStringList& lines() const { return lines_; }

    void clear();
    // A new line holding `line`.
    void addLine(const QString& line);
    // Text that carries its own line breaks: CR LF, a CR alone and an LF alone each end
    // a line, also when the CR ends one piece and the LF begins the next. Text after the
    // last break stays on the last line, and the next piece continues it.
    void append(QStringView text);

Q_SIGNALS:
    void cleared();
    void lineAdded(const QString& line);
    void lastLineExtended(const QString& text);

private:
    void extendLastLine(QStringView text);

    QStringList lines_;
    bool afterCr_ = false; // the last piece ended in a CR: an LF now is that same break
};
