#include "config/display_page.h"

#include "ui_display_page.h"

#include "core/prompts.h"

const QString DisplayPage::LastShowWarning = QStringLiteral(
    "At least one Show option must be enabled.  Time will be automatically checked for you.  "
    "If you do not wish the call duration to be displayed in the digital display select "
    "another show option and then deselect time.");

const QString DisplayPage::HideTrayIconQuestion = QStringLiteral(
    "Enabling the Hide Tray Icon option will disable the icon within the tray area.  You will "
    "have no direct facility to return to this screen unless you make a detectable connection "
    "to the Internet.  To reset this option either reinstall VORN or visit the support web "
    "page.\n\r\n\rAre you sure you want to enable this option?");

DisplayPage::DisplayPage(Prompts& prompts, QWidget* parent)
    : OptionsPage(QStringLiteral("options#display"), parent),
      ui(std::make_unique<Ui::DisplayPage>()), prompts_(prompts) {
    ui->setupUi(this);
    bind(ui->radioIntelligentDisplay, &typSettings::Intelligent_Display);
    bind(ui->chkShowTime, &typSettings::Show_Time);
    bind(ui->chkShowCost, &typSettings::Show_Cost);
    bind(ui->chkShowCostPerMinute, &typSettings::Show_CostPerMinute);
    bind(ui->chkShowDTR, &typSettings::Show_DTR);
    bind(ui->chkShowDataTransferred, &typSettings::Show_Data_Transferred);
    bind(ui->chkShowConnectSpeed, &typSettings::Show_Connect_Speed);
    bind(ui->cboShowDigitalDisplay, &typSettings::Show_Digital_Display);
    bind(ui->cboNumberOfCharacters, &typSettings::Number_Of_Characters);
    bind(ui->cboCharacterSize, &typSettings::Character_Size);
    bind(ui->cboPixelSpacing, &typSettings::Pixel_Spacing);
    bind(ui->chkIndicateMinimumCharge, &typSettings::Indicate_Minimum_Charge);
    bind(ui->chkIndicateMaximumCharge, &typSettings::Indicate_Maximum_Charge);
    bind(ui->chkShowCostIncludingDiscount, &typSettings::Show_Cost_Including_Discount);
    bind(ui->chkFlashIconMinimum, &typSettings::Flash_Icon_Minimum);
    bind(ui->chkFlashIconConnected, &typSettings::Flash_Icon_Connected);
    bind(ui->chkFlashIconMaximum, &typSettings::Flash_Icon_Maximum);
    bind(ui->chkHideTrayIcon, &typSettings::Hide_Tray_Icon);

    // The rules below answer the user's clicks only, never the loading of the settings.
    for (QCheckBox* box : {ui->chkShowTime, ui->chkShowCost, ui->chkShowCostPerMinute,
                           ui->chkShowDTR, ui->chkShowDataTransferred, ui->chkShowConnectSpeed})
        connect(box, &QCheckBox::clicked, this, &DisplayPage::showBoxClicked);
    connect(ui->chkFlashIconConnected, &QCheckBox::clicked, this,
            &DisplayPage::chkFlashIconConnectedClick);
    for (QCheckBox* box : {ui->chkFlashIconMinimum, ui->chkFlashIconMaximum})
        connect(box, &QCheckBox::clicked, this, &DisplayPage::chkFlashIconChargePeriodClick);
    connect(ui->chkHideTrayIcon, &QCheckBox::clicked, this, &DisplayPage::chkHideTrayIconClick);
}

DisplayPage::~DisplayPage() = default;

void DisplayPage::applyCapabilities(const PlatformCapabilities& capabilities) {
    if (!capabilities.connectSpeedAvailable)
        switchOff(ui->chkShowConnectSpeed);
    if (!capabilities.dataRateAvailable) {
        switchOff(ui->chkShowDTR);
        switchOff(ui->chkShowDataTransferred);
    }
}

void DisplayPage::showBoxClicked(bool checked) {
    if (checked)
        return;
    for (const QCheckBox* box :
         {ui->chkShowTime, ui->chkShowCost, ui->chkShowCostPerMinute, ui->chkShowDTR,
          ui->chkShowDataTransferred, ui->chkShowConnectSpeed}) {
        if (box->isChecked())
            return;
    }
    prompts_.warning(LastShowWarning);
    ui->chkShowTime->setChecked(true);
}

void DisplayPage::chkFlashIconConnectedClick(bool checked) {
    if (!checked)
        return;
    ui->chkFlashIconMinimum->setChecked(false);
    ui->chkFlashIconMaximum->setChecked(false);
}

void DisplayPage::chkFlashIconChargePeriodClick(bool checked) {
    if (checked)
        ui->chkFlashIconConnected->setChecked(false);
}

void DisplayPage::chkHideTrayIconClick(bool checked) {
    if (checked && !prompts_.askYesNo(HideTrayIconQuestion))
        ui->chkHideTrayIcon->setChecked(false);
}
