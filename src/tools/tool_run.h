#pragma once

#include "tools/entry_list.h"
#include "tools/tool_output.h"

#include <QPushButton>

#include <functional>

class QPlainTextEdit;

// The box shows what a tool writes as it comes and follows its last line. The box is
// fixed-pitch text without word wrap that the user can select and copy but not type into.
void followToolOutput(ToolOutput& output, QPlainTextEdit* box);

// Attaches a tool's engine to its page: the output box follows the engine's output, the
// run and cancel buttons follow its state, and the run button or a double-click on the
// list calls start (which hands the engine the selected entry). A double-click while the
// tool runs reaches the engine too, which answers it with its warning.
template <typename Session>
void attachToolRun(Session* session, bool (Session::*runEnabled)() const, QPushButton* run,
                   QPushButton* cancel, QPlainTextEdit* box, EntryList& list,
                   const std::function<void()>& start) {
    followToolOutput(session->output(), box);
    const auto showButtons = [session, runEnabled, run, cancel] {
        run->setEnabled((session->*runEnabled)());
        cancel->setEnabled(session->cancelEnabled());
    };
    QObject::connect(session, &Session::buttonsChanged, run, showButtons);
    showButtons();
    QObject::connect(run, &QPushButton::clicked, session, start);
    QObject::connect(&list, &EntryList::activated, session, start);
    QObject::connect(cancel, &QPushButton::clicked, session, &Session::cancel);
}
