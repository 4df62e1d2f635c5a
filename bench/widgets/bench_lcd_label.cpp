// Painting the LED read-out: the main window changes its text and colour several times a
// second, and each change draws the whole label again.

#include "gui_benchmarks.h"
#include "widgets/lcd_label.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPainter>

namespace {

// A 12-character read-out at 3 × 3 dots with one pixel between dots.
void setUpLargestReadout(TLCDLabel& label) {
    label.setDotMatrix(TLCDLabel::dos5x7);
    label.setBorderStyle(TLCDLabel::frNone);
    label.setBorderSpace(0);
    label.setPixelSize(TLCDLabel::pix3x3);
    label.setPixelSpacing(1);
    label.setNoOfChars(12);
    label.setBackGround(Qt::black);
    label.setPixelOff(Qt::black);
}

// Drawing the picture after a caption change.
void BM_RenderTwelveCharacters(benchmark::State& state) {
    TLCDLabel label;
    setUpLargestReadout(label);
    const QString captions[2] = {"  00:12:34  ", "+1.20K/s    "};
    int i = 0;
    for (auto _ : state) {
        label.setCaption(captions[i ^= 1]);
        benchmark::DoNotOptimize(label.image().constBits());
    }
}
BENCHMARK(BM_RenderTwelveCharacters)->Unit(benchmark::kMicrosecond);

// The whole paint event as Qt delivers it, onto an image of the label's size.
void BM_PaintEventTwelveCharacters(benchmark::State& state) {
    TLCDLabel label;
    setUpLargestReadout(label);
    QImage target(label.size(), QImage::Format_RGB32);
    const QColor colours[2] = {QColor(255, 128, 0), QColor(192, 192, 192)};
    int i = 0;
    for (auto _ : state) {
        label.setPixelOn(colours[i ^= 1]);
        label.render(&target);
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(BM_PaintEventTwelveCharacters)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    preferOffscreenPlatform();
    QApplication app(argc, argv);
    return runBenchmarks(argc, argv);
}
