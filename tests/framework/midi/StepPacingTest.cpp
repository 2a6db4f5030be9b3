#include "framework/midi/StepPacing.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

// Steps begin on frames: 100 ms steps last 103 ms, and now and then a frame more.
TEST(StepPacing, PulsesSpreadOverTheUsualStepNotALateOneAndANewTempoPacesItsFirstStep)
{
    Qorv::Midi::StepPacing pacing;
    const auto begin = [&](std::chrono::milliseconds at, std::chrono::milliseconds interval)
    {
        return pacing.Begin(Qorv::Midi::StepPacing::Time{} + 1h + at, interval);
    };
    EXPECT_EQ(begin(0ms, 100ms), 100ms);
    EXPECT_EQ(begin(103ms, 100ms), 103ms);
    EXPECT_EQ(begin(223ms, 100ms), 103ms);
    EXPECT_EQ(begin(326ms, 100ms), 103ms);
    // Twice as fast, then a pause that is no step's length.
    EXPECT_EQ(begin(429ms, 50ms), 53ms);
    EXPECT_EQ(begin(5000ms, 50ms), 53ms);
    EXPECT_EQ(begin(5051ms, 50ms), 51ms);
}
