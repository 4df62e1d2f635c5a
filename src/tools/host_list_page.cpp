#include "tools/host_list_page.h"

void HostListPage::setUp(TfrmInsertToolDefault::Tool tool, const EntryListTexts& texts,
                         const Controls& c) {
    auto actions = EntryList::tableActions(
        table_, [this, tool](int slot, bool inserting) { edit(tool, slot, inserting); },
        [](const typToolWithDefaultInformation& t, int) {
            return QStringList{t.Host, t.Description, trueFalse(t.DefaultItem)};
        });
    entries_ = new EntryList(c.list, prompts_, texts, std::move(actions));
    entries_->connectButtons(c.refresh, c.insert, c.properties, c.remove);
}

const typToolWithDefaultInformation* HostListPage::selectedEntry() const {
    const int slot = entries_->selectedSlot();
    return slot > 0 ? &table_[slot] : nullptr;
}

void HostListPage::edit(TfrmInsertToolDefault::Tool tool, int slot, bool inserting) {
    TfrmInsertToolDefault dialog(tool, inserting ? nullptr : &table_[slot], this);
    if (dialog.exec() == QDialog::Accepted)
        storeToolEntry(table_, slot, dialog.record());
}
