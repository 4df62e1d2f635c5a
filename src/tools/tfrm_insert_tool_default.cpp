#include "tools/tfrm_insert_tool_default.h"

#include "ui_tfrm_insert_tool_default.h"

#include "tools/dialog_rules.h"

TfrmInsertToolDefault::TfrmInsertToolDefault(Tool tool,
                                             const typToolWithDefaultInformation* editing,
                                             QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TfrmInsertToolDefault>()) {
    ui->setupUi(this);
    const bool ping = tool == Tool::Ping;
    ui->lblHost->setText(ping ? QStringLiteral("Host / IP Address") : QStringLiteral("Address"));
    setWindowTitle(editing ? PropertiesCaption
                   : ping  ? QStringLiteral("Insert Ping")
                           : QStringLiteral("Insert Finger"));
    if (editing) {
        ui->txtHost->setText(editing->Host);
        ui->txtDescription->setText(editing->Description);
        ui->chkDefault->setChecked(editing->DefaultItem);
    }
    prepareEntryDialog(this, ui->btnOK, ui->btnCancel, {ui->txtHost});
}

TfrmInsertToolDefault::~TfrmInsertToolDefault() = default;

typToolWithDefaultInformation TfrmInsertToolDefault::record() const {
    return {ui->txtHost->text().trimmed(), ui->txtDescription->text(), ui->chkDefault->isChecked()};
}

void storeToolEntry(ToolHostTable& table, int slot, const typToolWithDefaultInformation& entry) {
    if (entry.DefaultItem) {
        for (typToolWithDefaultInformation& other : table)
            other.DefaultItem = false;
    }
    table[slot] = entry;
}
