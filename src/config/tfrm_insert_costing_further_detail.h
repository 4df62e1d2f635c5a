#pragma once

#include "core/records.h"

#include <QDialog>

#include <memory>

namespace Ui {
class TfrmInsertCostingFurtherDetail;
}
struct ConnectoidNameTable;
struct RegionalSettings;

// Edits one further detail: a charge, a discount, whether the discount applies to a charge,
// or the handshaking adjustment, for a connectoid and a range of call lengths.
class TfrmInsertCostingFurtherDetail final : public QDialog {
    Q_OBJECT
public:
    TfrmInsertCostingFurtherDetail(typCostingFurtherDetailInformation& working,
                                   const QString& caption, const ConnectoidNameTable& names,
                                   const RegionalSettings& regional, QWidget* parent = nullptr);
    ~TfrmInsertCostingFurtherDetail() override;

    void btnOKClick();

    // The options in the order the list offers them.
    static const QStringList Options;

private:
    bool isYesNoOption() const;
    // The "Apply Discount Percent To" options are yes or no; the others a number.
    void applyOptionRule();

    std::unique_ptr<Ui::TfrmInsertCostingFurtherDetail> ui;
    typCostingFurtherDetailInformation& working_;
};
