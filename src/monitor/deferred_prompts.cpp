#include "monitor/deferred_prompts.h"

#include <utility>

Prompts::Answer DeferredPrompts::show(Kind kind, Buttons buttons, const QString& text,
                                      const QString& caption) {
    if (!holding_ || buttons != Buttons::Ok)
        return target_.show(kind, buttons, text, caption);
    const Box box{kind, text, caption};
    if (!held_.contains(box))
        held_.append(box);
    return Answer::Ok;
}

void DeferredPrompts::showHeld() {
    holding_ = false;
    // Taken out first: while a box is up, the next check holds boxes of its own.
    const QList<Box> boxes = std::exchange(held_, {});
    for (const Box& box : boxes) {
        if (open_.contains(box))
            continue;
        open_.append(box);
        target_.show(box.kind, Buttons::Ok, box.text, box.caption);
        open_.removeOne(box);
    }
}
