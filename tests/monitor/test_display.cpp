// The LED window: its read-outs and their texts, its layout, the intelligent display, the
// data counters, rate and lights. A call made with vorn-sim shows every read-out in turn, each
// saved as a picture under artifacts/ in the build folder for a person to look at.

#include "monitor_harness.h"

#include "cli/vorn_sim_command.h"
#include "monitor/display_texts.h"
#include "tariff/call_costing.h"

#include <QTextStream>

using namespace display;

namespace {
using LedWindow = Monitor;

QRgb fromBgr(qint32 setting) {
    return qRgb(setting & 0xFF, (setting >> 8) & 0xFF, setting >> 16);
}
} // namespace

TEST(DisplayTexts, ModesDurationCentringAndRateTrend) {
    const auto steps = [](EnabledModes enabled) {
        QList<int> seen{firstMode(enabled)};
        for (int i = 0; i < 6; ++i)
            seen << nextMode(quint8(seen.last()), enabled);
        return seen;
    };
    EXPECT_EQ(steps({true, true, true, true, true, true}), (QList<int>{0, 1, 2, 3, 4, 5, 0}));
    EXPECT_EQ(steps({false, true, false, false, false, true}), (QList<int>{1, 5, 1, 5, 1, 5, 1}));
    // Nothing chosen (loading can switch the last ones off): the duration, without a hang.
    EXPECT_EQ(steps({}), QList<int>(7, 0));

    EXPECT_EQ(durationText(25 * 3600 + 3 * 60, u'.'), "01.03.00");
    EXPECT_EQ(durationText(-5, u':'), "00:00:00");
    EXPECT_EQ(centred("CALL", 12), "    CALL");
    EXPECT_EQ(centred("=1,234.56K/s", 9), "=1,234.56K/s");

    const RegionalSettings english = RegionalSettings::english();
    const auto trend = [&](double from, double to) { return dtrText(to, from, 0, english); };
    EXPECT_EQ(trend(2.00, 2.09), "=2.09K/s");
    EXPECT_EQ(trend(2.00, 2.20), "+2.20K/s");
    EXPECT_EQ(trend(2.00, 1.80), "-1.80K/s");
    // A first rate is measured against 1.0 KB/s, and a fall against it is no rise.
    EXPECT_EQ(trend(0, 2.00), "+2.00K/s");
    EXPECT_EQ(trend(0, 0.50), "=0.50K/s");
    EXPECT_EQ(dtrText(1234.5, 1234.5, 2, english), "=1,234.5K/s");
    EXPECT_DOUBLE_EQ(transferRate(1024, 0), 0.0);
}

