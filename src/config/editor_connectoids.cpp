#include "config/editor_connectoids.h"

#include "calllog/connectoid_list.h"
#include "core/records.h"

#include <QComboBox>

void fillConnectoidList(QComboBox* list, const ConnectoidNameTable& names, bool defaultFirst,
                        const QString& current) {
    QStringList items;
    if (defaultFirst)
        items << DefaultConnectoid;
    for (const QString& name : GetConnectoidList(names, false, !defaultFirst).slots) {
        if (!name.isEmpty())
            items << name;
    }
    if (!current.isEmpty() && current != UnknownConnectoid && !items.contains(current))
        items << current;
    list->clear();
    list->addItems(items);
    list->setCurrentIndex(qMax(0, static_cast<int>(items.indexOf(current))));
}
