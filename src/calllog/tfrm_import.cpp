#include "calllog/tfrm_import.h"

#include "ui_tfrm_import.h"

#include "calllog/call_log_file.h"
#include "calllog/call_log_import.h"
#include "core/prompts.h"
#include "platform/help.h"
#include "widgets/window_frame.h"

#include <QDir>

namespace {
const QString NoLogsItem = QStringLiteral("No log files were found to import");
const QString NoLogsError = QStringLiteral("No log files were found to import.");
const QString ImportHelpTopic = QStringLiteral("log#import");
} // namespace

TfrmImport::TfrmImport(const QString& logsFolder, const QString& userName, Prompts& prompts,
                       Help& help, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TfrmImport>()), logsFolder_(logsFolder),
      userName_(userName), prompts_(prompts), help_(help) {
    ui->setupUi(this);
    const QStringList names = calllog::importableLogs(logsFolder_);
    if (names.isEmpty()) {
        ui->cboFilename->addItem(NoLogsItem);
        ui->cmdOK->setEnabled(false);
    } else {
        ui->cboFilename->addItems(names);
    }
    ui->cboFilename->setCurrentIndex(0);
    connect(ui->cmdOK, &QPushButton::clicked, this, &TfrmImport::cmdOKClick);
    connect(ui->cmdCancel, &QPushButton::clicked, this, &TfrmImport::cmdCancelClick);
}

TfrmImport::~TfrmImport() = default;

void TfrmImport::cmdOKClick() {
    const QString name = ui->cboFilename->currentText();
    if (!ui->cmdOK->isEnabled() || name.isEmpty() || name == NoLogsItem) {
        prompts_.error(NoLogsError);
        return;
    }
    const QString path = QDir(logsFolder_).filePath(name);
    const QString br = QStringLiteral("\n\r");
    const Prompts::Answer answer = prompts_.askYesNoHelp(
        QStringLiteral("Are you sure you want to append the following call log to your existing "
                       "log entries?") +
        br + br + QDir::toNativeSeparators(path) + br + br +
        QStringLiteral("You must ensure the file selected is a VORN log file and is in the "
                       "correct format.  If needed click \"Help\" and refer to the import "
                       "section for futher details."));
    if (answer == Prompts::Answer::Help)
        help_.open(ImportHelpTopic);
    if (answer != Prompts::Answer::Yes)
        return;
    calllog::ImportResult result;
    {
        Hourglass wait;
        result = calllog::importOldLog(path, calllog::logFilePath(logsFolder_), userName_);
    }
    if (!result.ok)
        prompts_.error(result.error + br + br +
                       QStringLiteral("Nothing has been imported; the call log is as it was."));
    accept();
}

void TfrmImport::cmdCancelClick() {
    reject();
}
