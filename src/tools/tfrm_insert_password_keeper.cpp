#include "tools/tfrm_insert_password_keeper.h"

#include "ui_tfrm_insert_password_keeper.h"

#include "core/code_page.h"
#include "core/prompts.h"
#include "tools/dialog_rules.h"

#include <memory>

TfrmInsertPasswordKeeper::TfrmInsertPasswordKeeper(const typPasswordInformation* editing,
                                                   Prompts& prompts, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TfrmInsertPasswordKeeper>()), prompts_(prompts) {
    ui->setupUi(this);
    setWindowTitle(editing ? PropertiesCaption : QStringLiteral("Insert Password"));
    if (editing) {
        ui->txtCompany->setText(editing->Company);
        ui->txtUserName->setText(editing->UserName);
        ui->txtPassword->setText(editing->Password);
        ui->txtComments->setText(editing->Comments);
    }
    prepareEntryDialog(this, ui->btnOK, ui->btnCancel, {});
    for (QLineEdit* edit : {ui->txtCompany, ui->txtUserName, ui->txtPassword, ui->txtComments})
        refuseUnstorable(edit);
}

TfrmInsertPasswordKeeper::~TfrmInsertPasswordKeeper() = default;

typPasswordInformation TfrmInsertPasswordKeeper::record() const {
    // The boxes' maximum lengths are the fields' sizes.
    return {ui->txtCompany->text(), ui->txtUserName->text(), ui->txtPassword->text(),
            ui->txtComments->text()};
}

void TfrmInsertPasswordKeeper::refuseUnstorable(QLineEdit* edit) {
    auto kept = std::make_shared<QString>(edit->text());
    connect(edit, &QLineEdit::textEdited, this, [this, edit, kept](const QString& text) {
        const char32_t refused = codepage::firstUnencodable(text);
        if (refused == 0) {
            *kept = text;
            return;
        }
        const int cursor = edit->cursorPosition() - int(text.size() - kept->size());
        edit->setText(*kept);
        edit->setCursorPosition(qBound(0, cursor, int(kept->size())));
        prompts_.warning(
            QStringLiteral("The character \"%1\" (U+%2) cannot be stored in the "
                           "password database. Please use another character.")
                .arg(QString::fromUcs4(&refused, 1),
                     QString::number(uint(refused), 16).toUpper().rightJustified(4, u'0')));
    });
}
