#include "app/message_box_prompts.h"
#include "app/vorn_application.h"

#include <gtest/gtest.h>

#include <stdexcept>

TEST(FatalErrors, AnExceptionInAnEventHandlerReachesTheHandlerWithItsMessage) {
    QStringList handled;
    const auto handler = [&](const QString& message) { handled << message; };

    EXPECT_TRUE(deliverGuarded([] { return true; }, handler));
    EXPECT_TRUE(handled.isEmpty());

    EXPECT_FALSE(deliverGuarded(
        []() -> bool { throw std::runtime_error("Cannot write Logs/log070.bin: Disk full"); },
        handler));
    EXPECT_FALSE(deliverGuarded([]() -> bool { throw 42; }, handler));
    EXPECT_EQ(handled,
              (QStringList{"Cannot write Logs/log070.bin: Disk full", "Unknown exception"}));
}

TEST(MessageBoxes, TheProgramsLineBreakPairIsOneBreak) {
    EXPECT_EQ(MessageBoxPrompts::displayText("One\n\r\n\rTwo\n\rThree"), "One\n\nTwo\nThree");
    EXPECT_EQ(MessageBoxPrompts::displayText("stray\rreturn"), "strayreturn");
}
