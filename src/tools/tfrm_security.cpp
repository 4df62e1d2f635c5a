#include "tools/tfrm_security.h"

#include "ui_tfrm_security.h"

TfrmSecurity::TfrmSecurity(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TfrmSecurity>()) {
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    connect(ui->btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TfrmSecurity::~TfrmSecurity() = default;

QString TfrmSecurity::enteredPassword() const {
    return result() == QDialog::Accepted ? ui->txtPassword->text() : QString();
}
