#pragma once

#include <QString>

class QComboBox;
struct ConnectoidNameTable;

// Fills an editor's connectoid list with the dial-up entries and "Default": in name order,
// or with defaultFirst "Default" first and then the entries. Selects the first item, then
// the item named current when there is one. A stored name that is none of them (the dial-up
// service could not be asked) is offered too, so that OK does not move the entry.
void fillConnectoidList(QComboBox* list, const ConnectoidNameTable& names, bool defaultFirst,
                        const QString& current);