TEST(DisplayTexts, CostMarksColoursAndMoneyTheLedCanDraw) {
    using Shown = std::pair<QString, qint32>;
    typSettings st;
    const auto cost = [&](double value, bool outsideFree, bool minimum, bool maximum) {
        typCallCostInformation c;
        c.Without_Discount = value;
        c.With_Discount = value * 0.8;
        c.OutsideFreePeriod = outsideFree;
        c.In_Minimum_Period = minimum;
        c.In_Maximum_Period = maximum;
        const LedText t = costText(c, st, RegionalSettings::english());
        return Shown(t.text, t.colour);
    };
    EXPECT_EQ(cost(0.10, true, false, false), Shown("£0.10", st.Color_LED_Costs));
    // Within the free minutes nothing is owed yet, whatever a connection charge adds later.
    EXPECT_EQ(cost(0.25, false, false, false), Shown("£0.00", st.Color_LED_Costs));
    EXPECT_EQ(cost(0.10, true, true, false), Shown("*£0.10*", st.Color_LED_Minimum));
    EXPECT_EQ(cost(5.00, true, false, true), Shown("^£5.00^", st.Color_LED_Maximum));
    EXPECT_EQ(cost(5.00, true, true, true), Shown("^£5.00^", st.Color_LED_Minimum));
    st.Indicate_Minimum_Charge = st.Indicate_Maximum_Charge = false;
    st.Show_Cost_Including_Discount = true;
    EXPECT_EQ(cost(0.10, true, true, false), Shown("£0.08", st.Color_LED_Costs));
    EXPECT_EQ(cost(5.00, true, false, true), Shown("£4.00", st.Color_LED_Costs));

    typCallCostInformation c;
    c.Without_Discount = 1234.5;
    c.OutsideFreePeriod = true;
    st = typSettings();
    for (const auto& [locale, shown] : {std::pair{"it_IT", "1.234,50 €"},
                                        {"en_GB", "£1,234.50"},
                                        {"ja_JP", "¥1,235"},
                                        {"pl_PL", "1 234,50 PLN"},
                                        {"ru_RU", "1 234,50 RUB"},
                                        {"fr_FR", "1 234,50 €"},
                                        {"C", "1,234.50"}}) {
        const RegionalSettings regional = RegionalSettings::forLocales(locale, locale, locale);
        EXPECT_EQ(costText(c, st, ledRegional(regional)).text, QString::fromUtf8(shown)) << locale;
    }
    // The other windows keep the real symbol.
    const RegionalSettings polish = RegionalSettings::forLocales("pl_PL", "pl_PL", "pl_PL");
    EXPECT_EQ(costText(c, st, polish).text.right(2), QString::fromUtf8("zł"));
}

TEST(DisplayGeometry, CornersAndTheMouseNearTheWindow) {
    const QRect work(0, 30, 1000, 770); // a panel above
    EXPECT_EQ(farthestCorner({890, 35}, work, {100, 20}), Corner::BottomLeft);
    EXPECT_EQ(farthestCorner({5, 700}, work, {100, 20}), Corner::TopRight);
    // All four equally far: the first of TL, TR, BL, BR keeps the choice.
    EXPECT_EQ(farthestCorner({450, 405}, work, {100, 20}), Corner::TopLeft);

    // Within twenty pixels beside and fifteen above or below.
    const QRect area(0, 30, 1024, 738);
    const auto near = [&](int x, int y, QPoint at = {100, 200}) {
        return isCursorNear({x, y}, area, at, QSize(114, 22));
    };
    for (const auto& [x, y, expected] : {std::tuple{81, 186, true},
                                         {233, 236, true},
                                         {80, 210, false},
                                         {234, 210, false},
                                         {150, 185, false},
                                         {150, 237, false}})
        EXPECT_EQ(near(x, y), expected) << x << "," << y;
    // Outside the work area's columns the mouse is never near; its rows are not tested.
    EXPECT_FALSE(near(-5, 10, {0, 0}));
    EXPECT_TRUE(near(1024, 10, {910, 0}));
    EXPECT_FALSE(near(1025, 10, {910, 0}));
    EXPECT_TRUE(near(5, -10, {0, 0}));
}

TEST_F(LedWindow, LayoutSizesTheWindowForEverySizeSpacingAndCount) {
    TfrmDigital& w = makeWindow();
    for (int size = 0; size <= 2; ++size)
        for (int spacing = 0; spacing <= 1; ++spacing)
            for (int extra = 0; extra <= 6; ++extra)
                for (bool lights : {false, true}) {
                    SCOPED_TRACE(testing::Message() << size << spacing << extra << lights);
                    settings.Character_Size = size;
                    settings.Pixel_Spacing = spacing;
                    settings.Number_Of_Characters = extra;
                    settings.Enable_TransmitReceive = lights;
                    w.LayoutDigitalDisplay();
                    const int text = TfrmDigital::DigitalTextWidth(size, extra + 6, spacing);
                    const int cell = TfrmDigital::DigitalTextWidth(size, 1, spacing);
                    const int high = TfrmDigital::DigitalTextHeight(size, spacing);
                    // The labels draw exactly the room the window makes for them.
                    EXPECT_EQ(w.lcdDigital->size(), QSize(text, high));
                    EXPECT_EQ(w.lcdLights->size(), QSize(cell, high));
                    EXPECT_EQ(w.lcdLights->isHidden(), !lights);
                    EXPECT_EQ(w.width(), text + (lights ? cell : 0) + 6);
                    EXPECT_EQ(w.lcdDigital->x(), 3 + (lights ? cell + 1 : 0));
                }
    // 16 pixels a character with spacing, 29 high at the largest size; nothing outside the ranges.
    EXPECT_EQ(TfrmDigital::DigitalTextWidth(1, 9, 1), 144);
    EXPECT_EQ(TfrmDigital::DigitalTextHeight(2, 1), 29);
    for (const auto& [size, count] : {std::pair{1, 5}, {1, 13}, {3, 9}})
        EXPECT_EQ(TfrmDigital::DigitalTextWidth(size, count, 0), 0) << size << count;
    EXPECT_EQ(TfrmDigital::DigitalTextHeight(-1, 0), 0);
}

