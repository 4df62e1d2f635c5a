#pragma once

#include "calllog/call_log_record.h"

#include <QDialog>

#include <memory>

namespace Ui {
class TfrmInsertAdjuster;
}
struct RegionalSettings;

// A cost adjustment: a moment and an amount. OK leaves the entry with Mode 0 and equal
// costs with and without discount; Cancel, Escape and the close box with Mode -1.
class TfrmInsertAdjuster : public QDialog {
    Q_OBJECT
public:
    TfrmInsertAdjuster(typCallLogInformation& gLogEntry, const QString& gLogDialogTitle,
                       const RegionalSettings& regional, QWidget* parent = nullptr);
    ~TfrmInsertAdjuster() override;

    void cmdOKClick();
    void cmdCancelClick();

protected:
    void reject() override;

private:
    // The amount as the box shows it: never grouped, so that it reads back as it was
    // written whatever the currency's decimals.
    QString costText(double amount) const;

    std::unique_ptr<Ui::TfrmInsertAdjuster> ui;
    typCallLogInformation& entry_;
    const RegionalSettings& regional_;
};
