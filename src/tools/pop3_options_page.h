#pragma once

#include "core/settings.h"
#include "tools/option_bindings.h"

#include <QWidget>

#include <memory>

namespace Ui {
class Pop3OptionsPage;
}
class Dialogs;

// The POP3 tool's "Options" page, which the mail check at connect time uses too: server
// port, time-out, extra lines, whether to check and the mail program to start.
class Pop3OptionsPage final : public QWidget {
    Q_OBJECT
public:
    Pop3OptionsPage(typSettings& settings, Dialogs& dialogs, QWidget* parent = nullptr);
    ~Pop3OptionsPage() override;

    void loadSettings() { bindings_.load(); }
    void cmdMailApplicationClick();

private:
    std::unique_ptr<Ui::Pop3OptionsPage> ui;
    typSettings& settings_;
    Dialogs& dialogs_;
    OptionBindings bindings_;
};
