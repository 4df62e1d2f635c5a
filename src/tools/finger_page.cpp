#include "tools/finger_page.h"

#include "ui_finger_page.h"

FingerPage::FingerPage(ToolHostTable& table, Prompts& prompts, QWidget* parent)
    : HostListPage(table, prompts, parent), ui(std::make_unique<Ui::FingerPage>()) {
    ui->setupUi(this);
    setUp(TfrmInsertToolDefault::Tool::Finger,
          {QStringLiteral("Finger Entry"),
           QStringLiteral("The finger section has a maximum capacity of "),
           QStringLiteral("To add another finger entry you will need to remove an existing "
                          "entry first."),
           ToolHostTable::Capacity},
          {ui->lstvFingerGeneral, ui->cmdFingerRefresh, ui->cmdFingerInsert,
           ui->cmdFingerProperties, ui->cmdFingerRemove, ui->cmdFinger, ui->cmdFingerCancel,
           ui->memoFingerOutput});
}

FingerPage::~FingerPage() = default;
