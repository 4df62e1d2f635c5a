#pragma once

#include <QtGlobal>

// The bytes one direction of the link has moved since the call began, kept from successive
// readings of a cumulative counter.
//
// A reading below the one before is either a 32-bit counter that wrapped or a counter that
// started again from zero (the interface was re-created on a reconnect, or reset). Taking
// every fall as a wrap would add phantom gigabytes to the call, so only a step that stays
// small across the wrap counts as one; any other fall becomes the new baseline and the bytes
// counted so far are kept.
class ByteTally {
public:
    // No link moves this much between two readings a few seconds apart.
    static constexpr quint64 MaxWrapStep = quint64(1) << 30;

    // The counter at connect: nothing counted yet.
    void start(quint64 reading) {
        last_ = reading;
        counted_ = 0;
    }
    // The counter now reads another link (or one that has just become known): it counts on
    // from this reading, keeping what was counted so far.
    void rebase(quint64 reading) { last_ = reading; }
    // Takes a new reading; returns the bytes counted since start.
    quint64 update(quint64 reading);
    quint64 counted() const { return counted_; }

private:
    quint64 last_ = 0;
    quint64 counted_ = 0;
};
