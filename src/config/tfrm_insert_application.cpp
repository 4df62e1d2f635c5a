#include "config/tfrm_insert_application.h"

#include "ui_tfrm_insert_application.h"

#include "config/editor_connectoids.h"
#include "config/entry_lists.h"
#include "core/prompts.h"
#include "platform/dialogs.h"
#include "widgets/edit_rules.h"

#include <QFileInfo>

namespace {
constexpr int WhenConnected = 1; // the Execute choice that waits for the delay
}

TfrmInsertApplication::TfrmInsertApplication(typApplicationInformation& working,
                                             const QString& caption, bool inserting,
                                             const ConnectoidNameTable& names,
                                             const RegionalSettings& regional, Dialogs& dialogs,
                                             Prompts& prompts, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TfrmInsertApplication>()), working_(working),
      dialogs_(dialogs), prompts_(prompts) {
    ui->setupUi(this);
    setWindowTitle(caption);
    // Room for a full path.
    setMinimumWidth(460);
    editrules::digitsOnly(ui->txtDelay, 3);
    editrules::zeroWhenInvalid(ui->txtDelay, regional);
    ui->cboWindowState->addItems(WindowStateItems);
    ui->cboExecute->addItems(ExecuteItems);
    ui->cboClose->addItems(CloseItems);

    ui->txtLocation->setText(working.Filename);
    ui->txtWorkingDirectory->setText(working.Working_Directory);
    ui->txtParameters->setText(working.Parameters);
    fillConnectoidList(ui->cboConnectoidName, names, false, working.Connectoid_Name);
    ui->cboWindowState->setCurrentIndex(working.Window_State);
    ui->cboExecute->setCurrentIndex(working.Execute);
    ui->cboClose->setCurrentIndex(working.Close);
    ui->txtDelay->setText(QString::number(working.Delay));
    // A new entry needs its program first.
    ui->btnOK->setEnabled(!inserting);

    connect(ui->cboExecute, &QComboBox::currentIndexChanged, this,
            &TfrmInsertApplication::applyExecuteRule);
    connect(ui->btnLocation, &QPushButton::clicked, this, &TfrmInsertApplication::btnLocationClick);
    connect(ui->btnOK, &QPushButton::clicked, this, &TfrmInsertApplication::btnOKClick);
    connect(ui->btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    applyExecuteRule();
}

TfrmInsertApplication::~TfrmInsertApplication() = default;

QString TfrmInsertApplication::NotExecutableWarning(const QString& path) {
    return QStringLiteral("%1 is not a program that can be started: it is not executable.")
        .arg(path);
}

void TfrmInsertApplication::applyExecuteRule() {
    const bool delayed = ui->cboExecute->currentIndex() == WhenConnected;
    ui->txtDelay->setEnabled(delayed);
    ui->lblDelay->setEnabled(delayed);
    if (!delayed)
        ui->txtDelay->setText(QStringLiteral("0"));
}

void TfrmInsertApplication::btnLocationClick() {
    Dialogs::FileChoice choice;
    choice.title = QStringLiteral("Insert Application");
    choice.filter = QStringLiteral("All files (*)");
    if (!ui->txtLocation->text().isEmpty())
        choice.folder = QFileInfo(ui->txtLocation->text()).absolutePath();
    const std::optional<QString> chosen = dialogs_.openFile(choice);
    if (!chosen)
        return;
    const QFileInfo file(*chosen);
    // The choice stands (it may be made executable later), but the user hears that it
    // cannot be started as it is.
    if (!file.isExecutable())
        prompts_.warning(NotExecutableWarning(file.absoluteFilePath()));
    ui->txtLocation->setText(file.absoluteFilePath());
    ui->txtWorkingDirectory->setText(file.absolutePath());
    ui->btnOK->setEnabled(true);
}

void TfrmInsertApplication::btnOKClick() {
    editrules::applyEditRules(this);
    working_.Filename = ui->txtLocation->text();
    working_.Working_Directory = ui->txtWorkingDirectory->text();
    working_.Parameters = ui->txtParameters->text();
    working_.Connectoid_Name = ui->cboConnectoidName->currentText();
    working_.Window_State = ui->cboWindowState->currentIndex();
    working_.Execute = ui->cboExecute->currentIndex();
    working_.Close = ui->cboClose->currentIndex();
    working_.Delay = ui->txtDelay->text().toInt();
    accept();
}
