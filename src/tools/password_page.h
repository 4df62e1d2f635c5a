#pragma once

#include "core/records.h"
#include "core/settings.h"

#include <QWidget>

#include <memory>

namespace Ui {
class PasswordPage;
}
class EntryList;
class Prompts;

// The "Password Database" page: the password keeper's entries, shown only once the
// security password (when one is set) has been given during this opening of the window.
class PasswordPage final : public QWidget {
    Q_OBJECT
public:
    PasswordPage(const typSettings& settings, PasswordTable& table, Prompts& prompts,
                 QWidget* parent = nullptr);
    ~PasswordPage() override;

    // On selecting the section: asks for the security password unless the section is
    // unlocked already or has none, and shows the entries or "Access Denied". True when
    // unlocked.
    bool guard();

    // Redraws the entries, masking the fields that are not to be shown always.
    void refresh();
    void cmdPasswordViewClick();

private:
    void edit(int slot, bool inserting);
    void enableCommands(bool enabled);

    std::unique_ptr<Ui::PasswordPage> ui;
    const typSettings& settings_;
    PasswordTable& table_;
    Prompts& prompts_;
    EntryList* entries_ = nullptr;
    bool unlocked_ = false;
};
