#pragma once

#include "core/list_table.h"

#include <QObject>
#include <QStringList>

#include <functional>

class Prompts;
class QPushButton;
class QTreeWidget;

// What the messages of one list call its entries and how many it holds.
struct EntryListTexts {
    QString entry;          // as the selection messages name an entry: "Ping Entry"
    QString capacityFirst;  // the full-list message before the capacity ...
    QString capacitySecond; // ... and after it
    int capacity = 0;
};

// The full-list message: first part, capacity, " entries.", a blank line, second part.
QString capacityMessage(const EntryListTexts& texts);

// How the lists show a flag, and a secret: one "*" per character.
QString trueFalse(bool value);
QString masked(const QString& text);

// The conventions the tool lists share: Insert, Properties and Remove with their keys
// (Insert; Delete or Backspace), the messages for a missing selection and a full list, a
// double-click that runs the list's tool, and rows that remember their slot so that every
// command finds its record whatever the order on screen.
class EntryList final : public QObject {
    Q_OBJECT
public:
    struct Actions {
        std::function<int()> findFree;            // 0 when the table is full
        std::function<void(int slot)> insert;     // asks for the entry of a free slot
        std::function<void(int slot)> properties; // edits a used slot
        std::function<void(int slot)> remove;     // deletes a used slot
        std::function<QList<QStringList>()> rows; // the columns of slots 1, 2, ...
    };

    // The actions over one table whose entries one dialog edits: edit(slot, inserting)
    // runs it, row(entry, slot) gives an entry's columns.
    template <typename Table>
    static Actions
    tableActions(Table& table, std::function<void(int slot, bool inserting)> edit,
                 std::function<QStringList(const typename Table::Record&, int slot)> row) {
        Actions a;
        a.findFree = [&table] { return findFreeSlot(table); };
        a.insert = [edit](int slot) { edit(slot, true); };
        a.properties = [edit](int slot) { edit(slot, false); };
        a.remove = [&table](int slot) { deleteAtIndex(table, slot); };
        a.rows = [&table, row] {
            QList<QStringList> rows;
            for (int i = 1; i <= usedCount(table); ++i)
                rows.append(row(table[i], i));
            return rows;
        };
        return a;
    }

    EntryList(QTreeWidget* list, Prompts& prompts, EntryListTexts texts, Actions actions);

    // The list's Refresh, Insert, Properties and Remove buttons.
    void connectButtons(QPushButton* refresh, QPushButton* insert, QPushButton* properties,
                        QPushButton* remove);

    // Redraws the rows from the table, keeping the selected slot when it is still there.
    void refresh();
    void insert();
    void properties();
    void remove();

    // The slot of the selected row, or 0.
    int selectedSlot() const;
    void selectSlot(int slot);

    // Sorted by a column's text, ignoring case; clicking a column's header sorts by it,
    // clicking it again turns the order round.
    void sortBy(int column, Qt::SortOrder order);
    void sortOnHeaderClick();

Q_SIGNALS:
    // A row was double-clicked: the list's tool runs (or the entry is shown).
    void activated();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTreeWidget* list_;
    Prompts& prompts_;
    EntryListTexts texts_;
    Actions actions_;
    int sortColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};
