#include "tools/ping_page.h"

#include "ui_ping_page.h"

#include "core/settings.h"
#include "platform/icmp_echo.h"
#include "tools/ping_session.h"
#include "tools/tool_run.h"

PingPage::PingPage(ToolHostTable& table, Prompts& prompts, const typSettings& settings,
                   std::unique_ptr<IcmpEcho> echo, QWidget* parent)
    : HostListPage(table, prompts, parent), ui(std::make_unique<Ui::PingPage>()),
      session_(new PingSession(std::move(echo), prompts, this)) {
    ui->setupUi(this);
    setUp(TfrmInsertToolDefault::Tool::Ping,
          {QStringLiteral("Ping Entry"),
           QStringLiteral("The ping section has a maximum capacity of "),
           QStringLiteral("To add another ping entry you will need to remove an existing "
                          "entry first."),
           ToolHostTable::Capacity},
          {ui->lstvPingGeneral, ui->cmdPingRefresh, ui->cmdPingInsert, ui->cmdPingProperties,
           ui->cmdPingRemove});
    attachToolRun(session_, &PingSession::pingEnabled, ui->cmdPing, ui->cmdPingCancel,
                  ui->memoPingOutput, entries(),
                  [this, &settings] { session_->ping(selectedEntry(), settings.Repeat_Ping); });
}

PingPage::~PingPage() = default;

void PingPage::stop() {
    session_->stop();
}
