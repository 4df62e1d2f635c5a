#include "config/general_page.h"

#include "ui_general_page.h"

namespace {
constexpr int LongestExecutionDelay = 30; // seconds
}

GeneralPage::GeneralPage(QWidget* parent)
    : OptionsPage(QStringLiteral("options#general"), parent),
      ui(std::make_unique<Ui::GeneralPage>()) {
    ui->setupUi(this);
    for (int seconds = 1; seconds <= LongestExecutionDelay; ++seconds)
        ui->cboApplicationsDelay->addItem(QString::number(seconds));

    bind(ui->cboDataDTR, &typSettings::Data_DTR);
    bind(ui->cboDataLog, &typSettings::Data_Log);
    bind(ui->radioDefaultMenu, &typSettings::Default_Menu);
    bind(ui->chkBackupLog, &typSettings::Backup_Log);
    bind(ui->chkAlternativeDetector, &typSettings::Alternative_Detector);
    bind(ui->chkEnableTransmitReceive, &typSettings::Enable_TransmitReceive);
    bind(ui->chkCompactCallLog, &typSettings::Compact_Call_Log);
    bind(ui->chkAdjustDisplayAfterResolutionChange,
         &typSettings::Adjust_Display_After_Resolution_Change);
    bind(ui->chkAdjustIntelligenceAfterResolutionChange,
         &typSettings::Adjust_Intelligence_After_Resolution_Change);
    bind(ui->chkDisableChecks, &typSettings::Disable_Checks);
    bind(ui->chkExitVORN, &typSettings::Exit_VORN);
    bind(ui->chkDebugLogging, &typSettings::Debug_Logging);
    bind(ui->cboApplicationsDelay, &typSettings::Applications_Delay);
    bind(ui->cboPriorityOfApplication, &typSettings::Priority_Of_Application);
    bind(ui->chkDialUpAllProfiles, &typSettings::Dial_Up_All_Profiles);
}

GeneralPage::~GeneralPage() = default;

void GeneralPage::loadSettings(const typSettings& settings) {
    OptionsPage::loadSettings(settings);
    ui->cboDialUpService->setCurrentIndex(
        qMax(0, static_cast<int>(DialUpServiceWords.indexOf(settings.Dial_Up_Service))));
}

void GeneralPage::saveSettings(typSettings& settings) const {
    OptionsPage::saveSettings(settings);
    settings.Dial_Up_Service =
        DialUpServiceWords.value(ui->cboDialUpService->currentIndex(), DialUpServiceWords.first());
}

void GeneralPage::showStartAtLogin(bool available, bool enabled) {
    ui->chkStartAtLogin->setVisible(available);
    ui->chkStartAtLogin->setChecked(available && enabled);
}

bool GeneralPage::startAtLogin() const {
    return ui->chkStartAtLogin->isChecked();
}

void GeneralPage::applyCapabilities(const PlatformCapabilities& capabilities) {
    if (capabilities.dataRateAvailable)
        return;
    for (QWidget* w :
         {static_cast<QWidget*>(ui->cboDataDTR), static_cast<QWidget*>(ui->lblDataDTR),
          static_cast<QWidget*>(ui->cboDataLog), static_cast<QWidget*>(ui->lblDataLog)})
        w->setEnabled(false);
}
