#pragma once

#include "core/settings.h"
#include "tools/option_bindings.h"

#include <QWidget>

#include <memory>

namespace Ui {
class PasswordOptionsPage;
}

// The password keeper's "Options" page: the security password and which fields the list
// always shows in clear.
class PasswordOptionsPage final : public QWidget {
    Q_OBJECT
public:
    explicit PasswordOptionsPage(typSettings& settings, QWidget* parent = nullptr);
    ~PasswordOptionsPage() override;

    void loadSettings() { bindings_.load(); }

Q_SIGNALS:
    // One of the "Always Show" fields changed: the list shows it differently now.
    void alwaysShowChanged();

private:
    std::unique_ptr<Ui::PasswordOptionsPage> ui;
    OptionBindings bindings_;
};
