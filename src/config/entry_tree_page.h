#pragma once

#include "config/options_page.h"

#include <memory>

namespace Ui {
class EntryTreePage;
}
class TreeEntries;
class Prompts;
class QTreeWidget;
class QTreeWidgetItem;
struct ConnectoidNameTable;

// A page that shows one list as a tree: a root per connectoid, under it that connectoid's
// entries in slot order.
class EntryTreePage final : public OptionsPage {
    Q_OBJECT
public:
    // namesKnown: whether the dial-up service answered when the names were read. Only then
    // can a name that is none of them be told to belong to no connectoid any more.
    EntryTreePage(const QString& helpTopic, const QString& treeName, const QString& buttonSuffix,
                  TreeEntries& list, const ConnectoidNameTable& names, bool namesKnown,
                  Prompts& prompts, QWidget* parent = nullptr);
    ~EntryTreePage() override;

    QTreeWidget* tree() const;
    // Builds the tree again from the list; selects the entry in selectSlot when there is one.
    void rebuild(int selectSlot = 0);

    void btnInsertClick();
    void btnPropertiesClick();
    void btnRemoveClick();
    void btnRefreshClick();

private:
    // The slot of the selected entry; 0 for a connectoid's root, and for no selection after
    // telling the user so.
    int selectedEntry(const QString& whenNone);

    std::unique_ptr<Ui::EntryTreePage> ui;
    TreeEntries& list_;
    const ConnectoidNameTable& names_;
    const bool namesKnown_;
    Prompts& prompts_;
};

// The slot a tree node stands for: 0 for a connectoid's root.
int slotOfNode(const QTreeWidgetItem* node);
