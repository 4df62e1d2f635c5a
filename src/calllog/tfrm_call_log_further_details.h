#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class TfrmCallLogFurtherDetails;
}
class CallLogTable;
class CallLogTexts;
struct CallLogRow;

// "Further Details": one entry of the detail list, read only, with its discount.
class TfrmCallLogFurtherDetails : public QDialog {
    Q_OBJECT
public:
    TfrmCallLogFurtherDetails(const CallLogTable& table, const CallLogRow& row,
                              const CallLogTexts& texts, QWidget* parent = nullptr);
    ~TfrmCallLogFurtherDetails() override;

    void btnOKClick();

private:
    std::unique_ptr<Ui::TfrmCallLogFurtherDetails> ui;
};