TEST_F(LedWindow, HideModeHidesNearTheMouseAndComesBackOnlyWhenItShould) {
    settings.Intelligent_Display = 1;
    settings.Show_Digital_Display = 1; // when connected
    settings.Window_Left = 200;
    settings.Window_Top = 300;
    TfrmDigital& w = makeWindow();
    w.move(200, 300);
    w.state().connected = true;
    w.ShowDigitalDisplay();
    for (const bool near : {true, false}) {
        cursor = near ? QPoint(210, 305) : QPoint(600, 600);
        w.timerAutoHideTimer();
        EXPECT_NE(w.isVisible(), near);
    }
    // Between calls a "When Connected" window does not come back.
    w.HideDigitalDisplay();
    w.state().connected = false;
    w.timerAutoHideTimer();
    EXPECT_FALSE(w.state().displayVisible);
}

TEST_F(LedWindow, CornerModesJumpAwayAndReturnHome) {
    work = QRect(0, 30, 1024, 738);
    TfrmDigital& w = makeWindow();
    w.ShowDigitalDisplay();
    const QPoint bottomRight = QPoint(1024, 768) - QPoint(w.width(), w.height());
    // The window at home in this mode, and the mouse comes near it.
    const auto mouseNearHome = [&](int mode, QPoint home) {
        settings.Intelligent_Display = mode;
        settings.Window_Left = home.x();
        settings.Window_Top = home.y();
        w.move(home);
        cursor = home + QPoint(5, 5);
        w.timerAutoHideTimer();
        return w.pos();
    };
    EXPECT_EQ(mouseNearHome(6, {300, 300}), bottomRight); // bottom right
    EXPECT_TRUE(w.state().displayVisible);
    cursor = QPoint(700, 100);
    w.timerAutoHideTimer();
    EXPECT_EQ(w.pos(), QPoint(300, 300));
    // Automatic: the corner farthest from a home near the top left.
    EXPECT_EQ(mouseNearHome(2, {40, 40}), bottomRight);
    // A home already level with the target's top: the window stays where it is.
    EXPECT_EQ(mouseNearHome(3, {200, 30}), QPoint(200, 30));

    // Away from home while hidden between calls: it goes home but stays hidden.
    w.move(0, 30);
    w.HideDigitalDisplay();
    cursor = QPoint(900, 600);
    w.timerAutoHideTimer();
    EXPECT_EQ(w.pos(), QPoint(200, 30));
    EXPECT_FALSE(w.isVisible());
}

