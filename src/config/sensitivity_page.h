#pragma once

#include "config/options_page.h"

#include <QList>

#include <memory>

namespace Ui {
class SensitivityPage;
}
class QLabel;
class QSlider;
struct RegionalSettings;

// "Sensitivity": the intervals of the main window's timers, on track bars that move in
// their own steps and show their value in seconds.
class SensitivityPage final : public OptionsPage {
    Q_OBJECT
public:
    explicit SensitivityPage(const RegionalSettings& regional, QWidget* parent = nullptr);
    ~SensitivityPage() override;

    void loadSettings(const typSettings& settings) override;
    void saveSettings(typSettings& settings) const override;
    void applyCapabilities(const PlatformCapabilities& capabilities) override;

    void btnDefaultSensitivityClick();

private:
    struct Track {
        QSlider* bar;
        QLabel* value;
        qint32 typSettings::*field;
        int minimum, maximum, step; // milliseconds
        int decimals;               // of the seconds shown
    };
    static int milliseconds(const Track& track);
    static void setMilliseconds(const Track& track, int value);
    void showValue(const Track& track);

    std::unique_ptr<Ui::SensitivityPage> ui;
    const RegionalSettings& regional_;
    QList<Track> tracks_;
};
