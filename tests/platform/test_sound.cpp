#include "platform/sound.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace {
QAudioFormat makeFormat(int rate, int channels, QAudioFormat::SampleFormat sampleFormat) {
    QAudioFormat format;
    format.setSampleRate(rate);
    format.setChannelCount(channels);
    format.setSampleFormat(sampleFormat);
    return format;
}

// Rising zero crossings of 16-bit samples in [from, to): one per period of a sine.
int periods(const QByteArray& bytes, int from, int to) {
    QList<qint16> s(bytes.size() / 2);
    std::memcpy(s.data(), bytes.constData(), size_t(s.size()) * 2);
    int n = 0;
    for (int i = from + 1; i < to; ++i)
        n += s[i - 1] < 0 && s[i] >= 0;
    return n;
}
} // namespace

TEST(ToneRendering, EachStepLastsItsDurationAtItsPitchInTheOutputFormat) {
    const QAudioFormat mono16 = makeFormat(8000, 1, QAudioFormat::Int16);
    const QByteArray pcm = renderTones({{1000, 100}, {2000, 50}, {19, 25}, {5001, 25}}, mono16);
    ASSERT_EQ(pcm.size(), (800 + 400 + 200 + 200) * 2);
    EXPECT_NEAR(periods(pcm, 0, 800), 100, 1);
    EXPECT_NEAR(periods(pcm, 800, 1200), 100, 1);
    EXPECT_EQ(pcm.mid(2400).count('\0'), 800) << "outside 20..5000 Hz a step is a pause";
    EXPECT_TRUE(renderTones({{440, -100}}, mono16).isEmpty());
    // A corrupt table cannot ask for hours of sound and as much memory.
    EXPECT_LE(renderTones({{440, std::numeric_limits<int>::max()}}, mono16).size(), 8000 * 2 * 10);

    // The output format is followed.
    const QByteArray stereo = renderTones({{440, 10}}, makeFormat(48000, 2, QAudioFormat::Float));
    ASSERT_EQ(stereo.size(), 480 * 2 * 4);
    const auto* f = reinterpret_cast<const float*>(stereo.constData());
    for (int i = 0; i < 480; ++i) {
        ASSERT_EQ(f[2 * i], f[2 * i + 1]);
        ASSERT_LE(std::abs(f[2 * i]), 0.5f) << "a moderate volume, never clipped";
    }
    EXPECT_NE(f[2 * 240], 0.0f);
    // Unsigned 8-bit silence is the middle of the range.
    EXPECT_EQ(renderTones({{1, 10}}, makeFormat(8000, 1, QAudioFormat::UInt8)).count(char(128)),
              80);
    EXPECT_TRUE(renderTones({{440, 10}}, QAudioFormat()).isEmpty());
}

// With an output, without one or with a broken file: every request returns at once and
// the player can go with sounds still queued.
TEST(MultimediaSound, NeverFailsNorHoldsUpTheCaller) {
    MultimediaSound sound;
    sound.playTones({{1047, 30}, {10, 20}});
    sound.playWave(QStringLiteral("/nonexistent/whenconnected.wav"));
    sound.playTones({});
    sound.playTones({{2000, 20}});
}
