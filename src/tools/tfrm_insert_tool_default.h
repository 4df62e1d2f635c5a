#pragma once

#include "core/records.h"

#include <QDialog>

#include <memory>

namespace Ui {
class TfrmInsertToolDefault;
}

// A ping or finger entry: host (or finger address), description and the "Default" flag.
class TfrmInsertToolDefault : public QDialog {
    Q_OBJECT
public:
    enum class Tool { Ping, Finger };

    // Inserts a new entry when editing is null, else shows that entry's properties.
    TfrmInsertToolDefault(Tool tool, const typToolWithDefaultInformation* editing,
                          QWidget* parent = nullptr);
    ~TfrmInsertToolDefault() override;

    typToolWithDefaultInformation record() const;

private:
    std::unique_ptr<Ui::TfrmInsertToolDefault> ui;
};

// Puts an entry into its slot of a ping or finger list; an entry marked "Default" first
// takes the flag from every other entry, so the list has one at most.
void storeToolEntry(ToolHostTable& table, int slot, const typToolWithDefaultInformation& entry);
