#pragma once

// The harness on the simulated dial-up service, with the mouse and the work area set by hand,
// for the display and data-rate tests. The creation steps (FormCreate) are not run: each
// test lays the window out itself.

#include "monitor_harness.h"

#include "platform/simulated_dial_up.h"
#include "widgets/lcd_label.h"

struct DigitalWindowParts : MonitorHarness {
    DigitalWindowParts() { dialUpService = &simulated; }

    SimulatedDialUp simulated{home.filePath(QStringLiteral("vorn-sim.json"))};
    QPoint cursor{5000, 5000}; // far from everything
    QRect work{0, 0, 1024, 740};

    std::unique_ptr<TfrmDigital> makeWindow() {
        MonitorServices s = services();
        s.cursorPosition = [this] { return cursor; };
        s.workArea = [this] { return work; };
        auto window = std::make_unique<TfrmDigital>(s);
        window->lcdDigital->move(window->lcdDigital->x(), TfrmDigital::FrameWidth);
        window->resize(window->width(), TfrmDigital::DigitalTextHeight(settings.Character_Size,
                                                                       settings.Pixel_Spacing) +
                                            2 * TfrmDigital::FrameWidth);
        window->LayoutDigitalDisplay();
        return window;
    }
};
