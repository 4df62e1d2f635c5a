#pragma once

#include "config/options_page.h"

#include <memory>

namespace Ui {
class GeneralPage;
}

// "General": data counts, the tray menu's default item, the call log, the debug log, the
// program's priority, and which dial-up service is watched.
class GeneralPage final : public OptionsPage {
    Q_OBJECT
public:
    explicit GeneralPage(QWidget* parent = nullptr);
    ~GeneralPage() override;

    void loadSettings(const typSettings& settings) override;
    void saveSettings(typSettings& settings) const override;
    void applyCapabilities(const PlatformCapabilities& capabilities) override;

    // Starting at log-in is the desktop's setting, not one of the stored values: the page
    // shows it when there is one and tells what the user chose.
    void showStartAtLogin(bool available, bool enabled);
    bool startAtLogin() const;

private:
    std::unique_ptr<Ui::GeneralPage> ui;
};
