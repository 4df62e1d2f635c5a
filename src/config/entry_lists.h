#pragma once

#include "core/lists.h"
#include "widgets/window_frame.h" // PropertiesCaption

#include <QString>

#include <functional>

struct RegionalSettings;

// The three lists the options dialog shows as trees (charge bands, further details,
// applications): their texts, the caption of an entry, and how an entry is inserted,
// edited and removed. The tree page does the same for each through this.
class TreeEntries {
public:
    struct Texts {
        QString frameCaption;
        QString insertCaption;
        QString capacityMessage;
        QString selectForProperties;
        QString selectForRemoval;
    };

    explicit TreeEntries(Texts texts) : texts_(std::move(texts)) {}
    virtual ~TreeEntries() = default;

    const Texts& texts() const { return texts_; }
    virtual int capacity() const = 0;
    virtual bool isUsed(int slot) const = 0;
    virtual QString connectoid(int slot) const = 0;
    virtual void setConnectoid(int slot, const QString& name) = 0;
    virtual QString caption(int slot) const = 0;
    // The first free slot, 0 when the list is full.
    virtual int findFree() const = 0;
    virtual void remove(int slot) = 0;
    // Edits a fresh entry and, on OK, stores it in slot (a free one). Returns whether it did.
    virtual bool insert(int slot) = 0;
    // Edits the entry in slot; Cancel leaves it as it was.
    virtual void properties(int slot) = 0;

private:
    Texts texts_;
};

// One table as TreeEntries. The entry being edited is a working record of the table's type
// that outlives each editor, so that a new entry can start from the last one.
template <typename Table> class TableEntries final : public TreeEntries {
public:
    using Record = typename Table::Record;
    using Caption = std::function<QString(const Record&)>;
    // The record an insert starts from, given the last working record.
    using Fresh = std::function<Record(const Record&)>;
    // Runs an editor on the working record under a caption; true when it ended with OK.
    using Editor = std::function<bool(Record&, const QString& caption, bool inserting)>;

    TableEntries(Table& table, Texts texts, Caption caption, Fresh fresh, Editor editor)
        : TreeEntries(std::move(texts)), table_(table), caption_(std::move(caption)),
          fresh_(std::move(fresh)), editor_(std::move(editor)) {}

    int capacity() const override { return Table::Capacity; }
    bool isUsed(int slot) const override { return !isFreeSlot(table_[slot]); }
    QString connectoid(int slot) const override { return table_[slot].Connectoid_Name; }
    void setConnectoid(int slot, const QString& name) override {
        table_[slot].Connectoid_Name = name;
    }
    QString caption(int slot) const override { return caption_(table_[slot]); }
    int findFree() const override { return findFreeSlot(table_); }
    void remove(int slot) override { deleteAtIndex(table_, slot); }
    bool insert(int slot) override {
        working_ = fresh_(working_);
        if (!editor_(working_, texts().insertCaption, true))
            return false;
        table_[slot] = working_;
        return true;
    }
    void properties(int slot) override {
        working_ = table_[slot];
        editor_(working_, PropertiesCaption, false);
        table_[slot] = working_;
        // An entry the editor emptied would leave a gap that hides the entries after it.
        if (isFreeSlot(table_[slot]))
            deleteAtIndex(table_, slot);
    }

private:
    Table& table_;
    Caption caption_;
    Fresh fresh_;
    Editor editor_;
    Record working_{};
};

extern const TreeEntries::Texts CostingTexts;
extern const TreeEntries::Texts FurtherDetailTexts;
extern const TreeEntries::Texts ApplicationTexts;

// What a tree shows of an entry. decimalPlaces is Decimal_Places_Charge_Bands.
QString CostingCaption(const typCostingInformation& band, int decimalPlaces,
                       const RegionalSettings& regional);
QString FurtherDetailCaption(const typCostingFurtherDetailInformation& detail, int decimalPlaces,
                             const RegionalSettings& regional);
QString ApplicationCaption(const typApplicationInformation& application);

// The choices of the application editor's lists, also named in the tree.
extern const QStringList WindowStateItems;
extern const QStringList ExecuteItems;
extern const QStringList CloseItems;
