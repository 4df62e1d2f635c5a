#pragma once

#include "config/options_page.h"

#include <memory>

namespace Ui {
class IconHintPage;
}

// "General (cont...)": what the tray icon's tooltip lists during a call.
class IconHintPage final : public OptionsPage {
    Q_OBJECT
public:
    explicit IconHintPage(QWidget* parent = nullptr);
    ~IconHintPage() override;

    void applyCapabilities(const PlatformCapabilities& capabilities) override;

private:
    std::unique_ptr<Ui::IconHintPage> ui;
};
