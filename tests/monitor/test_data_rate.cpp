#include "display_fixture.h"

#include "monitor/vorn_timer.h"
#include "widgets/lcd_label.h"

#include <gtest/gtest.h>

namespace {

class DataRateTest : public ::testing::Test {
protected:
    void connect(quint64 received, quint64 sent) {
        parts.counters.received = received;
        parts.counters.sent = sent;
        window = parts.makeWindow();
        window->timerDTR->setInterval(5000);
        window->SetByteBaselines();
    }
    void traffic(quint64 received, quint64 sent) {
        parts.counters.received += received;
        parts.counters.sent += sent;
    }
    double rate() {
        window->CalculateDTR();
        return window->state().dtrCurrent;
    }
    QChar lights() {
        window->UpdateLights();
        return window->lcdLights->caption().at(0);
    }

    DigitalWindowParts parts;
    std::unique_ptr<TfrmDigital> window;
};

} // namespace

TEST_F(DataRateTest, DataAndRateFollowTheirReceivedSentOrBothChoice) {
    connect(7'000'000, 900'000);
    traffic(51'200, 40'960);
    const quint64 expected[] = {51'200, 40'960, 92'160, 0};
    for (int choice = 0; choice <= 3; ++choice) {
        parts.settings.Data_Log = choice;
        EXPECT_EQ(window->GetDataTransferred(), expected[choice]) << choice;
    }

    parts.settings.Data_DTR = 0; // an upload beside it does not count
    EXPECT_DOUBLE_EQ(rate(), 10.0);
    traffic(0, 0);
    EXPECT_DOUBLE_EQ(rate(), 0.0);
    EXPECT_DOUBLE_EQ(window->state().dtrPrevious, 10.0);
    parts.settings.Data_DTR = 2;
    traffic(10'240, 10'240);
    rate(); // the first step with both counts the sent bytes of the call so far
    traffic(10'240, 10'240);
    EXPECT_DOUBLE_EQ(rate(), 4.0);

    parts.counters.available = false;
    EXPECT_EQ(window->GetDataTransferred(), 0u);
    EXPECT_EQ(rate(), 0.0);
    EXPECT_EQ(window->state().dtrByteTotal, 0u);
}

TEST_F(DataRateTest, ACounterThatFallsIsANewBaselineAndA32BitWrapStillCounts) {
    connect(0xFFFF'F000, 5'000'000);
    traffic(0xF00, 100'000);
    EXPECT_DOUBLE_EQ(rate(), (0xF00 + 100'000) / 1024.0 / 5);

    // The received counter wraps past 2^32; the link is re-created and the sent one restarts.
    parts.counters.received = 0x100;
    parts.counters.sent = 1'000;
    EXPECT_DOUBLE_EQ(rate(), 0x200 / 1024.0 / 5);
    EXPECT_EQ(window->GetDataTransferred(), 0x1100u + 100'000u);
    traffic(10'240, 10'240);
    EXPECT_DOUBLE_EQ(rate(), 4.0);
    EXPECT_EQ(window->GetDataTransferred(), 0x1100u + 100'000u + 20'480u);

    // A 64-bit counter never wraps: any fall is a restart.
    connect(0x1'0000'0100, 0);
    parts.counters.received = 0x50;
    EXPECT_EQ(window->GetDataTransferred(), 0u);
}

TEST_F(DataRateTest, LightsShowWhichCountersMovedSinceTheLastStep) {
    connect(500, 700);
    parts.settings.Color_LED_Lights = 0x0000FF; // red
    EXPECT_EQ(lights(), QChar(253));            // the first step compares with zero
    EXPECT_EQ(window->lcdLights->pixelOn(), QColor(255, 0, 0));
    EXPECT_EQ(lights(), QChar(250));
    traffic(0, 10);
    EXPECT_EQ(lights(), QChar(252));
    traffic(10, 0);
    EXPECT_EQ(lights(), QChar(251));
    traffic(10, 10);
    EXPECT_EQ(lights(), QChar(253));
}
