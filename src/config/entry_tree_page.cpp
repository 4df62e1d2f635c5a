#include "config/entry_tree_page.h"

#include "ui_entry_tree_page.h"

#include "calllog/connectoid_list.h"
#include "config/entry_lists.h"
#include "core/prompts.h"

#include <QSet>
#include <QShortcut>

namespace {
constexpr int SlotRole = Qt::UserRole;

QStringList nonEmpty(const ConnectoidNameTable& table) {
    QStringList names;
    for (const QString& name : table.slots) {
        if (!name.isEmpty())
            names << name;
    }
    return names;
}
} // namespace

int slotOfNode(const QTreeWidgetItem* node) {
    return node ? node->data(0, SlotRole).toInt() : 0;
}

EntryTreePage::EntryTreePage(const QString& helpTopic, const QString& treeName,
                             const QString& buttonSuffix, TreeEntries& list,
                             const ConnectoidNameTable& names, bool namesKnown, Prompts& prompts,
                             QWidget* parent)
    : OptionsPage(helpTopic, parent), ui(std::make_unique<Ui::EntryTreePage>()), list_(list),
      names_(names), namesKnown_(namesKnown), prompts_(prompts) {
    ui->setupUi(this);
    ui->trvEntries->setObjectName(treeName);
    for (QPushButton* button : {ui->btnInsert, ui->btnProperties, ui->btnRemove, ui->btnRefresh})
        button->setObjectName(button->objectName() + buttonSuffix);
    ui->groupEntries->setTitle(list.texts().frameCaption);
    ui->trvEntries->setEditTriggers(QAbstractItemView::NoEditTriggers);

    connect(ui->btnInsert, &QPushButton::clicked, this, &EntryTreePage::btnInsertClick);
    connect(ui->btnProperties, &QPushButton::clicked, this, &EntryTreePage::btnPropertiesClick);
    connect(ui->btnRemove, &QPushButton::clicked, this, &EntryTreePage::btnRemoveClick);
    connect(ui->btnRefresh, &QPushButton::clicked, this, &EntryTreePage::btnRefreshClick);
    connect(ui->trvEntries, &QTreeWidget::itemDoubleClicked, this,
            &EntryTreePage::btnPropertiesClick);
    const auto key = [this](QKeySequence sequence, void (EntryTreePage::*handler)()) {
        auto* shortcut = new QShortcut(sequence, ui->trvEntries);
        shortcut->setContext(Qt::WidgetShortcut);
        connect(shortcut, &QShortcut::activated, this, handler);
    };
    key(QKeySequence(Qt::Key_Insert), &EntryTreePage::btnInsertClick);
    key(QKeySequence(Qt::Key_Delete), &EntryTreePage::btnRemoveClick);
    key(QKeySequence(Qt::Key_Backspace), &EntryTreePage::btnRemoveClick);
}

EntryTreePage::~EntryTreePage() = default;

QTreeWidget* EntryTreePage::tree() const {
    return ui->trvEntries;
}

void EntryTreePage::rebuild(int selectSlot) {
    QStringList roots = nonEmpty(GetConnectoidList(names_, true, true));
    const int capacity = list_.capacity();
    if (namesKnown_) {
        const QStringList known = nonEmpty(GetConnectoidList(names_, false, true));
        const QSet<QString> knownSet(known.cbegin(), known.cend());
        for (int slot = 1; slot <= capacity; ++slot) {
            if (!knownSet.contains(list_.connectoid(slot)))
                list_.setConnectoid(slot, UnknownConnectoid);
        }
    } else {
        // Without the service's answer every stored name stands: its entries get a root of
        // their own rather than a new name that the next OK would save.
        QStringList others;
        for (int slot = 1; slot <= capacity; ++slot) {
            if (list_.connectoid(slot).isEmpty())
                list_.setConnectoid(slot, UnknownConnectoid);
            const QString name = list_.connectoid(slot);
            if (list_.isUsed(slot) && !roots.contains(name) && !others.contains(name))
                others << name;
        }
        others.sort(Qt::CaseSensitive);
        roots << others;
    }

    QTreeWidget* tree = ui->trvEntries;
    tree->setUpdatesEnabled(false);
    tree->clear();
    QTreeWidgetItem* selected = nullptr;
    for (const QString& name : roots) {
        auto* root = new QTreeWidgetItem(tree, QStringList(name));
        root->setData(0, SlotRole, 0);
        for (int slot = 1; slot <= capacity; ++slot) {
            if (!list_.isUsed(slot) || list_.connectoid(slot) != name)
                continue;
            auto* child = new QTreeWidgetItem(root, QStringList(list_.caption(slot)));
            child->setData(0, SlotRole, slot);
            if (slot == selectSlot)
                selected = child;
        }
    }
    tree->expandAll();
    if (selected)
        tree->setCurrentItem(selected);
    tree->setUpdatesEnabled(true);
}

void EntryTreePage::btnInsertClick() {
    const int slot = list_.findFree();
    if (slot == 0) {
        prompts_.warning(list_.texts().capacityMessage);
        return;
    }
    list_.insert(slot);
    rebuild(slot);
}

int EntryTreePage::selectedEntry(const QString& whenNone) {
    const QTreeWidgetItem* node = ui->trvEntries->currentItem();
    if (!node)
        prompts_.warning(whenNone);
    return slotOfNode(node);
}

void EntryTreePage::btnPropertiesClick() {
    if (const int slot = selectedEntry(list_.texts().selectForProperties)) {
        list_.properties(slot);
        rebuild(slot);
    }
}

void EntryTreePage::btnRemoveClick() {
    if (const int slot = selectedEntry(list_.texts().selectForRemoval)) {
        list_.remove(slot);
        rebuild();
    }
}

void EntryTreePage::btnRefreshClick() {
    rebuild(slotOfNode(ui->trvEntries->currentItem()));
}
