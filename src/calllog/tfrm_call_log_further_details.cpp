#include "calllog/tfrm_call_log_further_details.h"

#include "ui_tfrm_call_log_further_details.h"

#include "calllog/call_log_table.h"
#include "calllog/call_log_texts.h"
#include "core/formatting.h"

TfrmCallLogFurtherDetails::TfrmCallLogFurtherDetails(const CallLogTable& table,
                                                     const CallLogRow& row,
                                                     const CallLogTexts& texts, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TfrmCallLogFurtherDetails>()) {
    ui->setupUi(this);
    // The texts the detail list shows for the row.
    const struct {
        QLineEdit* field;
        LogColumn column;
    } fields[] = {{ui->txtUser, LogColumn::UserName},
                  {ui->txtConnectoidName, LogColumn::ConnectoidName},
                  {ui->txtConnectSpeed, LogColumn::ConnectSpeed},
                  {ui->txtStart, LogColumn::Start},
                  {ui->txtFinish, LogColumn::FinishDate},
                  {ui->txtCostExc, LogColumn::CostExc},
                  {ui->txtCostInc, LogColumn::CostInc},
                  {ui->txtDT, LogColumn::Data},
                  {ui->txtLength, LogColumn::Length},
                  {ui->txtMode, LogColumn::Mode}};
    for (const auto& f : fields) {
        f.field->setText(texts.cell(table, row, f.column));
        f.field->setCursorPosition(0);
    }
    // A call that cost nothing had its whole price taken off.
    const double costExc = row.Cost_Exc == 0 ? 1 : row.Cost_Exc;
    const double discount = 100 - row.Cost_Inc / costExc * 100;
    ui->txtDiscount->setText(FormatNumberPlaces(0, discount, texts.regional()));
    connect(ui->btnOK, &QPushButton::clicked, this, &TfrmCallLogFurtherDetails::btnOKClick);
}

TfrmCallLogFurtherDetails::~TfrmCallLogFurtherDetails() = default;

void TfrmCallLogFurtherDetails::btnOKClick() {
    accept();
}
