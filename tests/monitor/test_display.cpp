#include "display_fixture.h"

#include "widgets/lcd_label.h"
#include "widgets/taskbar_icon.h"

#include <gtest/gtest.h>

namespace {

class DisplayTest : public ::testing::Test {
protected:
    DigitalWindowParts parts;
    std::unique_ptr<TfrmDigital> window;
};

} // namespace

TEST_F(DisplayTest, LayoutSizesTheWindowForEverySizeSpacingAndCount) {
    window = parts.makeWindow();
    typSettings& st = parts.settings;
    for (int size = 0; size <= 2; ++size) {
        for (int spacing = 0; spacing <= 1; ++spacing) {
            for (int extra = 0; extra <= 6; ++extra) {
                for (bool lights : {false, true}) {
                    SCOPED_TRACE(testing::Message()
                                 << "size " << size << " spacing " << spacing << " characters "
                                 << extra + 6 << " lights " << lights);
                    st.Character_Size = size;
                    st.Pixel_Spacing = spacing;
                    st.Number_Of_Characters = extra;
                    st.Enable_TransmitReceive = lights;
                    window->LayoutDigitalDisplay();

                    const int text = TfrmDigital::DigitalTextWidth(size, extra + 6, spacing);
                    const int cell = TfrmDigital::DigitalTextWidth(size, 1, spacing);
                    const int high = TfrmDigital::DigitalTextHeight(size, spacing);
                    // The labels draw exactly the room the window makes for them.
                    EXPECT_EQ(window->lcdDigital->size(), QSize(text, high));
                    EXPECT_EQ(window->lcdLights->size(), QSize(cell, high));
                    EXPECT_EQ(window->lcdLights->isHidden(), !lights);
                    EXPECT_EQ(window->width(), text + (lights ? cell : 0) + 6);
                    EXPECT_EQ(window->lcdDigital->x(), 3 + (lights ? cell + 1 : 0));
                }
            }
        }
    }
    // Per character 7, 12, 17 pixels, and 11, 16, 21 with spacing; 9, 16, 23 and 15, 22, 29 high.
    EXPECT_EQ(TfrmDigital::DigitalTextWidth(2, 1, 0), 17);
    EXPECT_EQ(TfrmDigital::DigitalTextWidth(1, 9, 1), 144);
    EXPECT_EQ(TfrmDigital::DigitalTextHeight(0, 0), 9);
    EXPECT_EQ(TfrmDigital::DigitalTextHeight(2, 1), 29);
    for (int count : {0, 2, 5, 13})
        EXPECT_EQ(TfrmDigital::DigitalTextWidth(1, count, 0), 0) << count;
    EXPECT_EQ(TfrmDigital::DigitalTextWidth(3, 9, 0), 0);
    EXPECT_EQ(TfrmDigital::DigitalTextHeight(-1, 0), 0);
}

TEST_F(DisplayTest, HideModeHidesNearTheMouseAndComesBackOnlyWhenItShould) {
    parts.settings.Intelligent_Display = 1;
    parts.settings.Show_Digital_Display = 1; // when connected
    parts.settings.Window_Left = 200;
    parts.settings.Window_Top = 300;
    window = parts.makeWindow();
    window->move(200, 300);
    window->state().connected = true;
    window->ShowDigitalDisplay();

    parts.cursor = QPoint(210, 305);
    window->timerAutoHideTimer();
    EXPECT_FALSE(window->state().displayVisible);
    EXPECT_FALSE(window->isVisible());

    parts.cursor = QPoint(600, 600);
    window->timerAutoHideTimer();
    EXPECT_TRUE(window->state().displayVisible);
    EXPECT_TRUE(window->isVisible());

    // Between calls a "When Connected" window does not come back.
    window->HideDigitalDisplay();
    window->state().connected = false;
    window->timerAutoHideTimer();
    EXPECT_FALSE(window->state().displayVisible);
}

TEST_F(DisplayTest, CornerModesJumpAwayAndReturnHome) {
    parts.work = QRect(0, 30, 1024, 738);
    window = parts.makeWindow();
    window->ShowDigitalDisplay();
    const QPoint bottomRight = QPoint(1024, 768) - QPoint(window->width(), window->height());
    // The window at home in this mode, and the mouse comes near it.
    const auto mouseNearHome = [&](int mode, QPoint home) {
        parts.settings.Intelligent_Display = mode;
        parts.settings.Window_Left = home.x();
        parts.settings.Window_Top = home.y();
        window->move(home);
        parts.cursor = home + QPoint(5, 5);
        window->timerAutoHideTimer();
        return window->pos();
    };

    EXPECT_EQ(mouseNearHome(6, {300, 300}), bottomRight); // bottom right
    EXPECT_TRUE(window->state().displayVisible);
    parts.cursor = QPoint(700, 100);
    window->timerAutoHideTimer();
    EXPECT_EQ(window->pos(), QPoint(300, 300));
    EXPECT_TRUE(window->state().displayVisible);

    // Automatic: the corner farthest from a home near the top left.
    EXPECT_EQ(mouseNearHome(2, {40, 40}), bottomRight);
    // A home already level with the target's top: the window stays where it is.
    EXPECT_EQ(mouseNearHome(3, {200, 30}), QPoint(200, 30));

    // Away from home while hidden between calls: it goes home but stays hidden.
    window->move(0, 30);
    window->HideDigitalDisplay();
    parts.cursor = QPoint(900, 600);
    window->timerAutoHideTimer();
    EXPECT_EQ(window->pos(), QPoint(200, 30));
    EXPECT_FALSE(window->state().displayVisible);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(DisplayTest, FlashOptionsShareOneToggle) {
    parts.settings.Flash_Icon_Minimum = true;
    parts.settings.Flash_Icon_Connected = true;
    window = parts.makeWindow();
    window->trayGeneral->setIcon(window->imgIcon);
    const auto icon = [&] { return window->trayGeneral->icon().cacheKey(); };

    window->FlashIconMinimum(); // not in the minimum period: nothing
    EXPECT_EQ(icon(), window->imgIcon.cacheKey());
    window->FlashIconConnected();
    EXPECT_EQ(icon(), window->imgIcon4.cacheKey());
    window->FlashIconConnected();
    EXPECT_EQ(icon(), window->imgIcon.cacheKey());

    // Both active: the toggle flips twice a check and the second option decides.
    window->state().costResult.In_Minimum_Period = true;
    for (int check = 0; check < 2; ++check) {
        window->FlashIconMinimum();
        EXPECT_EQ(icon(), window->imgIcon2.cacheKey());
        window->FlashIconConnected();
        window->FlashIconMaximum();
        EXPECT_EQ(icon(), window->imgIcon.cacheKey());
    }
}
