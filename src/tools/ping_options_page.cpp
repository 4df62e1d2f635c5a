#include "tools/ping_options_page.h"

#include "ui_ping_options_page.h"

PingOptionsPage::PingOptionsPage(typSettings& settings, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::PingOptionsPage>()) {
    ui->setupUi(this);
    bindings_.index(ui->cboRepeatPing, settings.Repeat_Ping);
}

PingOptionsPage::~PingOptionsPage() = default;
