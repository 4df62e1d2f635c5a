// A call made with vorn-sim, watched by the main window: every read-out appears on the LED
// window in turn. Each state of the window is saved as a picture under artifacts/ in the
// build folder for a person to look at.

#include "display_fixture.h"

#include "cli/vorn_sim_command.h"
#include "monitor/vorn_timer.h"
#include "tariff/charge_bands.h"
#include "widgets/lcd_label.h"

#include <QDir>
#include <QTextStream>

#include <gtest/gtest.h>

namespace {

class DisplayDuringACall : public ::testing::Test {
protected:
    void SetUp() override {
        artifacts = qEnvironmentVariable("VORN_BINARY_DIR", QDir::tempPath()) + "/artifacts";
        ASSERT_TRUE(QDir().mkpath(artifacts));
        ASSERT_TRUE(QDir(parts.home.path()).mkpath("Logs"));
        ASSERT_EQ(sim({"entries", "add", "Work ISP"}), VornSimExit::Success);
        simulatedCounters = parts.simulated.createByteCounters();
        parts.countersService = simulatedCounters.get();
    }

    int sim(const QStringList& arguments) {
        QString output;
        QTextStream out(&output);
        QTextStream err(&output);
        const QString path = parts.simulated.statePath();
        const int code = runVornSim(QStringList{"--state-file", path} + arguments, path, out, err);
        EXPECT_EQ(code, VornSimExit::Success) << output.toStdString();
        return code;
    }

    QString snapshot(const QString& name) {
        const QString path = artifacts + QStringLiteral("/led_") + name + ".png";
        EXPECT_TRUE(window->grab().save(path)) << path.toStdString();
        return window->lcdDigital->caption().trimmed();
    }

    DigitalWindowParts parts;
    std::unique_ptr<ByteCounters> simulatedCounters;
    std::unique_ptr<TfrmDigital> window;
    QString artifacts;
};

} // namespace

TEST_F(DisplayDuringACall, EveryEnabledReadOutAppearsInTurn) {
    typSettings& st = parts.settings;
    st.Show_CostPerMinute = true;
    st.Show_Connect_Speed = true;
    st.Show_Digital_Display = 1;
    st.Auto_Idle_Disconnect = 0;
    typCostingInformation band;
    band.Connectoid_Name = "Default";
    band.FinishTime = tariff::LastSecondOfDay;
    band.Days = 127;
    band.ChargePerMin = 1.5;
    parts.lists.Costings[1] = band;
    window = parts.makeWindow();
    window->timerDTR->setInterval(5000);

    window->SetDigitalText("NO CALL", st.Color_LED_Idle);
    window->ShowDigitalDisplay();
    EXPECT_EQ(snapshot("0_no_call"), "NO CALL");

    sim({"dial", "Work ISP", "--speed", "28800"});
    window->timerCheckerTimer();
    ASSERT_TRUE(window->state().connected);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(snapshot("1_call"), "CALL");

    // Five seconds of traffic, then the rest of a minute and a half on line.
    sim({"traffic", "--rx", "51200", "--tx", "10240"});
    parts.clock.advance(5000);
    window->CalculateDTR();
    window->UpdateLights();
    parts.clock.advance(90'000);
    window->timerCheckerTimer();
    window->timerCostTimer();

    const QStringList names = {"2_duration", "3_cost", "4_cost_per_minute",
                               "5_rate",     "6_data", "7_speed"};
    const qint32 colours[] = {
        st.Color_LED_Time, st.Color_LED_Costs,       st.Color_LED_Cost_Per_Minute,
        st.Color_LED_DTR,  st.Color_LED_Transferred, st.Color_Connect_Speed};
    QStringList shown;
    for (int step = 0; step < names.size(); ++step) {
        window->timerDisplayTimer();
        shown << snapshot(names[step]);
        EXPECT_EQ(window->lcdDigital->pixelOn().rgb() & 0xFFFFFF,
                  qRgb(colours[step] & 0xFF, (colours[step] >> 8) & 0xFF, colours[step] >> 16) &
                      0xFFFFFF)
            << names[step].toStdString();
    }
    // 95 seconds at 1.50 a minute; the tariff engine itself decides the pennies.
    const QString cost = window->state().costText;
    EXPECT_EQ(shown, (QStringList{"00:01:35", cost, "£1.50/m", "+12.00K/s", "60.00KB", "28800"}));
    EXPECT_TRUE(cost.startsWith("£2.")) << cost.toStdString();
    window->timerDisplayTimer();
    EXPECT_EQ(window->lcdDigital->caption().trimmed(), "00:01:35");
    EXPECT_EQ(window->lcdLights->caption(), QString(QChar(253)));

    sim({"hangup"});
    window->timerCheckerTimer();
    EXPECT_FALSE(window->state().connected);
    EXPECT_EQ(snapshot("8_after_call"), "NO CALL");
    EXPECT_EQ(window->lcdLights->caption(), QString(QChar(250)));
}
