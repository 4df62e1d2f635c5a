#pragma once

#include "calllog/call_log_record.h"

#include <QDialog>
#include <QStringList>

#include <memory>

namespace Ui {
class TfrmInsertLog;
}
struct RegionalSettings;
struct TariffContext;

// A call entered or corrected by hand: start, finish and connectoid, priced as a recorded
// call is. OK leaves the entry with Mode 0; Cancel, Escape and the close box with Mode -1.
class TfrmInsertLog : public QDialog {
    Q_OBJECT
public:
    // The longest call the log takes, in days.
    static constexpr int MaximumLengthDays = 5;

    // connectoids: the names to offer, "Unknown/Other" among them.
    TfrmInsertLog(typCallLogInformation& gLogEntry, const QString& gLogDialogTitle,
                  const QStringList& connectoids, const TariffContext& tariff,
                  const RegionalSettings& regional, QWidget* parent = nullptr);
    ~TfrmInsertLog() override;

    void cmdOKClick();
    void cmdCancelClick();

protected:
    void reject() override;

private:
    // OK only while the finish is not before the start and at most five days after it.
    void checkDateTimes();

    std::unique_ptr<Ui::TfrmInsertLog> ui;
    typCallLogInformation& entry_;
    const TariffContext& tariff_;
};
