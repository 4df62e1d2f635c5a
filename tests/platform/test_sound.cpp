#include "platform/sound.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
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

QList<qint16> int16Samples(const QByteArray& bytes) {
    QList<qint16> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.constData(), size_t(samples.size()) * 2);
    return samples;
}

// Sign changes from negative to positive: one per period of a clean sine.
int risingCrossings(const QList<qint16>& samples, qsizetype from, qsizetype to) {
    int crossings = 0;
    for (qsizetype i = from + 1; i < to; ++i)
        if (samples[i - 1] < 0 && samples[i] >= 0)
            ++crossings;
    return crossings;
}
} // namespace

TEST(ToneRendering, EachStepLastsItsDurationAtItsPitch) {
    const QList<qint16> samples = int16Samples(
        renderTones({{1000, 100}, {2000, 50}}, makeFormat(8000, 1, QAudioFormat::Int16)));
    ASSERT_EQ(samples.size(), 800 + 400);
    // 100 ms at 1000 Hz is 100 periods, 50 ms at 2000 Hz another 100; the edges of the
    // ramps may gain or lose one crossing.
    EXPECT_NEAR(risingCrossings(samples, 0, 800), 100, 1);
    EXPECT_NEAR(risingCrossings(samples, 800, 1200), 100, 1);
    qint16 peak = 0;
    for (qint16 s : samples)
        peak = std::max<qint16>(peak, qint16(std::abs(s)));
    EXPECT_GT(peak, 5000);
    EXPECT_LT(peak, 16000) << "tones are played at a moderate volume, never clipped";
    // Each step starts and ends at silence, so that steps do not click.
    EXPECT_EQ(samples.first(), 0);
    EXPECT_LT(std::abs(samples[799]), 200);
}

TEST(ToneRendering, FrequenciesOutsideTheSpeakerRangeAreTimedSilence) {
    const QAudioFormat format = makeFormat(8000, 1, QAudioFormat::Int16);
    for (int frequency : {0, 19, 5001, -440}) {
        const QList<qint16> samples = int16Samples(renderTones({{frequency, 25}}, format));
        ASSERT_EQ(samples.size(), 200) << frequency;
        EXPECT_EQ(std::count(samples.begin(), samples.end(), 0), 200) << frequency;
    }
    EXPECT_EQ(int16Samples(renderTones({{20, 25}}, format)).size(), 200);
    EXPECT_GT(risingCrossings(int16Samples(renderTones({{5000, 25}},
                                                       makeFormat(44100, 1, QAudioFormat::Int16))),
                              0, 1102),
              100);
}

TEST(ToneRendering, FollowsTheOutputFormat) {
    // Stereo float: both channels carry the same sample.
    const QByteArray stereo = renderTones({{440, 10}}, makeFormat(48000, 2, QAudioFormat::Float));
    ASSERT_EQ(stereo.size(), 480 * 2 * 4);
    const auto* f = reinterpret_cast<const float*>(stereo.constData());
    bool moved = false;
    for (int i = 0; i < 480; ++i) {
        ASSERT_EQ(f[2 * i], f[2 * i + 1]);
        ASSERT_LE(std::fabs(f[2 * i]), 1.0f);
        moved = moved || f[2 * i] != 0.0f;
    }
    EXPECT_TRUE(moved);

    // Unsigned 8-bit silence is the middle of the range, not 0.
    const QByteArray quiet = renderTones({{1, 10}}, makeFormat(8000, 1, QAudioFormat::UInt8));
    ASSERT_EQ(quiet.size(), 80);
    EXPECT_EQ(quiet.count(char(128)), 80);

    EXPECT_EQ(renderTones({{440, 10}}, makeFormat(8000, 1, QAudioFormat::Int32)).size(), 320);
    EXPECT_TRUE(renderTones({{440, 10}}, QAudioFormat()).isEmpty());
    EXPECT_TRUE(renderTones({{440, 10}}, makeFormat(0, 1, QAudioFormat::Int16)).isEmpty());
}

TEST(ToneRendering, NonsenseDurationsStayBounded) {
    const QAudioFormat format = makeFormat(8000, 1, QAudioFormat::Int16);
    EXPECT_TRUE(renderTones({{440, -100}}, format).isEmpty());
    EXPECT_TRUE(renderTones({}, format).isEmpty());
    // A corrupt table cannot ask for hours of sound (and as much memory).
    EXPECT_LE(renderTones({{440, std::numeric_limits<int>::max()}}, format).size(),
              qsizetype(8000) * 2 * 10);
}

// Whatever the machine has (an output, none, a broken one), asking for sounds returns at
// once and nothing fails.
TEST(MultimediaSound, PlaysOrStaysSilentWithoutFailing) {
    QTemporaryDir dir;
    const QString broken = dir.filePath(QStringLiteral("broken.wav"));
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("RIFF not really a wave");
    file.close();

    MultimediaSound sound;
    QElapsedTimer elapsed;
    elapsed.start();
    sound.playTones({{1047, 30}, {10, 20}, {1175, 30}});
    sound.playWave(dir.filePath(QStringLiteral("missing.wav")));
    sound.playWave(broken);
    sound.playTones({});
    sound.playTones({{2000, 20}});
    EXPECT_LT(elapsed.elapsed(), 1000) << "sounds never hold up the caller";
    // Destroyed with sounds still queued: nothing may be left to call back.
}
