#pragma once

#include "config/options_page.h"

#include <memory>

namespace Ui {
class ChargeOptionsPage;
}

// "Options" of the costs: calls that cost nothing at all.
class ChargeOptionsPage final : public OptionsPage {
    Q_OBJECT
public:
    explicit ChargeOptionsPage(QWidget* parent = nullptr);
    ~ChargeOptionsPage() override;

private:
    std::unique_ptr<Ui::ChargeOptionsPage> ui;
};
