#pragma once

#include "core/records.h"

#include <QDialog>

#include <memory>

namespace Ui {
class TfrmInsertCosting;
}
class TimeFieldSpin;
struct ConnectoidNameTable;
struct RegionalSettings;

// Edits one charge band: its time of day, days, charge, free minutes, call lengths and
// connectoid. OK puts the controls into the working record; Cancel leaves it alone.
class TfrmInsertCosting final : public QDialog {
    Q_OBJECT
public:
    TfrmInsertCosting(typCostingInformation& working, const QString& caption,
                      const ConnectoidNameTable& names, const RegionalSettings& regional,
                      QWidget* parent = nullptr);
    ~TfrmInsertCosting() override;

    void btnOKClick();

private:
    void fillTimes(TimeFieldSpin* hours, TimeFieldSpin* minutes, TimeFieldSpin* seconds,
                   double timeOfDay);
    static double timeOfDay(const TimeFieldSpin* hours, const TimeFieldSpin* minutes,
                            const TimeFieldSpin* seconds);
    // A band needs a day, and cannot run from 00:00:00 to 00:00:00.
    void enableOK();

    std::unique_ptr<Ui::TfrmInsertCosting> ui;
    typCostingInformation& working_;
    const RegionalSettings& regional_;
};
