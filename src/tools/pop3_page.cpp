#include "tools/pop3_page.h"

#include "ui_pop3_page.h"

#include "tools/entry_list.h"
#include "tools/pop3_check_session.h"
#include "tools/tfrm_insert_pop3.h"
#include "tools/tool_run.h"

Pop3Page::Pop3Page(POP3Table& table, Prompts& prompts, const typSettings& settings,
                   std::function<bool()> callInProgress, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::Pop3Page>()), table_(table),
      session_(new Pop3CheckSession(prompts, this)) {
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

    attachToolRun(session_, &Pop3CheckSession::pop3Enabled, ui->cmdPOP3, ui->cmdPOP3Cancel,
                  ui->memoPOP3Output, *entries_,
                  [this, &settings, callInProgress = std::move(callInProgress)] {
                      session_->check(selectedAccount(), settings, callInProgress());
                  });
    connect(session_, &Pop3CheckSession::captionChanged, ui->groupPOP3Output, &QGroupBox::setTitle);
    // Busy until "*** Finish ***", but the page stays usable: Cancel is pressed meanwhile.
    connect(session_, &Pop3CheckSession::buttonsChanged, this, [this] {
        if (session_->running())
            setCursor(Qt::BusyCursor);
        else
            unsetCursor();
    });
}

Pop3Page::~Pop3Page() = default;

void Pop3Page::refresh() {
    entries_->refresh();
}

const typPOP3Information* Pop3Page::selectedAccount() const {
    const int slot = entries_->selectedSlot();
    return slot > 0 ? &table_[slot] : nullptr;
}

void Pop3Page::stop() {
    session_->cancel();
}

void Pop3Page::edit(int slot, bool inserting) {
    TfrmInsertPOP3 dialog(inserting ? nullptr : &table_[slot], this);
    if (dialog.exec() == QDialog::Accepted)
        table_[slot] = dialog.record();
}
