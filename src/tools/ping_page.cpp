#include "tools/ping_page.h"

#include "ui_ping_page.h"

PingPage::PingPage(ToolHostTable& table, Prompts& prompts, QWidget* parent)
    : HostListPage(table, prompts, parent), ui(std::make_unique<Ui::PingPage>()) {
    ui->setupUi(this);
    setUp(TfrmInsertToolDefault::Tool::Ping,
          {QStringLiteral("Ping Entry"),
           QStringLiteral("The ping section has a maximum capacity of "),
           QStringLiteral("To add another ping entry you will need to remove an existing "
                          "entry first."),
           ToolHostTable::Capacity},
          {ui->lstvPingGeneral, ui->cmdPingRefresh, ui->cmdPingInsert, ui->cmdPingProperties,
           ui->cmdPingRemove, ui->cmdPing, ui->cmdPingCancel, ui->memoPingOutput});
}

PingPage::~PingPage() = default;
