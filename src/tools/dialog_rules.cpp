#include "tools/dialog_rules.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

void prepareEntryDialog(QDialog* dialog, QPushButton* ok, QPushButton* cancel,
                        const QList<QLineEdit*>& required) {
    dialog->setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    const auto update = [ok, required] {
        bool filled = true;
        for (const QLineEdit* edit : required)
            filled = filled && !edit->text().trimmed().isEmpty();
        ok->setEnabled(filled);
    };
    for (QLineEdit* edit : required)
        QObject::connect(edit, &QLineEdit::textChanged, dialog, update);
    update();
}
