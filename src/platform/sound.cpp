#include "platform/sound.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QBuffer>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>

namespace {
constexpr double Volume = 0.3;
constexpr double RampSeconds = 0.003;
// The longest step taken: longer ones are a corrupt table, not a sound anyone wants.
constexpr int MaxToneDuration = 10000;

void writeSample(char* at, double value, QAudioFormat::SampleFormat format) {
    switch (format) {
    case QAudioFormat::UInt8: {
        const auto v = static_cast<quint8>(std::lround(128.0 + value * 127.0));
        std::memcpy(at, &v, sizeof v);
        break;
    }
    case QAudioFormat::Int16: {
        const auto v = static_cast<qint16>(std::lround(value * 32767.0));
        std::memcpy(at, &v, sizeof v);
        break;
    }
    case QAudioFormat::Int32: {
        const auto v = static_cast<qint32>(std::lround(value * 2147483647.0));
        std::memcpy(at, &v, sizeof v);
        break;
    }
    case QAudioFormat::Float: {
        const auto v = static_cast<float>(value);
        std::memcpy(at, &v, sizeof v);
        break;
    }
    default:
        break;
    }
}
} // namespace

QByteArray renderTones(const QList<Tone>& tones, const QAudioFormat& format) {
    const QAudioFormat::SampleFormat sampleFormat = format.sampleFormat();
    if (sampleFormat != QAudioFormat::UInt8 && sampleFormat != QAudioFormat::Int16 &&
        sampleFormat != QAudioFormat::Int32 && sampleFormat != QAudioFormat::Float)
        return {};
    const int rate = format.sampleRate();
    const int channels = format.channelCount();
    const int bytesPerSample = format.bytesPerSample();
    if (rate <= 0 || channels <= 0 || bytesPerSample <= 0)
        return {};
    const qint64 frameBytes = qint64(channels) * bytesPerSample;

    qint64 totalFrames = 0;
    for (const Tone& tone : tones)
        totalFrames += qint64(std::clamp(tone.duration, 0, MaxToneDuration)) * rate / 1000;
    QByteArray out;
    out.resize(totalFrames * frameBytes);
    char* at = out.data();

    for (const Tone& tone : tones) {
        const qint64 frames = qint64(std::clamp(tone.duration, 0, MaxToneDuration)) * rate / 1000;
        const bool audible =
            tone.frequency >= Tone::MinFrequency && tone.frequency <= Tone::MaxFrequency;
        const double step = 2.0 * std::numbers::pi * tone.frequency / rate;
        const double ramp = std::max(1.0, RampSeconds * rate);
        for (qint64 i = 0; i < frames; ++i) {
            double value = 0;
            if (audible) {
                const double edge = std::min<double>(i, frames - 1 - i);
                value = Volume * std::sin(step * double(i)) * std::min(1.0, edge / ramp);
            }
            for (int c = 0; c < channels; ++c) {
                writeSample(at, value, sampleFormat);
                at += bytesPerSample;
            }
        }
    }
    return out;
}

MultimediaSound::MultimediaSound(QObject* parent) : QObject(parent) {}

MultimediaSound::~MultimediaSound() {
    if (sink_)
        sink_->stop();
}

void MultimediaSound::playWave(const QString& path) {
    if (tonesPlaying_) {
        queue_.push_back(Pending{{}, path});
        return;
    }
    startWave(path);
}

void MultimediaSound::playTones(const QList<Tone>& tones) {
    if (tones.isEmpty())
        return;
    if (tonesPlaying_) {
        queue_.push_back(Pending{tones, {}});
        return;
    }
    startTones(tones);
}

void MultimediaSound::startWave(const QString& path) {
    if (QMediaDevices::defaultAudioOutput().isNull())
        return;
    if (!effect_)
        effect_ = new QSoundEffect(this);
    // A new wave replaces the one still sounding; a missing or unreadable file only
    // leaves the effect in its error state, which nobody needs to hear about.
    effect_->stop();
    effect_->setSource(QUrl::fromLocalFile(path));
    effect_->play();
}

void MultimediaSound::startTones(const QList<Tone>& tones) {
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return;
    QAudioFormat format;
    format.setSampleRate(22050);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format))
        format = device.preferredFormat();
    const QByteArray samples = renderTones(tones, format);
    if (samples.isEmpty())
        return;

    buffer_ = new QBuffer(this);
    buffer_->setData(samples);
    buffer_->open(QIODevice::ReadOnly);
    sink_ = new QAudioSink(device, format, this);
    connect(sink_, &QAudioSink::stateChanged, this, [this](QAudio::State state) {
        if (state == QAudio::IdleState ||
            (state == QAudio::StoppedState && sink_ && sink_->error() != QAudio::NoError))
            tonesFinished();
    });
    if (!watchdog_) {
        watchdog_ = new QTimer(this);
        watchdog_->setSingleShot(true);
        connect(watchdog_, &QTimer::timeout, this, &MultimediaSound::tonesFinished);
    }
    qint64 totalMs = 0;
    for (const Tone& tone : tones)
        totalMs += std::clamp(tone.duration, 0, MaxToneDuration);
    watchdog_->start(int(std::min<qint64>(totalMs + 1000, std::numeric_limits<int>::max())));
    tonesPlaying_ = true;
    sink_->start(buffer_);
    if (sink_->error() != QAudio::NoError)
        tonesFinished();
}

void MultimediaSound::tonesFinished() {
    if (!tonesPlaying_)
        return;
    tonesPlaying_ = false;
    if (watchdog_)
        watchdog_->stop();
    if (sink_) {
        // Not deleted here: this may run inside the sink's own signal.
        sink_->disconnect(this);
        sink_->stop();
        sink_->deleteLater();
        sink_ = nullptr;
    }
    if (buffer_) {
        buffer_->deleteLater();
        buffer_ = nullptr;
    }
    playQueued();
}

void MultimediaSound::playQueued() {
    while (!tonesPlaying_ && !queue_.empty()) {
        Pending next = std::move(queue_.front());
        queue_.pop_front();
        if (next.tones.isEmpty())
            startWave(next.wave);
        else
            startTones(next.tones);
    }
}
