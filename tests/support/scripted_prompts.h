#pragma once

#include "core/prompts.h"

#include <QList>

#include <deque>

// Answers message boxes from a script and records every box shown.
class ScriptedPrompts final : public Prompts {
public:
    struct Shown {
        Kind kind;
        Buttons buttons;
        QString text;
        QString caption;
    };

    Answer show(Kind kind, Buttons buttons, const QString& text, const QString& caption) override;

    // The next boxes' answers, in order; an unscripted box answers OK or No.
    void answerNext(Answer answer) { answers_.push_back(answer); }

    QList<Shown> shown;
    QStringList texts() const;

private:
    std::deque<Answer> answers_;
};
