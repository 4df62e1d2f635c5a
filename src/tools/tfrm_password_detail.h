#pragma once

#include "core/records.h"

#include <QDialog>

#include <memory>

namespace Ui {
class TfrmPasswordDetail;
}

// One password keeper entry in clear text, read only.
class TfrmPasswordDetail : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPasswordDetail(const typPasswordInformation& entry, QWidget* parent = nullptr);
    ~TfrmPasswordDetail() override;

private:
    std::unique_ptr<Ui::TfrmPasswordDetail> ui;
};
