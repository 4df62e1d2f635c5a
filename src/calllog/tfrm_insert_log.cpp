#include "calllog/tfrm_insert_log.h"

#include "ui_tfrm_insert_log.h"

#include "calllog/date_time_pickers.h"
#include "core/records.h"
#include "tariff/call_costing.h"
#include "widgets/window_frame.h"

TfrmInsertLog::TfrmInsertLog(typCallLogInformation& gLogEntry, const QString& gLogDialogTitle,
                             const QStringList& connectoids, const TariffContext& tariff,
                             const RegionalSettings& regional, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TfrmInsertLog>()), entry_(gLogEntry),
      tariff_(tariff) {
    ui->setupUi(this);
    setWindowTitle(gLogDialogTitle);
    pickers::set(ui->dtPickerStartDate, ui->dtPickerStartTime, entry_.Start, regional,
                 entry_.Finish);
    pickers::set(ui->dtPickerFinishDate, ui->dtPickerFinishTime, entry_.Finish, regional,
                 entry_.Start);
    ui->cboConnectoidName->addItems(connectoids);
    ui->cboConnectoidName->setCurrentIndex(
        qMax(0, static_cast<int>(connectoids.indexOf(UnknownConnectoid))));
    if (const qsizetype own = connectoids.indexOf(entry_.Connectoid_Name); own >= 0)
        ui->cboConnectoidName->setCurrentIndex(static_cast<int>(own));

    for (QDateEdit* date : {ui->dtPickerStartDate, ui->dtPickerFinishDate})
        connect(date, &QDateEdit::dateChanged, this, &TfrmInsertLog::checkDateTimes);
    for (QTimeEdit* time : {ui->dtPickerStartTime, ui->dtPickerFinishTime})
        connect(time, &QTimeEdit::timeChanged, this, &TfrmInsertLog::checkDateTimes);
    connect(ui->cmdOK, &QPushButton::clicked, this, &TfrmInsertLog::cmdOKClick);
    connect(ui->cmdCancel, &QPushButton::clicked, this, &TfrmInsertLog::cmdCancelClick);
    checkDateTimes();
}

TfrmInsertLog::~TfrmInsertLog() = default;

void TfrmInsertLog::checkDateTimes() {
    const qint64 length = pickers::milliseconds(ui->dtPickerFinishDate, ui->dtPickerFinishTime) -
                          pickers::milliseconds(ui->dtPickerStartDate, ui->dtPickerStartTime);
    ui->cmdOK->setEnabled(length >= 0 && length <= MaximumLengthDays * qint64(86400000));
}

void TfrmInsertLog::cmdOKClick() {
    if (!ui->cmdOK->isEnabled())
        return;
    Hourglass wait;
    entry_.Connectoid_Name = ui->cboConnectoidName->currentText().left(20);
    entry_.Start = pickers::value(ui->dtPickerStartDate, ui->dtPickerStartTime);
    entry_.Finish = pickers::value(ui->dtPickerFinishDate, ui->dtPickerFinishTime);
    typCallCostInformation cost;
    CalculateCost(tariff_, entry_.Connectoid_Name, cost, entry_.Start, entry_.Finish);
    entry_.Cost_Inc = cost.With_Discount;
    entry_.Cost_Exc = cost.Without_Discount;
    entry_.Mode = 0;
    accept();
}

void TfrmInsertLog::cmdCancelClick() {
    reject();
}

void TfrmInsertLog::reject() {
    entry_.Mode = -1;
    QDialog::reject();
}
