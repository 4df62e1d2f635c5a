#pragma once

#include "core/records.h"

#include <QWidget>

#include <functional>
#include <memory>

namespace Ui {
class Pop3Page;
}
class EntryList;
class Pop3CheckSession;
class Prompts;
struct typSettings;

// The "POP3" page: the mail accounts and the output of a check of one of them. A check
// reads the settings' port, time-out and additional lines as they are when it starts, and
// asks before it goes on when callInProgress says no call is up.
class Pop3Page final : public QWidget {
    Q_OBJECT
public:
    Pop3Page(POP3Table& table, Prompts& prompts, const typSettings& settings,
             std::function<bool()> callInProgress, QWidget* parent = nullptr);
    ~Pop3Page() override;

    void refresh();
    // The account selected in the list, or nullptr.
    const typPOP3Information* selectedAccount() const;
    // Drops the connection of a check under way; the check then ends by itself.
    void stop();

private:
    void edit(int slot, bool inserting);

    std::unique_ptr<Ui::Pop3Page> ui;
    POP3Table& table_;
    Pop3CheckSession* session_;
    EntryList* entries_ = nullptr;
};
