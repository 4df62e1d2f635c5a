#include "tariff/second_stepper.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <random>

namespace {

// Runs both steppings side by side and reports the first step where they part.
void expectSameSteps(double start, int steps) {
    SecondStepper stepper;
    double fast = start, slow = start;
    for (int i = 0; i < steps; ++i) {
        fast = stepper.next(fast);
        slow = tariff::nextSecond(slow);
        if (std::bit_cast<std::uint64_t>(fast) != std::bit_cast<std::uint64_t>(slow)) {
            ADD_FAILURE() << "from " << std::setprecision(17) << start << ", step " << i << ": "
                          << fast << " instead of " << slow;
            return;
        }
    }
}

TEST(SecondStepper, StepsExactlyAsExtendedPrecisionAcrossPowersOfTwo) {
    const double oneSecond = static_cast<double>(OneSecond);
    for (double boundary : {0.5, 1.0, 2.0, 1024.0, 32768.0, 65536.0, 131072.0, 1099511627776.0})
        expectSameSteps(boundary - 50 * oneSecond, 100);
    for (double start : {0.0, -0.0, 1e-310, 1e-9, 3e-5, 45000.123456, 60000.0, -45000.5, -1e-7})
        expectSameSteps(start, 2000);
}

TEST(SecondStepper, RandomMomentsOfAnyEra) {
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> era(-10, 15);
    for (int i = 0; i < 500 && !testing::Test::HasFailure(); ++i)
        expectSameSteps(std::pow(10.0, era(rng)), 300);
}

TEST(SecondStepper, MomentsWithoutAValueStepAsTheSlowWay) {
    SecondStepper stepper;
    EXPECT_TRUE(std::isnan(stepper.next(std::numeric_limits<double>::quiet_NaN())));
    EXPECT_EQ(stepper.next(std::numeric_limits<double>::infinity()),
              std::numeric_limits<double>::infinity());
    EXPECT_EQ(stepper.next(1e300), 1e300);
    EXPECT_EQ(stepper.next(45000), tariff::nextSecond(45000));
}

} // namespace
