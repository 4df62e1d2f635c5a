#include "tools/tfrm_insert_pop3.h"

#include "ui_tfrm_insert_pop3.h"

#include "tools/dialog_rules.h"

TfrmInsertPOP3::TfrmInsertPOP3(const typPOP3Information* editing, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TfrmInsertPOP3>()) {
    ui->setupUi(this);
    setWindowTitle(editing ? PropertiesCaption : QStringLiteral("Insert POP3"));
    if (editing) {
        ui->txtServer->setText(editing->Server);
        ui->txtUserName->setText(editing->User_Name);
        ui->txtPassword->setText(editing->Password);
        ui->chkIncludeInStartupCheck->setChecked(editing->Include_In_Startup_Check);
    }
    prepareEntryDialog(this, ui->btnOK, ui->btnCancel,
                       {ui->txtServer, ui->txtUserName, ui->txtPassword});
}

TfrmInsertPOP3::~TfrmInsertPOP3() = default;

typPOP3Information TfrmInsertPOP3::record() const {
    return {ui->txtServer->text().trimmed(), ui->txtUserName->text(), ui->txtPassword->text(),
            ui->chkIncludeInStartupCheck->isChecked()};
}
