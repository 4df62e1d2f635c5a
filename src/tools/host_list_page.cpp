#include "tools/host_list_page.h"

#include "core/lists.h"
#include "tools/tool_run.h"

void HostListPage::setUp(TfrmInsertToolDefault::Tool tool, const EntryListTexts& texts,
                         const Controls& c) {
    EntryList::Actions actions;
    actions.findFree = [this] { return findFreeSlot(table_); };
    actions.insert = [this, tool](int slot) { edit(tool, slot, true); };
    actions.properties = [this, tool](int slot) { edit(tool, slot, false); };
    actions.remove = [this](int slot) { deleteAtIndex(table_, slot); };
    actions.rows = [this] {
        QList<QStringList> rows;
        for (int i = 1; i <= usedCount(table_); ++i)
            rows.append({table_[i].Host, table_[i].Description, trueFalse(table_[i].DefaultItem)});
        return rows;
    };
    entries_ = new EntryList(c.list, prompts_, texts, std::move(actions));
    entries_->connectButtons(c.refresh, c.insert, c.properties, c.remove);
    prepareToolRun(*entries_, c.run, c.cancel, c.output);
}

void HostListPage::edit(TfrmInsertToolDefault::Tool tool, int slot, bool inserting) {
    TfrmInsertToolDefault dialog(tool, inserting ? nullptr : &table_[slot], this);
    if (dialog.exec() == QDialog::Accepted)
        storeToolEntry(table_, slot, dialog.record());
}
