#include "tools/tfrm_password_detail.h"

#include "ui_tfrm_password_detail.h"

TfrmPasswordDetail::TfrmPasswordDetail(const typPasswordInformation& entry, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TfrmPasswordDetail>()) {
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ui->txtCompany->setText(entry.Company);
    ui->txtUserName->setText(entry.UserName);
    ui->txtPassword->setText(entry.Password);
    ui->txtComments->setText(entry.Comments);
    connect(ui->btnOK, &QPushButton::clicked, this, &QDialog::accept);
}

TfrmPasswordDetail::~TfrmPasswordDetail() = default;
