#include "tools/tool_run.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>

void prepareToolRun(QPushButton* run, QPushButton* cancel, QPlainTextEdit* output) {
    output->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    output->setLineWrapMode(QPlainTextEdit::NoWrap);
    output->setReadOnly(true);
    output->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    run->setEnabled(false);
    cancel->setEnabled(false);
}
