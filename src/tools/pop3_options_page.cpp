#include "tools/pop3_options_page.h"

#include "ui_pop3_options_page.h"

#include "platform/dialogs.h"
#include "widgets/edit_rules.h"

#include <QFileInfo>

Pop3OptionsPage::Pop3OptionsPage(typSettings& settings, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::Pop3OptionsPage>()), settings_(settings),
      dialogs_(dialogs) {
    ui->setupUi(this);
    editrules::digitsOnly(ui->txtPort, 5);
    // A port the socket cannot use is no more use than none.
    editrules::clampWhole(ui->txtPort, 1, 65535, QStringLiteral("110"));
    bindings_.number(ui->txtPort, settings.Port_Number);
    bindings_.index(ui->cboTimeOut, settings.Time_Out);
    bindings_.index(ui->cboAdditionalLines, settings.Additional_Lines);
    bindings_.check(ui->chkCheckAtStartup, settings.Check_At_Startup);
    bindings_.check(ui->chkExecuteMailApplication, settings.Execute_Mail_Application);
    bindings_.text(ui->txtMailApplication, settings.Mail_Application);
    bindings_.text(ui->txtMailApplicationParameters, settings.Mail_Application_Parameters);
    connect(ui->cmdMailApplication, &QPushButton::clicked, this,
            &Pop3OptionsPage::cmdMailApplicationClick);
}

Pop3OptionsPage::~Pop3OptionsPage() = default;

void Pop3OptionsPage::cmdMailApplicationClick() {
    const QFileInfo current(settings_.Mail_Application);
    // Programs on Linux have no extension to filter by.
    const auto chosen = dialogs_.openFile(
        {QStringLiteral("Insert Application"), QStringLiteral("Executable files (*)"), QString(),
         settings_.Mail_Application.isEmpty() ? QStringLiteral("/usr/bin") : current.absolutePath(),
         current.fileName()});
    if (chosen && !chosen->isEmpty())
        ui->txtMailApplication->setText(*chosen);
}
