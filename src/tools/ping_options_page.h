#pragma once

#include "core/settings.h"
#include "tools/option_bindings.h"

#include <QWidget>

#include <memory>

namespace Ui {
class PingOptionsPage;
}

// The ping tool's "Options" page: how often each request is repeated.
class PingOptionsPage final : public QWidget {
    Q_OBJECT
public:
    explicit PingOptionsPage(typSettings& settings, QWidget* parent = nullptr);
    ~PingOptionsPage() override;

    void loadSettings() { bindings_.load(); }

private:
    std::unique_ptr<Ui::PingOptionsPage> ui;
    OptionBindings bindings_;
};