TEST_F(LedWindow, FlashOptionsShareOneToggle) {
    settings.Flash_Icon_Minimum = settings.Flash_Icon_Connected = true;
    TfrmDigital& w = makeWindow();
    w.trayGeneral->setIcon(w.imgIcon);
    const auto icon = [&] { return w.trayGeneral->icon().cacheKey(); };
    w.FlashIconMinimum(); // not in the minimum period: nothing
    EXPECT_EQ(icon(), w.imgIcon.cacheKey());
    w.FlashIconConnected();
    EXPECT_EQ(icon(), w.imgIcon4.cacheKey());
    w.FlashIconConnected();
    EXPECT_EQ(icon(), w.imgIcon.cacheKey());
    // Both active: the toggle flips twice a check and the second option decides.
    w.state().costResult.In_Minimum_Period = true;
    for (int check = 0; check < 2; ++check) {
        w.FlashIconMinimum();
        EXPECT_EQ(icon(), w.imgIcon2.cacheKey());
        w.FlashIconConnected();
        w.FlashIconMaximum();
        EXPECT_EQ(icon(), w.imgIcon.cacheKey());
    }
}

TEST_F(LedWindow, DataRateAndLightsFollowTheCountersThroughFallsAndWraps) {
    const auto connectAt = [&](quint64 received, quint64 sent) {
        counters.received = received;
        counters.sent = sent;
        makeWindow().timerDTR->setInterval(5000);
        window->SetByteBaselines();
    };
    const auto traffic = [&](quint64 received, quint64 sent) {
        counters.received += received;
        counters.sent += sent;
    };
    const auto rate = [&] {
        window->CalculateDTR();
        return window->state().dtrCurrent;
    };
    const auto lights = [&] {
        window->UpdateLights();
        return int(window->lcdLights->caption().at(0).unicode());
    };
    connectAt(7'000'000, 900'000);
    traffic(51'200, 40'960);
    const quint64 expected[] = {51'200, 40'960, 92'160, 0}; // received, sent, both, none
    for (int choice = 0; choice <= 3; ++choice) {
        settings.Data_Log = choice;
        EXPECT_EQ(window->GetDataTransferred(), expected[choice]) << choice;
    }
    settings.Data_DTR = 0; // an upload beside it does not count
    EXPECT_DOUBLE_EQ(rate(), 10.0);
    EXPECT_DOUBLE_EQ(rate(), 0.0);
    EXPECT_DOUBLE_EQ(window->state().dtrPrevious, 10.0);
    settings.Data_DTR = 2;
    traffic(10'240, 10'240);
    rate(); // the first step with both counts the sent bytes of the call so far
    traffic(10'240, 10'240);
    EXPECT_DOUBLE_EQ(rate(), 4.0);
    counters.available = false;
    EXPECT_EQ(window->GetDataTransferred(), 0u);
    EXPECT_EQ(rate(), 0.0);
    EXPECT_EQ(window->state().dtrByteTotal, 0u);

    // A counter that falls is a new baseline, a real 32-bit wrap still counts.
    counters.available = true;
    settings.Data_Log = 2;
    connectAt(0xFFFF'F000, 5'000'000);
    traffic(0xF00, 100'000);
    EXPECT_DOUBLE_EQ(rate(), (0xF00 + 100'000) / 1024.0 / 5);
    counters.received = 0x100; // wrapped past 2^32
    counters.sent = 1'000;     // the link was re-created and restarted
    EXPECT_DOUBLE_EQ(rate(), 0x200 / 1024.0 / 5);
    traffic(10'240, 10'240);
    EXPECT_EQ(window->GetDataTransferred(), 0x1100u + 100'000u + 20'480u);
    // A 64-bit counter never wraps: any fall is a restart, even one that would pass for a
    // small step across a 32-bit wrap.
    connectAt(0x1'0000'0100, 0);
    counters.received = 0x200;
    EXPECT_EQ(window->GetDataTransferred(), 0u);

    // The lights: which counters moved since the last step (the first compares with zero).
    connectAt(500, 700);
    settings.Color_LED_Lights = 0x0000FF; // red
    EXPECT_EQ(lights(), 253);
    EXPECT_EQ(window->lcdLights->pixelOn(), QColor(255, 0, 0));
    EXPECT_EQ(lights(), 250);
    traffic(0, 10);
    EXPECT_EQ(lights(), 252);
    traffic(10, 0);
    EXPECT_EQ(lights(), 251);
    traffic(10, 10);
    EXPECT_EQ(lights(), 253);
}

TEST_F(LedWindow, EveryEnabledReadOutAppearsInTurnDuringASimulatedCall) {
    const QString artifacts =
        qEnvironmentVariable("VORN_BINARY_DIR", QDir::tempPath()) + "/artifacts";
    ASSERT_TRUE(QDir().mkpath(artifacts));
    ASSERT_TRUE(QDir(home.path()).mkpath("Logs"));
    const auto sim = [&](const QStringList& arguments) {
        QString output;
        QTextStream out(&output);
        const QString path = simulated.statePath();
        EXPECT_EQ(runVornSim(QStringList{"--state-file", path} + arguments, path, out, out),
                  VornSimExit::Success)
            << output.toStdString();
    };
    sim({"entries", "add", "Work ISP"});
    const std::unique_ptr<ByteCounters> simulatedCounters = simulated.createByteCounters();
    dialUpService = &simulated;
    countersService = simulatedCounters.get();
    chargeEveryMinute("1.5");
    set("Show_CostPerMinute", "1").set("Show_Connect_Speed", "1").set("Show_Digital_Display", "1");
    TfrmDigital& w = makeWindow();
    w.LoadProgramSettings();
    w.timerDTR->setInterval(5000);
    const auto snapshot = [&](const QString& name) {
        const QString path = artifacts + QStringLiteral("/led_") + name + ".png";
        EXPECT_TRUE(w.grab().save(path)) << path.toStdString();
        return w.lcdDigital->caption().trimmed();
    };

    w.SetDigitalText("NO CALL", settings.Color_LED_Idle);
    w.ShowDigitalDisplay();
    EXPECT_EQ(snapshot("0_no_call"), "NO CALL");
    sim({"dial", "Work ISP", "--speed", "28800"});
    w.timerCheckerTimer();
    ASSERT_TRUE(w.state().connected);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(snapshot("1_call"), "CALL");

    // Five seconds of traffic, then the rest of a minute and a half on line.
    sim({"traffic", "--rx", "51200", "--tx", "10240"});
    clock.advance(5000);
    w.CalculateDTR();
    w.UpdateLights();
    clock.advance(90'000);
    w.timerCheckerTimer();
    w.timerCostTimer();

    const QStringList names = {"2_duration", "3_cost", "4_cost_per_minute",
                               "5_rate",     "6_data", "7_speed"};
    const qint32 colours[] = {
        settings.Color_LED_Time, settings.Color_LED_Costs,       settings.Color_LED_Cost_Per_Minute,
        settings.Color_LED_DTR,  settings.Color_LED_Transferred, settings.Color_Connect_Speed};
    QStringList shown;
    for (int step = 0; step < names.size(); ++step) {
        w.timerDisplayTimer();
        shown << snapshot(names[step]);
        EXPECT_EQ(w.lcdDigital->pixelOn().rgb() & 0xFFFFFF, fromBgr(colours[step]) & 0xFFFFFF)
            << names[step].toStdString();
    }
    // 95 seconds at 1.50 a minute; the tariff engine itself decides the pennies.
    const QString cost = w.state().costText;
    EXPECT_EQ(shown, (QStringList{"00:01:35", cost, "£1.50/m", "+12.00K/s", "60.00KB", "28800"}));
    EXPECT_TRUE(cost.startsWith("£2.")) << cost.toStdString();
    w.timerDisplayTimer();
    EXPECT_EQ(w.lcdDigital->caption().trimmed(), "00:01:35");
    EXPECT_EQ(w.lcdLights->caption(), QString(QChar(253)));

    sim({"hangup"});
    w.timerCheckerTimer();
    EXPECT_FALSE(w.state().connected);
    EXPECT_EQ(snapshot("8_after_call"), "NO CALL");
    EXPECT_EQ(w.lcdLights->caption(), QString(QChar(250)));
}
