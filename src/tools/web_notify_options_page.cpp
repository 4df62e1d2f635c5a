#include "tools/web_notify_options_page.h"

#include "ui_web_notify_options_page.h"

#include "core/lists.h"
#include "core/prompts.h"
#include "platform/dialogs.h"
#include "tools/entry_list.h"
#include "widgets/edit_rules.h"

#include <QDir>

WebNotifyOptionsPage::WebNotifyOptionsPage(typSettings& settings, AutoExcludeTable& autoExcludes,
                                           Prompts& prompts, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::WebNotifyOptionsPage>()), settings_(settings),
      autoExcludes_(autoExcludes), prompts_(prompts), dialogs_(dialogs) {
    ui->setupUi(this);
    bindings_.text(ui->txtURLFolderLocation, settings.URL_Folder_Location);
    bindings_.index(ui->cboSimultaneousConnections, settings.Simultaneous_Connections);
    bindings_.index(ui->cboWebNotifyRetries, settings.Web_Notify_Retries);
    bindings_.index(ui->cboWebNotifyTimeOut, settings.Web_Notify_Time_Out);
    bindings_.index(ui->cboPageSizeMargin, settings.Web_Notify_Page_Size_Margin);
    bindings_.check(ui->chkPageSizeChanges, settings.Web_Notify_Page_Size_Changes);
    bindings_.check(ui->chkLastUpdatedChanges, settings.Web_Notify_Last_Updated_Changes);
    bindings_.check(ui->chkRecurseFramePages, settings.Recurse_Frame_Pages);
    bindings_.check(ui->chkUseLastUpdatedOnly, settings.Use_Last_Updated_Only);
    bindings_.text(ui->txtProxy, settings.Proxy);
    editrules::digitsOnly(ui->txtProxyPort, 5);
    editrules::clampWhole(ui->txtProxyPort, 0, 65535, QStringLiteral("0"));
    bindings_.number(ui->txtProxyPort, settings.Proxy_Port);
    bindings_.text(ui->txtProxyUserName, settings.Proxy_UserName);
    bindings_.text(ui->txtProxyPassword, settings.Proxy_Password);

    connect(ui->chkPageSizeChanges, &QCheckBox::toggled, this,
            [this](bool on) { keepOneWayOfJudging(on, ui->chkLastUpdatedChanges); });
    connect(ui->chkLastUpdatedChanges, &QCheckBox::toggled, this,
            [this](bool on) { keepOneWayOfJudging(on, ui->chkPageSizeChanges); });
    connect(ui->cmdURLFolderLocation, &QPushButton::clicked, this,
            &WebNotifyOptionsPage::cmdURLFolderLocationClick);
    connect(ui->cmdAutoExcludeInsert, &QPushButton::clicked, this,
            &WebNotifyOptionsPage::cmdAutoExcludeInsertClick);
    connect(ui->cmdAutoExcludeRemove, &QPushButton::clicked, this,
            &WebNotifyOptionsPage::cmdAutoExcludeRemoveClick);
    connect(ui->cmdAutoExcludeDefaults, &QPushButton::clicked, this,
            &WebNotifyOptionsPage::cmdAutoExcludeDefaultsClick);
}

WebNotifyOptionsPage::~WebNotifyOptionsPage() = default;

void WebNotifyOptionsPage::loadSettings() {
    bindings_.load();
    // Settings edited by hand may have both off.
    if (!ui->chkPageSizeChanges->isChecked() && !ui->chkLastUpdatedChanges->isChecked())
        ui->chkPageSizeChanges->setChecked(true);
    fillAutoExcludes();
}

void WebNotifyOptionsPage::keepOneWayOfJudging(bool on, QCheckBox* other) {
    if (!on)
        other->setChecked(true);
}

void WebNotifyOptionsPage::cmdURLFolderLocationClick() {
    const QString start =
        settings_.URL_Folder_Location.isEmpty() ? QDir::homePath() : settings_.URL_Folder_Location;
    const auto folder = dialogs_.chooseFolder(QStringLiteral("Please specify a directory"), start);
    if (folder && !folder->isEmpty())
        ui->txtURLFolderLocation->setText(*folder);
}

void WebNotifyOptionsPage::fillAutoExcludes() {
    ui->lstAutoExclude->clear();
    for (int i = 1; i <= usedCount(autoExcludes_); ++i)
        ui->lstAutoExclude->addItem(autoExcludes_[i].Text);
}

void WebNotifyOptionsPage::cmdAutoExcludeInsertClick() {
    const int slot = FindFreeAutoExclude(autoExcludes_);
    if (slot == 0) {
        prompts_.warning(capacityMessage(
            {QString(), QStringLiteral("The auto exclude section has a maximum capacity of "),
             QStringLiteral("To add another auto exclude entry you will need to remove an "
                            "existing entry first."),
             AutoExcludeTable::Capacity}));
        return;
    }
    const auto entry = dialogs_.askText(QStringLiteral("Insert Auto Exclude"),
                                        QStringLiteral("Auto Exclude Entry"));
    if (!entry || entry->isEmpty())
        return;
    autoExcludes_[slot].Text = *entry;
    fillAutoExcludes();
    ui->lstAutoExclude->setCurrentRow(slot - 1);
    Q_EMIT autoExcludesChanged();
}

void WebNotifyOptionsPage::cmdAutoExcludeRemoveClick() {
    const int row = ui->lstAutoExclude->currentRow();
    if (row < 0 || !ui->lstAutoExclude->currentItem()->isSelected()) {
        prompts_.warning(QStringLiteral("You must select an Auto Exclude Entry from the list above "
                                        "before it can be removed."));
        return;
    }
    DeleteAutoExclude(autoExcludes_, row + 1);
    fillAutoExcludes();
    ui->lstAutoExclude->setCurrentRow(qMin(row, ui->lstAutoExclude->count() - 1));
    Q_EMIT autoExcludesChanged();
}

void WebNotifyOptionsPage::cmdAutoExcludeDefaultsClick() {
    if (!prompts_.askYesNo(
            QStringLiteral("Are you sure you want to reset the auto exclude entries?")))
        return;
    SetDefaultAutoExcludes(autoExcludes_);
    fillAutoExcludes();
    Q_EMIT autoExcludesChanged();
}
