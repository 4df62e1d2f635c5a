#pragma once

#include "platform/sound.h"

#include <QList>
#include <QString>

// A Sound that plays nothing and remembers every request, in order.
class RecordingSound final : public Sound {
public:
    struct Request {
        QString wave;      // a wave file, or
        QList<Tone> tones; // a tone sequence
    };

    void playWave(const QString& path) override { requests.append({path, {}}); }
    void playTones(const QList<Tone>& tones) override { requests.append({{}, tones}); }

    QList<Request> requests;
};
