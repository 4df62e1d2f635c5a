#pragma once

#include "core/records.h"

#include <QWidget>

#include <memory>

namespace Ui {
class Pop3Page;
}
class EntryList;
class Prompts;

// The "POP3" page: the mail accounts and the output of a check of one of them.
class Pop3Page final : public QWidget {
    Q_OBJECT
public:
    Pop3Page(POP3Table& table, Prompts& prompts, QWidget* parent = nullptr);
    ~Pop3Page() override;

    void refresh();

private:
    void edit(int slot, bool inserting);

    std::unique_ptr<Ui::Pop3Page> ui;
    POP3Table& table_;
    EntryList* entries_ = nullptr;
};
