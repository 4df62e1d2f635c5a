#include "config/charge_options_page.h"

#include "ui_charge_options_page.h"

ChargeOptionsPage::ChargeOptionsPage(QWidget* parent)
    : OptionsPage(QStringLiteral("options#charge-options"), parent),
      ui(std::make_unique<Ui::ChargeOptionsPage>()) {
    ui->setupUi(this);
    bind(ui->chkNoChargeBands, &typSettings::No_Charge_Bands);
}

ChargeOptionsPage::~ChargeOptionsPage() = default;
