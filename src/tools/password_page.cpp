#include "tools/password_page.h"

#include "ui_password_page.h"

#include "core/lists.h"
#include "core/prompts.h"
#include "tools/entry_list.h"
#include "tools/tfrm_insert_password_keeper.h"
#include "tools/tfrm_password_detail.h"
#include "tools/tfrm_security.h"

#include <QHeaderView>

namespace {
enum Column { Company, UserName, Password, Comments, RecordNumber };
} // namespace

PasswordPage::PasswordPage(const typSettings& settings, PasswordTable& table, Prompts& prompts,
                           QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::PasswordPage>()), settings_(settings), table_(table),
      prompts_(prompts) {
    ui->setupUi(this);
    ui->lstvPasswordKeeper->setColumnHidden(RecordNumber, true);
    // The hidden record number is the last column: the comments take the room left.
    QHeaderView* header = ui->lstvPasswordKeeper->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(Comments, QHeaderView::Stretch);

    auto actions = EntryList::tableActions(
        table_, [this](int slot, bool inserting) { edit(slot, inserting); },
        [this](const typPasswordInformation& p, int slot) {
            const auto shown = [](bool always, const QString& text) {
                return always ? text : masked(text);
            };
            return QStringList{shown(settings_.Show_Always_Company, p.Company),
                               shown(settings_.Show_Always_Username, p.UserName),
                               shown(settings_.Show_Always_Password, p.Password),
                               shown(settings_.Show_Always_Comments, p.Comments),
                               QString::number(slot)};
        });
    entries_ = new EntryList(
        ui->lstvPasswordKeeper, prompts,
        {QStringLiteral("Password Database Entry"),
         QStringLiteral("The Password Database section has a maximum capacity of "),
         QStringLiteral("To add another Password Database entry you will need to remove an "
                        "existing entry first."),
         PasswordTable::Capacity},
        std::move(actions));
    entries_->connectButtons(ui->cmdPasswordRefresh, ui->cmdPasswordInsert,
                             ui->cmdPasswordProperties, ui->cmdPasswordRemove);
    entries_->sortOnHeaderClick();
    connect(ui->cmdPasswordView, &QPushButton::clicked, this, &PasswordPage::cmdPasswordViewClick);
    connect(entries_, &EntryList::activated, this, &PasswordPage::cmdPasswordViewClick);
    enableCommands(false);
}

PasswordPage::~PasswordPage() = default;

bool PasswordPage::guard() {
    if (!unlocked_) {
        if (settings_.Password.isEmpty()) {
            unlocked_ = true;
        } else {
            TfrmSecurity security(this);
            security.exec();
            unlocked_ = security.enteredPassword() == settings_.Password;
        }
    }
    QTreeWidget* list = ui->lstvPasswordKeeper;
    if (!unlocked_) {
        list->clear();
        new QTreeWidgetItem(list, {QStringLiteral("Access Denied")});
        enableCommands(false);
        return false;
    }
    enableCommands(true);
    entries_->sortBy(Company, Qt::AscendingOrder);
    entries_->refresh();
    return true;
}

void PasswordPage::refresh() {
    if (unlocked_)
        entries_->refresh();
}

void PasswordPage::enableCommands(bool enabled) {
    const QList<QWidget*> commands = {ui->lstvPasswordKeeper, ui->cmdPasswordRefresh,
                                      ui->cmdPasswordInsert,  ui->cmdPasswordProperties,
                                      ui->cmdPasswordRemove,  ui->cmdPasswordView};
    for (QWidget* w : commands)
        w->setEnabled(enabled);
}

void PasswordPage::cmdPasswordViewClick() {
    const int slot = entries_->selectedSlot();
    if (slot == 0) {
        prompts_.warning(QStringLiteral("You must select a Password Database entry from the list "
                                        "before details can be displayed."));
        return;
    }
    TfrmPasswordDetail(table_[slot], this).exec();
}

void PasswordPage::edit(int slot, bool inserting) {
    TfrmInsertPasswordKeeper dialog(inserting ? nullptr : &table_[slot], prompts_, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // An entry without a company is no entry: it would leave a gap that hides the entries
    // after it, so it closes up instead.
    const typPasswordInformation entry = dialog.record();
    if (!entry.Company.isEmpty())
        table_[slot] = entry;
    else if (!inserting)
        DeletePassword(table_, slot);
}
