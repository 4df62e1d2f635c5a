#pragma once

#include "tools/host_list_page.h"

#include <memory>

namespace Ui {
class PingPage;
}

// The "Ping" page: the hosts to ping and the ping tool's output.
class PingPage final : public HostListPage {
    Q_OBJECT
public:
    PingPage(ToolHostTable& table, Prompts& prompts, QWidget* parent = nullptr);
    ~PingPage() override;

private:
    std::unique_ptr<Ui::PingPage> ui;
};
