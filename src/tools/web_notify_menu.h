#pragma once

#include <QString>

#include <functional>
#include <optional>

class Prompts;
class QWidget;
class SettingsStore;
class Shell;

// What both web notify lists need for their pop-up menu and the results pages.
struct WebNotifyCommands {
    Shell& shell;
    Prompts& prompts;
    SettingsStore& store;
    QString programFolder;
};

// The lists' pop-up menu: "&Open Page In Browser" (the page of the selected row, which
// `selectedAddress` gives, nothing when no row is selected), "&View Last Results" and
// "&Reset" (forget every stored page).
void addWebNotifyMenu(QWidget* list, const WebNotifyCommands& commands,
                      std::function<std::optional<QString>()> selectedAddress);

// Opens the results pages of the last check that found changes in the browser.
void openLastResults(const WebNotifyCommands& commands);
