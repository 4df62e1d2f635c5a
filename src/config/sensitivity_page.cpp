#include "config/sensitivity_page.h"

#include "ui_sensitivity_page.h"

#include "core/formatting.h"

SensitivityPage::SensitivityPage(const RegionalSettings& regional, QWidget* parent)
    : OptionsPage(QStringLiteral("options#sensitivity"), parent),
      ui(std::make_unique<Ui::SensitivityPage>()), regional_(regional) {
    ui->setupUi(this);
    tracks_ = {
        {ui->trackIntervalCallChecker, ui->lblIntervalCallChecker,
         &typSettings::Interval_Call_Checker, 500, 5000, 500, 1},
        {ui->trackIntervalAutoHide, ui->lblIntervalAutoHide, &typSettings::Interval_Auto_Hide, 50,
         500, 50, 1},
        {ui->trackIntervalCalculateCost, ui->lblIntervalCalculateCost,
         &typSettings::Interval_Calculate_Cost, 500, 5000, 500, 1},
        {ui->trackIntervalTransmitReceive, ui->lblIntervalTransmitReceive,
         &typSettings::Interval_Transmit_Receive, 100, 1000, 50, 2},
        {ui->trackIntervalDTR, ui->lblIntervalDTR, &typSettings::Interval_DTR, 500, 10000, 500, 1},
        {ui->trackIntervalDisplayChanger, ui->lblIntervalDisplayChanger,
         &typSettings::Interval_Display_Changer, 500, 5000, 500, 1}};
    // The bars count steps, so that a value between two steps cannot be chosen.
    for (const Track& track : tracks_) {
        track.bar->setRange(track.minimum / track.step, track.maximum / track.step);
        track.bar->setSingleStep(1);
        track.bar->setPageStep(1);
        track.bar->setTickInterval(1);
        connect(track.bar, &QSlider::valueChanged, this, [this, track] { showValue(track); });
    }
    connect(ui->btnDefaultSensitivity, &QPushButton::clicked, this,
            &SensitivityPage::btnDefaultSensitivityClick);
}

SensitivityPage::~SensitivityPage() = default;

void SensitivityPage::loadSettings(const typSettings& settings) {
    OptionsPage::loadSettings(settings);
    for (const Track& track : tracks_) {
        setMilliseconds(track, settings.*track.field);
        showValue(track);
    }
}

void SensitivityPage::saveSettings(typSettings& settings) const {
    OptionsPage::saveSettings(settings);
    for (const Track& track : tracks_)
        settings.*track.field = milliseconds(track);
}

void SensitivityPage::applyCapabilities(const PlatformCapabilities& capabilities) {
    if (!capabilities.dataRateAvailable)
        ui->frameIntervalDTR->setEnabled(false);
}

void SensitivityPage::btnDefaultSensitivityClick() {
    const typSettings defaults;
    for (const Track& track : tracks_)
        setMilliseconds(track, defaults.*track.field);
}

int SensitivityPage::milliseconds(const Track& track) {
    return track.bar->value() * track.step;
}

void SensitivityPage::setMilliseconds(const Track& track, int value) {
    track.bar->setValue((value + track.step / 2) / track.step);
}

void SensitivityPage::showValue(const Track& track) {
    // A decimal-places setting counts from 1 for no decimals.
    track.value->setText(FormatMoney(track.decimals + 1, milliseconds(track) / 1000.0, regional_) +
                         QStringLiteral("s"));
}
