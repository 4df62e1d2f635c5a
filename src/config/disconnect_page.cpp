#include "config/disconnect_page.h"

#include "ui_disconnect_page.h"

#include "core/datetime.h"
#include "core/formatting.h"
#include "core/regional.h"
#include "widgets/edit_rules.h"

namespace {
// A whole number of at most `digits` digits; anything else left behind becomes 0.
void wholeNumber(QLineEdit* edit, int digits) {
    editrules::digitsOnly(edit, digits);
    editrules::clampWhole(edit, 0, std::numeric_limits<qint32>::max(), QStringLiteral("0"));
}
} // namespace

DisconnectPage::DisconnectPage(const RegionalSettings& regional, QWidget* parent)
    : OptionsPage(QStringLiteral("options#disconnect"), parent),
      ui(std::make_unique<Ui::DisconnectPage>()), regional_(regional) {
    ui->setupUi(this);
    ui->dtPickerAtDate->setDisplayFormat(regional.shortDateFormat);
    ui->dtPickerAtTime->setDisplayFormat(regional.longTimeFormat);

    wholeNumber(ui->txtAutoDisconnectConnectSpeed, 8);
    wholeNumber(ui->txtAutoIdleDisconnect, 4);
    wholeNumber(ui->txtAutoDisconnect, 4);
    editrules::decimalNumber(ui->txtAutoDisconnectExceedCost, 10);
    editrules::zeroWhenInvalid(ui->txtAutoDisconnectExceedCost, regional);
    // A damaged stored limit may be negative; as a limit it would end every call at once.
    editrules::onLeave(ui->txtAutoDisconnectExceedCost, [&regional](const QString& text) {
        return ReadFloatSetting(text, regional) < 0 ? QStringLiteral("0") : text;
    });

    bind(ui->chkAutoDisconnectFreeMinutes, &typSettings::Auto_Disconnect_Free_Minutes);
    bind(ui->chkAutoDisconnectMinimumPeriod, &typSettings::Auto_Disconnect_Minimum_Period);
    bind(ui->cboOperationAfterAutoDisconnecting, &typSettings::Operation_After_Auto_Disconnecting);
    bind(ui->cboOperationAfterDisconnecting, &typSettings::Operation_After_Disconnecting);
}

DisconnectPage::~DisconnectPage() = default;

void DisconnectPage::loadSettings(const typSettings& s) {
    OptionsPage::loadSettings(s);
    const QDateTime at = datetime::toQDateTime(s.Auto_At_Disconnect);
    loadedHangUpTime_ =
        QDateTime(at.date(), QTime(at.time().hour(), at.time().minute(), at.time().second()));
    ui->dtPickerAtDate->setDate(loadedHangUpTime_.date());
    ui->dtPickerAtTime->setTime(loadedHangUpTime_.time());
    loadedCallLength_ = s.Auto_Disconnect;
    ui->txtAutoDisconnect->setText(QString::number(s.Auto_Disconnect));
    ui->txtAutoIdleDisconnect->setText(QString::number(s.Auto_Idle_Disconnect));
    ui->txtAutoDisconnectConnectSpeed->setText(QString::number(s.Auto_Disconnect_Connect_Speed));
    ui->txtAutoDisconnectExceedCost->setText(
        datetime::floatToText(s.Auto_Disconnect_Exceed_Cost, regional_));
}

void DisconnectPage::saveSettings(typSettings& s) const {
    OptionsPage::saveSettings(s);
    const QDateTime at = shownHangUpTime();
    s.Auto_At_Disconnect =
        datetime::encode(at.date().year(), at.date().month(), at.date().day(), at.time().hour(),
                         at.time().minute(), at.time().second());
    s.Auto_Disconnect = ui->txtAutoDisconnect->text().toInt();
    s.Auto_Idle_Disconnect = ui->txtAutoIdleDisconnect->text().toInt();
    s.Auto_Disconnect_Connect_Speed = ui->txtAutoDisconnectConnectSpeed->text().toInt();
    s.Auto_Disconnect_Exceed_Cost =
        ReadFloatSetting(ui->txtAutoDisconnectExceedCost->text(), regional_);
}

void DisconnectPage::applyCapabilities(const PlatformCapabilities& capabilities) {
    if (capabilities.dataRateAvailable)
        return;
    // Idleness is told by the traffic, which cannot be counted.
    ui->txtAutoIdleDisconnect->setText(QStringLiteral("0"));
    ui->txtAutoIdleDisconnect->setEnabled(false);
    ui->lblAutoIdleDisconnect->setEnabled(false);
}

bool DisconnectPage::callLengthChanged() const {
    return ui->txtAutoDisconnect->text().toInt() != loadedCallLength_;
}

bool DisconnectPage::hangUpTimeChanged() const {
    return shownHangUpTime() != loadedHangUpTime_;
}

QDateTime DisconnectPage::shownHangUpTime() const {
    return QDateTime(ui->dtPickerAtDate->date(), ui->dtPickerAtTime->time());
}
