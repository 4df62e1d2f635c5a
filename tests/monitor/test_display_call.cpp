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
        artifacts = qEnvironmentVariable("VORN_BINARY_DIR", QDir::tempPath()) +
                    QStringLiteral("/artifacts");
        ASSERT_TRUE(QDir().mkpath(artifacts));
        ASSERT_TRUE(QDir(parts.folder.path()).mkpath(QStringLiteral("Logs")));
        ASSERT_EQ(
            sim({QStringLiteral("entries"), QStringLiteral("add"), QStringLiteral("Work ISP")}),
            VornSimExit::Success);
        simulatedCounters = parts.dialUp.createByteCounters();
        parts.counters = simulatedCounters.get();
    }

    int sim(const QStringList& arguments) {
        QString output;
        QTextStream out(&output);
        QTextStream err(&output);
        const QString path = parts.dialUp.statePath();
        const int code = runVornSim(QStringList{QStringLiteral("--state-file"), path} + arguments,
                                    path, out, err);
        EXPECT_EQ(code, VornSimExit::Success) << output.toStdString();
        return code;
    }

    QString snapshot(const QString& name) {
        const QString path = artifacts + QStringLiteral("/led_") + name + QStringLiteral(".png");
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
    band.Connectoid_Name = QStringLiteral("Default");
    band.FinishTime = tariff::LastSecondOfDay;
    band.Days = 127;
    band.ChargePerMin = 1.5;
    parts.lists.Costings[1] = band;
    window = parts.makeWindow();
    window->timerDTR->setInterval(5000);

    window->SetDigitalText(QStringLiteral("NO CALL"), st.Color_LED_Idle);
    window->ShowDigitalDisplay();
    EXPECT_EQ(snapshot(QStringLiteral("0_no_call")), QStringLiteral("NO CALL"));

    sim({QStringLiteral("dial"), QStringLiteral("Work ISP"), QStringLiteral("--speed"),
         QStringLiteral("28800")});
    window->timerCheckerTimer();
    ASSERT_TRUE(window->state().connected);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(snapshot(QStringLiteral("1_call")), QStringLiteral("CALL"));

    // Five seconds of traffic, then the rest of a minute and a half on line.
    sim({QStringLiteral("traffic"), QStringLiteral("--rx"), QStringLiteral("51200"),
         QStringLiteral("--tx"), QStringLiteral("10240")});
    parts.clock.advance(5000);
    window->CalculateDTR();
    window->UpdateLights();
    parts.clock.advance(90'000);
    window->timerCheckerTimer();
    window->timerCostTimer();

    const QStringList names = {
        QStringLiteral("2_duration"), QStringLiteral("3_cost"), QStringLiteral("4_cost_per_minute"),
        QStringLiteral("5_rate"),     QStringLiteral("6_data"), QStringLiteral("7_speed")};
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
    EXPECT_TRUE(cost.startsWith(QStringLiteral("£2."))) << cost.toStdString();
    window->timerDisplayTimer();
    EXPECT_EQ(window->lcdDigital->caption().trimmed(), QStringLiteral("00:01:35"));
    EXPECT_EQ(window->lcdLights->caption(), QString(QChar(253)));

    sim({QStringLiteral("hangup")});
    window->timerCheckerTimer();
    EXPECT_FALSE(window->state().connected);
    EXPECT_EQ(snapshot(QStringLiteral("8_after_call")), QStringLiteral("NO CALL"));
    EXPECT_EQ(window->lcdLights->caption(), QString(QChar(250)));
}
