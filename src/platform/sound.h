#pragma once

#include <QAudioFormat>
#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <deque>
#include <memory>

class QAudioSink;
class QBuffer;
class QSoundEffect;
class QTimer;

// One step of a tone sequence. A frequency outside MinFrequency..MaxFrequency is a pause
// of that length, as the PC speaker it stands in for could not sound it either.
struct Tone {
    int frequency = 0; // Hz
    int duration = 0;  // ms

    static constexpr int MinFrequency = 20;
    static constexpr int MaxFrequency = 5000;

    friend bool operator==(const Tone&, const Tone&) = default;
};

// The program's sounds. Every call returns at once and never fails: a missing or broken
// file and a machine without an audio output are silence.
class Sound {
public:
    virtual ~Sound() = default;

    // Plays a wave file; a wave asked for while another wave sounds replaces it.
    virtual void playWave(const QString& path) = 0;
    // Sounds the tones one after another. Whatever is asked for while tones sound waits
    // for them, so "tones, then the wave" keeps its order.
    virtual void playTones(const QList<Tone>& tones) = 0;
};

// The samples of a tone sequence in the given format: a sine at a moderate volume, with
// short ramps at each edge so that the steps do not click. Empty for a format it cannot
// write (anything but unsigned 8-bit, signed 16/32-bit and float samples).
QByteArray renderTones(const QList<Tone>& tones, const QAudioFormat& format);

// Wave files through QSoundEffect, tones through a QAudioSink on the default output.
// Nothing touches the audio system before the first sound.
class MultimediaSound final : public QObject, public Sound {
    Q_OBJECT

public:
    explicit MultimediaSound(QObject* parent = nullptr);
    ~MultimediaSound() override;

    void playWave(const QString& path) override;
    void playTones(const QList<Tone>& tones) override;

private:
    struct Pending {
        QList<Tone> tones;
        QString wave; // when tones is empty
    };

    void startWave(const QString& path);
    void startTones(const QList<Tone>& tones);
    void tonesFinished();
    void playQueued();

    QSoundEffect* effect_ = nullptr;
    QAudioSink* sink_ = nullptr;
    QBuffer* buffer_ = nullptr;
    // Ends a sequence whose output never reports that it drained.
    QTimer* watchdog_ = nullptr;
    bool tonesPlaying_ = false;
    std::deque<Pending> queue_;
};
