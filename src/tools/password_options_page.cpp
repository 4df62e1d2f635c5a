#include "tools/password_options_page.h"

#include "ui_password_options_page.h"

PasswordOptionsPage::PasswordOptionsPage(typSettings& settings, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::PasswordOptionsPage>()) {
    ui->setupUi(this);
    bindings_.text(ui->txtSecurityPassword, settings.Password);
    const struct {
        QCheckBox* box;
        bool& setting;
    } alwaysShow[] = {{ui->chkShowAlwaysCompany, settings.Show_Always_Company},
                      {ui->chkShowAlwaysUsername, settings.Show_Always_Username},
                      {ui->chkShowAlwaysPassword, settings.Show_Always_Password},
                      {ui->chkShowAlwaysComments, settings.Show_Always_Comments}};
    for (const auto& field : alwaysShow) {
        bindings_.check(field.box, field.setting);
        connect(field.box, &QCheckBox::toggled, this, &PasswordOptionsPage::alwaysShowChanged);
    }
}

PasswordOptionsPage::~PasswordOptionsPage() = default;
