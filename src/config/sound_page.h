#pragma once

#include "config/options_page.h"

#include <memory>

namespace Ui {
class SoundPage;
}

// "Sound": what each of the six events plays. Tones come from the sound card, so every
// choice stands on Linux.
class SoundPage final : public OptionsPage {
    Q_OBJECT
public:
    explicit SoundPage(QWidget* parent = nullptr);
    ~SoundPage() override;

private:
    std::unique_ptr<Ui::SoundPage> ui;
};
