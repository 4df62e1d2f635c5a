#include "config/tfrm_insert_costing_further_detail.h"

#include "ui_tfrm_insert_costing_further_detail.h"

#include "config/editor_connectoids.h"
#include "tariff/further_details.h"
#include "widgets/edit_rules.h"

namespace {
constexpr qint64 LongestCallLength = 32000; // seconds
}

const QStringList TfrmInsertCostingFurtherDetail::Options = {
    FurtherDetailOption::MinimumCharge,
    FurtherDetailOption::ConnectionCharge,
    FurtherDetailOption::MaximumCharge,
    FurtherDetailOption::Discount,
    FurtherDetailOption::ApplyDiscountMinimumCharge,
    FurtherDetailOption::ApplyDiscountMaximumCharge,
    FurtherDetailOption::ApplyDiscountConnectionCharge,
    FurtherDetailOption::HandshakingAdjustment};

TfrmInsertCostingFurtherDetail::TfrmInsertCostingFurtherDetail(
    typCostingFurtherDetailInformation& working, const QString& caption,
    const ConnectoidNameTable& names, const RegionalSettings& regional, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TfrmInsertCostingFurtherDetail>()),
      working_(working) {
    ui->setupUi(this);
    setWindowTitle(caption);
    for (QLineEdit* length : {ui->txtLengthStart, ui->txtLengthFinish}) {
        editrules::digitsOnly(length, 5);
        editrules::clampWhole(length, 0, LongestCallLength, QStringLiteral("0"));
    }
    // An emptied number is 0, not a free slot in the middle of the list.
    editrules::decimalNumber(ui->txtNumber, 10);
    editrules::zeroWhenInvalid(ui->txtNumber, regional);

    fillConnectoidList(ui->cboConnectoidName, names, true, working.Connectoid_Name);
    ui->cboOption->addItems(Options);
    ui->cboOption->setCurrentIndex(qMax(0, static_cast<int>(Options.indexOf(working.Option))));
    ui->txtLengthStart->setText(QString::number(working.Length_Start));
    ui->txtLengthFinish->setText(QString::number(working.Length_Finish));
    ui->txtNumber->setText(QStringLiteral("0"));
    if (working.Value == FurtherDetailOption::Yes)
        ui->chkYesNo->setChecked(true);
    else if (working.Value != FurtherDetailOption::No && !working.Value.isEmpty())
        ui->txtNumber->setText(working.Value);

    connect(ui->cboOption, &QComboBox::currentIndexChanged, this,
            &TfrmInsertCostingFurtherDetail::applyOptionRule);
    connect(ui->btnOK, &QPushButton::clicked, this, &TfrmInsertCostingFurtherDetail::btnOKClick);
    connect(ui->btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    applyOptionRule();
}

TfrmInsertCostingFurtherDetail::~TfrmInsertCostingFurtherDetail() = default;

bool TfrmInsertCostingFurtherDetail::isYesNoOption() const {
    const QString option = ui->cboOption->currentText();
    return option == FurtherDetailOption::ApplyDiscountMinimumCharge ||
           option == FurtherDetailOption::ApplyDiscountMaximumCharge ||
           option == FurtherDetailOption::ApplyDiscountConnectionCharge;
}

void TfrmInsertCostingFurtherDetail::applyOptionRule() {
    const bool yesNo = isYesNoOption();
    ui->txtNumber->setEnabled(!yesNo);
    ui->lblNumber->setEnabled(!yesNo);
    ui->chkYesNo->setEnabled(yesNo);
}

void TfrmInsertCostingFurtherDetail::btnOKClick() {
    editrules::applyEditRules(this);
    working_.Connectoid_Name = ui->cboConnectoidName->currentText();
    working_.Option = ui->cboOption->currentText();
    working_.Length_Start = ui->txtLengthStart->text().toInt();
    working_.Length_Finish = ui->txtLengthFinish->text().toInt();
    if (isYesNoOption())
        working_.Value =
            ui->chkYesNo->isChecked() ? FurtherDetailOption::Yes : FurtherDetailOption::No;
    else
        working_.Value = ui->txtNumber->text();
    accept();
}
