#include "tools/option_bindings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

void OptionBindings::index(QComboBox* box, qint32& setting) {
    QObject::connect(box, &QComboBox::currentIndexChanged, box, [&setting](int i) {
        if (i >= 0)
            setting = i;
    });
    loaders_.push_back(
        [box, &setting] { box->setCurrentIndex(qBound(0, int(setting), box->count() - 1)); });
}

void OptionBindings::check(QCheckBox* box, bool& setting) {
    QObject::connect(box, &QCheckBox::toggled, box, [&setting](bool on) { setting = on; });
    loaders_.push_back([box, &setting] { box->setChecked(setting); });
}

void OptionBindings::text(QLineEdit* edit, QString& setting) {
    QObject::connect(edit, &QLineEdit::textChanged, edit,
                     [&setting](const QString& text) { setting = text; });
    loaders_.push_back([edit, &setting] { edit->setText(setting); });
}

void OptionBindings::number(QLineEdit* edit, qint32& setting) {
    QObject::connect(edit, &QLineEdit::textChanged, edit, [&setting](const QString& text) {
        bool ok = false;
        const qint32 value = text.toInt(&ok);
        if (ok)
            setting = value;
    });
    loaders_.push_back([edit, &setting] { edit->setText(QString::number(setting)); });
}

void OptionBindings::load() const {
    for (const auto& loader : loaders_)
        loader();
}
