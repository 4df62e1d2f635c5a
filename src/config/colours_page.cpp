#include "config/colours_page.h"

#include "ui_colours_page.h"

#include "platform/dialogs.h"

namespace {
const QStringList DecimalPlacesItems = {QStringLiteral("Default"), QStringLiteral("0"),
                                        QStringLiteral("1"),       QStringLiteral("2"),
                                        QStringLiteral("3"),       QStringLiteral("4")};
} // namespace

ColoursPage::ColoursPage(Dialogs& dialogs, typSettings& edited, QWidget* parent)
    : OptionsPage(QStringLiteral("options#decimal-places-and-colours"), parent),
      ui(std::make_unique<Ui::ColoursPage>()), dialogs_(dialogs), edited_(edited) {
    ui->setupUi(this);
    const std::pair<QComboBox*, qint32 typSettings::*> places[] = {
        {ui->cboDecimalPlacesChargeBands, &typSettings::Decimal_Places_Charge_Bands},
        {ui->cboDecimalPlacesLogStatistics, &typSettings::Decimal_Places_Log_Statistics},
        {ui->cboDecimalPlacesDisplay, &typSettings::Decimal_Places_Display},
        {ui->cboDecimalPlacesLogDetail, &typSettings::Decimal_Places_Log_Detail},
        {ui->cboDecimalPlacesDTR, &typSettings::Decimal_Places_DTR},
        {ui->cboDecimalPlacesCostPerMinute, &typSettings::Decimal_Places_Cost_Per_Minute},
        {ui->cboDecimalPlacesDataTransferred, &typSettings::Decimal_Places_Data_Transferred}};
    for (const auto& [list, field] : places) {
        list->addItems(DecimalPlacesItems);
        bind(list, field);
    }

    const std::tuple<QFrame*, QPushButton*, qint32 typSettings::*> colours[] = {
        {ui->shpColorLEDIdle, ui->btnColorLEDIdle, &typSettings::Color_LED_Idle},
        {ui->shpColorLEDMinimum, ui->btnColorLEDMinimum, &typSettings::Color_LED_Minimum},
        {ui->shpColorLEDMaximum, ui->btnColorLEDMaximum, &typSettings::Color_LED_Maximum},
        {ui->shpColorLEDTime, ui->btnColorLEDTime, &typSettings::Color_LED_Time},
        {ui->shpColorLEDCosts, ui->btnColorLEDCosts, &typSettings::Color_LED_Costs},
        {ui->shpColorLEDCostPerMinute, ui->btnColorLEDCostPerMinute,
         &typSettings::Color_LED_Cost_Per_Minute},
        {ui->shpColorLEDDTR, ui->btnColorLEDDTR, &typSettings::Color_LED_DTR},
        {ui->shpColorLEDTransferred, ui->btnColorLEDTransferred,
         &typSettings::Color_LED_Transferred},
        {ui->shpColorLEDLights, ui->btnColorLEDLights, &typSettings::Color_LED_Lights},
        {ui->shpColorConnectSpeed, ui->btnColorConnectSpeed, &typSettings::Color_Connect_Speed}};
    for (const auto& [swatch, button, field] : colours) {
        const Colour colour{swatch, field};
        colours_.append(colour);
        swatch->setAutoFillBackground(true);
        connect(button, &QPushButton::clicked, this, [this, colour] { chooseColour(colour); });
    }
}

ColoursPage::~ColoursPage() = default;

void ColoursPage::loadSettings(const typSettings& settings) {
    OptionsPage::loadSettings(settings);
    paintSwatches();
}

void ColoursPage::chooseColour(const Colour& colour) {
    const std::optional<QColor> chosen =
        dialogs_.chooseColour(colourOfSetting(edited_.*colour.field));
    if (!chosen)
        return;
    edited_.*colour.field = settingOfColour(*chosen);
    paintSwatches();
}

void ColoursPage::paintSwatches() {
    for (const Colour& colour : colours_) {
        QPalette p = colour.swatch->palette();
        p.setColor(QPalette::Window, colourOfSetting(edited_.*colour.field));
        colour.swatch->setPalette(p);
    }
}

QColor colourOfSetting(qint32 setting) {
    return QColor(setting & 0xFF, (setting >> 8) & 0xFF, (setting >> 16) & 0xFF);
}

qint32 settingOfColour(const QColor& colour) {
    return colour.red() | (colour.green() << 8) | (colour.blue() << 16);
}
