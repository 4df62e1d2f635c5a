#include "tools/entry_list.h"

#include "core/prompts.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTreeWidget>

namespace {

constexpr int SlotRole = Qt::UserRole;

// Rows compare by the text of the sorted column, ignoring case first.
class EntryItem final : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        const QString a = text(column), b = other.text(column);
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    }
};

} // namespace

QString capacityMessage(const EntryListTexts& texts) {
    return texts.capacityFirst + QString::number(texts.capacity) +
           QStringLiteral(" entries.\n\r\n\r") + texts.capacitySecond;
}

QString trueFalse(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

QString masked(const QString& text) {
    return QString(text.size(), u'*');
}

EntryList::EntryList(QTreeWidget* list, Prompts& prompts, EntryListTexts texts, Actions actions)
    : QObject(list), list_(list), prompts_(prompts), texts_(std::move(texts)),
      actions_(std::move(actions)) {
    list_->setRootIsDecorated(false);
    list_->setItemsExpandable(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->installEventFilter(this);
    connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { Q_EMIT activated(); });
}

void EntryList::connectButtons(QPushButton* refresh, QPushButton* insert, QPushButton* properties,
                               QPushButton* remove) {
    connect(refresh, &QPushButton::clicked, this, &EntryList::refresh);
    connect(insert, &QPushButton::clicked, this, &EntryList::insert);
    connect(properties, &QPushButton::clicked, this, &EntryList::properties);
    connect(remove, &QPushButton::clicked, this, &EntryList::remove);
}

void EntryList::refresh() {
    const int keep = selectedSlot();
    list_->clear();
    const QList<QStringList> rows = actions_.rows();
    for (int i = 0; i < rows.size(); ++i) {
        auto* item = new EntryItem(list_, rows[i]);
        item->setData(0, SlotRole, i + 1);
    }
    if (sortColumn_ >= 0)
        list_->sortItems(sortColumn_, sortOrder_);
    for (int c = 0; c < list_->columnCount(); ++c) {
        if (!list_->isColumnHidden(c))
            list_->resizeColumnToContents(c);
    }
    selectSlot(keep);
}

int EntryList::selectedSlot() const {
    const QList<QTreeWidgetItem*> selected = list_->selectedItems();
    return selected.isEmpty() ? 0 : selected.first()->data(0, SlotRole).toInt();
}

void EntryList::selectSlot(int slot) {
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = list_->topLevelItem(i);
        if (item->data(0, SlotRole).toInt() == slot && slot > 0) {
            list_->setCurrentItem(item);
            return;
        }
    }
}

void EntryList::insert() {
    const int slot = actions_.findFree();
    if (slot == 0) {
        prompts_.warning(capacityMessage(texts_));
        return;
    }
    actions_.insert(slot);
    refresh();
    selectSlot(slot);
}

void EntryList::properties() {
    const int slot = selectedSlot();
    if (slot == 0) {
        prompts_.warning(QStringLiteral("You must select a %1 from the list above before the "
                                        "properties can be displayed.")
                             .arg(texts_.entry));
        return;
    }
    actions_.properties(slot);
    refresh();
}

void EntryList::remove() {
    const int slot = selectedSlot();
    if (slot == 0) {
        prompts_.warning(
            QStringLiteral("You must select a %1 from the list above before it can be removed.")
                .arg(texts_.entry));
        return;
    }
    // The row that takes the removed one's place on screen is selected next, so that
    // Delete can be pressed again.
    const int row = list_->indexOfTopLevelItem(list_->selectedItems().first());
    actions_.remove(slot);
    refresh();
    if (list_->topLevelItemCount() > 0)
        list_->setCurrentItem(list_->topLevelItem(qMin(row, list_->topLevelItemCount() - 1)));
}

void EntryList::sortBy(int column, Qt::SortOrder order) {
    sortColumn_ = column;
    sortOrder_ = order;
    list_->header()->setSortIndicatorShown(true);
    list_->sortItems(column, order);
}

void EntryList::sortOnHeaderClick() {
    list_->header()->setSectionsClickable(true);
    connect(list_->header(), &QHeaderView::sectionClicked, this, [this](int column) {
        const bool again = column == sortColumn_;
        sortBy(column, again && sortOrder_ == Qt::AscendingOrder ? Qt::DescendingOrder
                                                                 : Qt::AscendingOrder);
    });
}

bool EntryList::eventFilter(QObject* watched, QEvent* event) {
    if (watched != list_ || event->type() != QEvent::KeyPress || !list_->isEnabled())
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & ~Qt::KeypadModifier)
        return false;
    switch (key->key()) {
    case Qt::Key_Insert:
        insert();
        return true;
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
        remove();
        return true;
    default:
        return false;
    }
}
