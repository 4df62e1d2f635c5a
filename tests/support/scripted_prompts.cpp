#include "scripted_prompts.h"

Prompts::Answer ScriptedPrompts::show(Kind kind, Buttons buttons, const QString& text,
                                      const QString& caption) {
    shown.append({kind, buttons, text, caption});
    if (!answers_.empty()) {
        const Answer a = answers_.front();
        answers_.pop_front();
        return a;
    }
    return buttons == Buttons::Ok ? Answer::Ok : Answer::No;
}

QStringList ScriptedPrompts::texts() const {
    QStringList out;
    for (const Shown& s : shown)
        out << s.text;
    return out;
}
