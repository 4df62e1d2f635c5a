#include "tools/pop3_page.h"

#include "ui_pop3_page.h"

#include "tools/entry_list.h"
#include "tools/tfrm_insert_pop3.h"
#include "tools/tool_run.h"

Pop3Page::Pop3Page(POP3Table& table, Prompts& prompts, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::Pop3Page>()), table_(table) {
    ui->setupUi(this);
    auto actions = EntryList::tableActions(
        table_, [this](int slot, bool inserting) { edit(slot, inserting); },
        [](const typPOP3Information& p, int) {
            return QStringList{p.Server, p.User_Name, masked(p.Password),
                               trueFalse(p.Include_In_Startup_Check)};
        });
    entries_ = new EntryList(
        ui->lstvPOP3General, prompts,
        {QStringLiteral("POP3 Entry"),
         QStringLiteral("The POP3 section has a maximum capacity of "),
         QStringLiteral("To add another POP3 entry you will need to remove an existing entry "
                        "first."),
         POP3Table::Capacity},
        std::move(actions));
    entries_->connectButtons(ui->cmdPOP3Refresh, ui->cmdPOP3Insert, ui->cmdPOP3Properties,
                             ui->cmdPOP3Remove);
    prepareToolRun(ui->cmdPOP3, ui->cmdPOP3Cancel, ui->memoPOP3Output);
}

Pop3Page::~Pop3Page() = default;

void Pop3Page::refresh() {
    entries_->refresh();
}

void Pop3Page::edit(int slot, bool inserting) {
    TfrmInsertPOP3 dialog(inserting ? nullptr : &table_[slot], this);
    if (dialog.exec() == QDialog::Accepted)
        table_[slot] = dialog.record();
}
