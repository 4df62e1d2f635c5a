#pragma once

#include "core/records.h"
#include "tools/entry_list.h"
#include "tools/tfrm_insert_tool_default.h"

#include <QWidget>

class Prompts;
class QPushButton;
class QTreeWidget;

// What the finger and ping pages share: a list of hosts edited with TfrmInsertToolDefault.
class HostListPage : public QWidget {
    Q_OBJECT
public:
    void refresh() { entries_->refresh(); }
    // The entry selected in the list, or nullptr.
    const typToolWithDefaultInformation* selectedEntry() const;

protected:
    struct Controls {
        QTreeWidget* list;
        QPushButton* refresh;
        QPushButton* insert;
        QPushButton* properties;
        QPushButton* remove;
    };

    HostListPage(ToolHostTable& table, Prompts& prompts, QWidget* parent)
        : QWidget(parent), table_(table), prompts_(prompts) {}
    void setUp(TfrmInsertToolDefault::Tool tool, const EntryListTexts& texts,
               const Controls& controls);
    EntryList& entries() { return *entries_; }

private:
    void edit(TfrmInsertToolDefault::Tool tool, int slot, bool inserting);

    ToolHostTable& table_;
    Prompts& prompts_;
    EntryList* entries_ = nullptr;
};
