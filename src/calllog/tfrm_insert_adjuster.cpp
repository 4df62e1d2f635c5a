#include "calllog/tfrm_insert_adjuster.h"

#include "ui_tfrm_insert_adjuster.h"

#include "calllog/date_time_pickers.h"
#include "core/formatting.h"
#include "widgets/edit_rules.h"
#include "widgets/window_frame.h"

namespace {
constexpr int CostLength = 20;
} // namespace

TfrmInsertAdjuster::TfrmInsertAdjuster(typCallLogInformation& gLogEntry,
                                       const QString& gLogDialogTitle,
                                       const RegionalSettings& regional, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TfrmInsertAdjuster>()), entry_(gLogEntry),
      regional_(regional) {
    ui->setupUi(this);
    setWindowTitle(gLogDialogTitle);
    pickers::set(ui->dtPickerStartDate, ui->dtPickerStartTime, entry_.Start, regional,
                 entry_.Finish);
    ui->txtCost->setText(costText(entry_.Cost_Inc));
    editrules::decimalNumber(ui->txtCost, CostLength);
    editrules::onLeave(ui->txtCost, [this](const QString& text) {
        return IsValidNumber(text, regional_) ? costText(ReadFloatSetting(text, regional_))
                                              : QStringLiteral("0");
    });
    connect(ui->cmdOK, &QPushButton::clicked, this, &TfrmInsertAdjuster::cmdOKClick);
    connect(ui->cmdCancel, &QPushButton::clicked, this, &TfrmInsertAdjuster::cmdCancelClick);
}

TfrmInsertAdjuster::~TfrmInsertAdjuster() = default;

QString TfrmInsertAdjuster::costText(double amount) const {
    // Without decimals the number pattern groups digits: "1,234" would read back as 1.234.
    return FormatNumberPlaces(0, amount, regional_).remove(regional_.thousandSeparator);
}

void TfrmInsertAdjuster::cmdOKClick() {
    editrules::applyEditRules(this);
    Hourglass wait;
    entry_.Start = pickers::value(ui->dtPickerStartDate, ui->dtPickerStartTime);
    entry_.Finish = entry_.Start;
    entry_.Cost_Inc = ReadFloatSetting(ui->txtCost->text(), regional_);
    entry_.Cost_Exc = entry_.Cost_Inc;
    entry_.Mode = 0;
    accept();
}

void TfrmInsertAdjuster::cmdCancelClick() {
    reject();
}

void TfrmInsertAdjuster::reject() {
    entry_.Mode = -1;
    QDialog::reject();
}
