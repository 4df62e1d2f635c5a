#include "config/icon_hint_page.h"

#include "ui_icon_hint_page.h"

IconHintPage::IconHintPage(QWidget* parent)
    : OptionsPage(QStringLiteral("options#icon-hint"), parent),
      ui(std::make_unique<Ui::IconHintPage>()) {
    ui->setupUi(this);
    bind(ui->chkIconHintCost, &typSettings::Icon_Hint_Cost);
    bind(ui->chkIconHintDuration, &typSettings::Icon_Hint_Duration);
    bind(ui->chkIconHintCostPerMinute, &typSettings::Icon_Hint_CostPerMinute);
    bind(ui->chkIconHintDTR, &typSettings::Icon_Hint_DTR);
    bind(ui->chkIconHintData, &typSettings::Icon_Hint_Data);
    bind(ui->chkIconHintIPAddress, &typSettings::Icon_Hint_IPAddress);
    bind(ui->chkIconHintConnectSpeed, &typSettings::Icon_Hint_ConnectSpeed);
}

IconHintPage::~IconHintPage() = default;

void IconHintPage::applyCapabilities(const PlatformCapabilities& capabilities) {
    if (!capabilities.connectSpeedAvailable)
        switchOff(ui->chkIconHintConnectSpeed);
    if (!capabilities.dataRateAvailable) {
        switchOff(ui->chkIconHintData);
        switchOff(ui->chkIconHintDTR);
    }
}
