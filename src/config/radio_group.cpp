#include "config/radio_group.h"

#include <QGroupBox>
#include <QRadioButton>

namespace {
QList<QRadioButton*> buttons(const QGroupBox* group) {
    return group->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly);
}
} // namespace

namespace radiogroup {

int itemIndex(const QGroupBox* group) {
    const QList<QRadioButton*> items = buttons(group);
    for (int i = 0; i < items.size(); ++i) {
        if (items[i]->isChecked())
            return i;
    }
    return -1;
}

void setItemIndex(QGroupBox* group, int index) {
    const QList<QRadioButton*> items = buttons(group);
    for (int i = 0; i < items.size(); ++i) {
        // Exclusive buttons refuse to be unchecked one by one.
        items[i]->setAutoExclusive(false);
        items[i]->setChecked(i == index);
        items[i]->setAutoExclusive(true);
    }
}

} // namespace radiogroup
