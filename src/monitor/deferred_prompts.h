#pragma once

#include "core/prompts.h"

#include <QList>

// Message boxes raised by the connection checker's sequences. While the checker is in a
// sequence, a box that only tells something (OK alone) is held and shown once the
// sequence has finished, so the box never holds the check: the checker goes on watching
// while it is up, records a call that ends meanwhile with its real finish and keeps
// running the rules. A box like one that is up already, or held already, is not shown a
// second time. A question still needs its answer at once and goes straight through.
class DeferredPrompts final : public Prompts {
public:
    explicit DeferredPrompts(Prompts& target) : target_(target) {}

    Answer show(Kind kind, Buttons buttons, const QString& text, const QString& caption) override;

    // From now on, boxes are held.
    void hold() { holding_ = true; }
    // Stops holding and shows what was held, in order. Returns when the last has closed;
    // while one is up, the checker may hold and show boxes of its own again.
    void showHeld();

private:
    struct Box {
        Kind kind;
        QString text;
        QString caption;
        friend bool operator==(const Box&, const Box&) = default;
    };

    Prompts& target_;
    bool holding_ = false;
    QList<Box> held_;
    QList<Box> open_;
};
