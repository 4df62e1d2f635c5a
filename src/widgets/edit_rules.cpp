#include "widgets/edit_rules.h"

#include "core/formatting.h"

#include <QEvent>
#include <QLineEdit>
#include <QRegularExpressionValidator>

#include <vector>

namespace {

// The leave rules of one edit, run in the order they were added.
class LeaveRules final : public QObject {
public:
    explicit LeaveRules(QLineEdit* edit) : QObject(edit), edit_(edit) {
        setObjectName(QStringLiteral("editRules"));
        edit->installEventFilter(this);
    }

    void add(std::function<QString(const QString&)> fix) { fixes_.push_back(std::move(fix)); }

    void apply() {
        QString text = edit_->text();
        for (const auto& fix : fixes_)
            text = fix(text);
        if (text != edit_->text())
            edit_->setText(text);
    }

    // The edit's rules, or none. (Without a meta-object of its own, findChild would take
    // any child of the edit for one.)
    static LeaveRules* find(const QLineEdit* edit) {
        for (QObject* child : edit->children()) {
            if (auto* rules = dynamic_cast<LeaveRules*>(child))
                return rules;
        }
        return nullptr;
    }
    static LeaveRules* of(QLineEdit* edit) {
        LeaveRules* rules = find(edit);
        return rules ? rules : new LeaveRules(edit);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == edit_ && event->type() == QEvent::FocusOut)
            apply();
        return false;
    }

private:
    QLineEdit* edit_;
    std::vector<std::function<QString(const QString&)>> fixes_;
};

void setPattern(QLineEdit* edit, const QString& pattern, int maxLength) {
    edit->setMaxLength(maxLength);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), edit));
}

} // namespace

namespace editrules {

void digitsOnly(QLineEdit* edit, int maxLength) {
    setPattern(edit, QStringLiteral("[0-9]*"), maxLength);
}

void decimalNumber(QLineEdit* edit, int maxLength) {
    setPattern(edit, QStringLiteral("[0-9]*([.,][0-9]*)?"), maxLength);
}

void zeroWhenInvalid(QLineEdit* edit, const RegionalSettings& regional) {
    onLeave(edit, [&regional](const QString& text) {
        return IsValidNumber(text, regional) ? text : QStringLiteral("0");
    });
}

void clampWhole(QLineEdit* edit, qint64 minimum, qint64 maximum, const QString& fallback) {
    onLeave(edit, [=](const QString& text) {
        bool ok = false;
        const qint64 value = text.trimmed().toLongLong(&ok);
        if (!ok)
            return fallback;
        return QString::number(qBound(minimum, value, maximum));
    });
}

void onLeave(QLineEdit* edit, std::function<QString(const QString&)> fix) {
    LeaveRules::of(edit)->add(std::move(fix));
}

void applyEditRules(QWidget* window) {
    for (QLineEdit* edit : window->findChildren<QLineEdit*>()) {
        if (LeaveRules* rules = LeaveRules::find(edit))
            rules->apply();
    }
}

} // namespace editrules
