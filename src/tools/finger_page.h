#pragma once

#include "tools/host_list_page.h"

#include <memory>

namespace Ui {
class FingerPage;
}
class FingerSession;

// The "Finger" page: the finger addresses and the finger tool's output.
class FingerPage final : public HostListPage {
    Q_OBJECT
public:
    FingerPage(ToolHostTable& table, Prompts& prompts, QWidget* parent = nullptr);
    ~FingerPage() override;

    // Ends a query under way.
    void stop();

private:
    std::unique_ptr<Ui::FingerPage> ui;
    FingerSession* session_;
};
