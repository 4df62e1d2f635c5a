#pragma once

// What a program window needs from outside, answered without anyone at the desk: shared by
// the benchmarks that open the windows.

#include "core/prompts.h"
#include "platform/dialogs.h"
#include "platform/help.h"
#include "platform/report_printer.h"
#include "platform/shell.h"

// Every message box gets the same answer.
class AnsweringPrompts final : public Prompts {
public:
    explicit AnsweringPrompts(Answer answer) : answer_(answer) {}
    Answer show(Kind, Buttons, const QString&, const QString&) override { return answer_; }

private:
    Answer answer_;
};

// Every file dialog chooses `file`; without one, every dialog is cancelled.
class AnsweringDialogs final : public Dialogs {
public:
    std::optional<QString> file;
    std::optional<QString> saveFile(const FileChoice&) override { return file; }
    std::optional<QString> openFile(const FileChoice&) override { return file; }
    std::optional<QString> chooseFolder(const QString&, const QString&) override { return {}; }
    std::optional<QColor> chooseColour(const QColor&) override { return {}; }
    std::optional<QString> askText(const QString&, const QString&, const QString&, bool) override {
        return {};
    }
};

class NoPrinter final : public ReportPrinter {
public:
    Result print(const PrintReport&) override { return {Outcome::Cancelled, {}}; }
};

class NoHelp final : public Help {
public:
    void open(const QString&) override {}
};

class NoShell final : public Shell {
public:
    int openDocument(const QString&, const QString&) override { return Opened; }
    StartedProgram startProgram(const QString&, const QStringList&, const QString&,
                                WindowState) override {
        return {};
    }
    bool terminate(qint64) override { return false; }
};
