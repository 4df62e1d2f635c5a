#include "config/tfrm_insert_costing.h"

#include "ui_tfrm_insert_costing.h"

#include "config/editor_connectoids.h"
#include "core/datetime.h"
#include "core/formatting.h"
#include "core/regional.h"
#include "widgets/edit_rules.h"

#include <cmath>

namespace {
constexpr int SecondsPerDay = 86400;
constexpr qint64 LongestCallLength = 32000; // seconds

// Each day box and its bit in the day mask.
struct DayBox {
    QCheckBox* Ui::TfrmInsertCosting::*box;
    int bit;
};
const DayBox DayBoxes[] = {
    {&Ui::TfrmInsertCosting::chkMonday, 2},    {&Ui::TfrmInsertCosting::chkTuesday, 4},
    {&Ui::TfrmInsertCosting::chkWednesday, 8}, {&Ui::TfrmInsertCosting::chkThursday, 16},
    {&Ui::TfrmInsertCosting::chkFriday, 32},   {&Ui::TfrmInsertCosting::chkSaturday, 64},
    {&Ui::TfrmInsertCosting::chkSunday, 1}};
} // namespace

TfrmInsertCosting::TfrmInsertCosting(typCostingInformation& working, const QString& caption,
                                     const ConnectoidNameTable& names,
                                     const RegionalSettings& regional, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TfrmInsertCosting>()), working_(working),
      regional_(regional) {
    ui->setupUi(this);
    setWindowTitle(caption);
    for (QLabel* separator : {ui->lblStartSeparator1, ui->lblStartSeparator2,
                              ui->lblFinishSeparator1, ui->lblFinishSeparator2})
        separator->setText(QString(regional.timeSeparator));
    for (TimeFieldSpin* hours : {ui->txtStartHours, ui->txtFinishHours})
        hours->setMaximum(23);

    editrules::decimalNumber(ui->txtEveryMinuteAdd, 10);
    editrules::zeroWhenInvalid(ui->txtEveryMinuteAdd, regional);
    editrules::digitsOnly(ui->txtFreeMinutes, 4);
    editrules::zeroWhenInvalid(ui->txtFreeMinutes, regional);
    for (QLineEdit* length : {ui->txtLengthStart, ui->txtLengthFinish}) {
        editrules::digitsOnly(length, 5);
        editrules::clampWhole(length, 0, LongestCallLength, QStringLiteral("0"));
    }

    // Filled once: filling again whenever the window comes back to the front would throw
    // away what the user typed before switching windows.
    fillTimes(ui->txtStartHours, ui->txtStartMinutes, ui->txtStartSeconds, working.StartTime);
    fillTimes(ui->txtFinishHours, ui->txtFinishMinutes, ui->txtFinishSeconds, working.FinishTime);
    for (const DayBox& day : DayBoxes)
        (ui.get()->*day.box)->setChecked(working.Days & day.bit);
    ui->txtEveryMinuteAdd->setText(isFreeSlot(working)
                                       ? QStringLiteral("0")
                                       : datetime::floatToText(working.ChargePerMin, regional));
    ui->txtFreeMinutes->setText(QString::number(working.FreeMinutes));
    ui->txtLengthStart->setText(QString::number(working.Length_Start));
    ui->txtLengthFinish->setText(QString::number(working.Length_Finish));
    fillConnectoidList(ui->cboConnectoidName, names, false, working.Connectoid_Name);

    for (TimeFieldSpin* time : findChildren<TimeFieldSpin*>())
        connect(time, &QSpinBox::valueChanged, this, &TfrmInsertCosting::enableOK);
    for (const DayBox& day : DayBoxes)
        connect(ui.get()->*day.box, &QCheckBox::toggled, this, &TfrmInsertCosting::enableOK);
    connect(ui->btnOK, &QPushButton::clicked, this, &TfrmInsertCosting::btnOKClick);
    connect(ui->btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    enableOK();
}

TfrmInsertCosting::~TfrmInsertCosting() = default;

void TfrmInsertCosting::fillTimes(TimeFieldSpin* hours, TimeFieldSpin* minutes,
                                  TimeFieldSpin* seconds, double timeOfDay) {
    // Whole seconds of the day; a stored time outside the day wraps into it.
    const double fraction = timeOfDay - std::floor(timeOfDay);
    const int second = static_cast<int>(std::lround(fraction * SecondsPerDay)) % SecondsPerDay;
    hours->setValue(second / 3600);
    minutes->setValue(second / 60 % 60);
    seconds->setValue(second % 60);
}

double TfrmInsertCosting::timeOfDay(const TimeFieldSpin* hours, const TimeFieldSpin* minutes,
                                    const TimeFieldSpin* seconds) {
    return (hours->value() * 3600 + minutes->value() * 60 + seconds->value()) /
           static_cast<double>(SecondsPerDay);
}

void TfrmInsertCosting::enableOK() {
    bool anyDay = false;
    for (const DayBox& day : DayBoxes)
        anyDay = anyDay || (ui.get()->*day.box)->isChecked();
    bool anyTime = false;
    for (const TimeFieldSpin* time : findChildren<TimeFieldSpin*>())
        anyTime = anyTime || time->value() != 0;
    ui->btnOK->setEnabled(anyDay && anyTime);
}

void TfrmInsertCosting::btnOKClick() {
    editrules::applyEditRules(this);
    working_.StartTime = timeOfDay(ui->txtStartHours, ui->txtStartMinutes, ui->txtStartSeconds);
    working_.FinishTime = timeOfDay(ui->txtFinishHours, ui->txtFinishMinutes, ui->txtFinishSeconds);
    working_.Days = 0;
    for (const DayBox& day : DayBoxes) {
        if ((ui.get()->*day.box)->isChecked())
            working_.Days |= day.bit;
    }
    working_.FreeMinutes = ui->txtFreeMinutes->text().toInt();
    working_.Length_Start = ui->txtLengthStart->text().toInt();
    working_.Length_Finish = ui->txtLengthFinish->text().toInt();
    // The charge has no sign, so it can never be the free-slot marker.
    working_.ChargePerMin = ReadFloatSetting(ui->txtEveryMinuteAdd->text(), regional_);
    working_.Connectoid_Name = ui->cboConnectoidName->currentText();
    accept();
}
