#include "config/time_field_spin.h"

TimeFieldSpin::TimeFieldSpin(QWidget* parent) : QSpinBox(parent) {
    setWrapping(true);
    setRange(0, 59);
}

QValidator::State TimeFieldSpin::validate(QString& input, int& pos) const {
    for (const QChar c : std::as_const(input)) {
        if (c < u'0' || c > u'9')
            return QValidator::Invalid;
    }
    if (input.isEmpty()) {
        input = QStringLiteral("0");
        pos = 1;
    } else if (input.size() > 2 || input.toInt() > maximum()) {
        input = QString::number(maximum());
        pos = static_cast<int>(input.size());
    }
    return QValidator::Acceptable;
}
