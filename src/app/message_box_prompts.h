#pragma once

#include "core/prompts.h"

class QWidget;

// The program's message boxes as QMessageBox. The program writes a line break as "\n\r";
// the pair is shown as one break.
class MessageBoxPrompts final : public Prompts {
public:
    explicit MessageBoxPrompts(QWidget* parent = nullptr) : parent_(parent) {}

    Answer show(Kind kind, Buttons buttons, const QString& text, const QString& caption) override;

    static QString displayText(const QString& text);

private:
    QWidget* parent_;
};
