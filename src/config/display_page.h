#pragma once

#include "config/options_page.h"

#include <memory>

namespace Ui {
class DisplayPage;
}
class Prompts;

// "Display": intelligence, what the LED window shows, its size, and the tray icon's ways.
class DisplayPage final : public OptionsPage {
    Q_OBJECT
public:
    DisplayPage(Prompts& prompts, QWidget* parent = nullptr);
    ~DisplayPage() override;

    void applyCapabilities(const PlatformCapabilities& capabilities) override;

    static const QString LastShowWarning;
    static const QString HideTrayIconQuestion;

private:
    void showBoxClicked(bool checked);
    void chkFlashIconConnectedClick(bool checked);
    void chkFlashIconChargePeriodClick(bool checked);
    void chkHideTrayIconClick(bool checked);

    std::unique_ptr<Ui::DisplayPage> ui;
    Prompts& prompts_;
};
