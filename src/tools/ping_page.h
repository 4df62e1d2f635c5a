#pragma once

#include "tools/host_list_page.h"

#include <memory>

namespace Ui {
class PingPage;
}
class IcmpEcho;
class PingSession;
struct typSettings;

// The "Ping" page: the hosts to ping and the ping tool's output. Each ping sends as many
// echoes as the settings' Repeat_Ping says at the moment it starts.
class PingPage final : public HostListPage {
    Q_OBJECT
public:
    PingPage(ToolHostTable& table, Prompts& prompts, const typSettings& settings,
             std::unique_ptr<IcmpEcho> echo, QWidget* parent = nullptr);
    ~PingPage() override;

    // Ends a ping under way, echoes included.
    void stop();

private:
    std::unique_ptr<Ui::PingPage> ui;
    PingSession* session_;
};
