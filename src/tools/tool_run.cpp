#include "tools/tool_run.h"

#include "tools/entry_list.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>

void prepareToolRun(EntryList& entries, QPushButton* run, QPushButton* cancel,
                    QPlainTextEdit* output) {
    output->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    output->setLineWrapMode(QPlainTextEdit::NoWrap);
    output->setReadOnly(true);
    output->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    run->setEnabled(false);
    cancel->setEnabled(false);
    QObject::connect(&entries, &EntryList::activated, run, [run] {
        if (run->isEnabled())
            run->click();
    });
}
