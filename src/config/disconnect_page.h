#pragma once

#include "config/options_page.h"

#include <QDateTime>

#include <memory>

namespace Ui {
class DisconnectPage;
}
struct RegionalSettings;

// "Disconnect": the rules that hang up by themselves, and what follows a hang-up.
class DisconnectPage final : public OptionsPage {
    Q_OBJECT
public:
    explicit DisconnectPage(const RegionalSettings& regional, QWidget* parent = nullptr);
    ~DisconnectPage() override;

    void loadSettings(const typSettings& settings) override;
    void saveSettings(typSettings& settings) const override;
    void applyCapabilities(const PlatformCapabilities& capabilities) override;

    // Whether the user changed the call-length limit or the hang-up time since loading:
    // the main window changes both during a call, and an old value must not replace its own.
    bool callLengthChanged() const;
    bool hangUpTimeChanged() const;

private:
    QDateTime shownHangUpTime() const;

    std::unique_ptr<Ui::DisconnectPage> ui;
    const RegionalSettings& regional_;
    qint32 loadedCallLength_ = 0;
    QDateTime loadedHangUpTime_;
};
