#pragma once

#include <QSpinBox>

// An hours, minutes or seconds box of a charge band: digits only, a value above the
// maximum becomes the maximum and an emptied box 0 as soon as it is typed, and the arrows
// wrap round (23 → 0 upward, 0 → 23 downward).
class TimeFieldSpin final : public QSpinBox {
    Q_OBJECT
public:
    explicit TimeFieldSpin(QWidget* parent = nullptr);

protected:
    QValidator::State validate(QString& input, int& pos) const override;
};
