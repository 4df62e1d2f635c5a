#include "tools/finger_page.h"

#include "ui_finger_page.h"

#include "tools/finger_session.h"
#include "tools/tool_run.h"

FingerPage::FingerPage(ToolHostTable& table, Prompts& prompts, QWidget* parent)
    : HostListPage(table, prompts, parent), ui(std::make_unique<Ui::FingerPage>()),
      session_(new FingerSession(prompts, this)) {
    ui->setupUi(this);
    setUp(TfrmInsertToolDefault::Tool::Finger,
          {QStringLiteral("Finger Entry"),
           QStringLiteral("The finger section has a maximum capacity of "),
           QStringLiteral("To add another finger entry you will need to remove an existing "
                          "entry first."),
           ToolHostTable::Capacity},
          {ui->lstvFingerGeneral, ui->cmdFingerRefresh, ui->cmdFingerInsert,
           ui->cmdFingerProperties, ui->cmdFingerRemove});
    // The query never blocks, so there is no hourglass to show.
    attachToolRun(session_, &FingerSession::fingerEnabled, ui->cmdFinger, ui->cmdFingerCancel,
                  ui->memoFingerOutput, entries(), [this] { session_->finger(selectedEntry()); });
}

FingerPage::~FingerPage() = default;

void FingerPage::stop() {
    session_->cancel();
}
