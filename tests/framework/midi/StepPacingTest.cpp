#include "framework/midi/StepPacing.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using Qorv::Midi::StepPacing;

namespace
{
std::chrono::microseconds BeginAt(StepPacing& pacing, std::chrono::milliseconds at,
                                  std::chrono::milliseconds interval = 100ms)
{
    return pacing.Begin(StepPacing::Time{} + 1h + at, interval);
}
} // namespace

// Steps begin on frames: 100 ms steps last 103 ms, and now and then a frame more.
TEST(StepPacing, PulsesSpreadOverTheUsualStepSoALateOneDoesNotStretchTheNext)
{
    StepPacing pacing;
    EXPECT_EQ(BeginAt(pacing, 0ms), 100ms);
    EXPECT_EQ(BeginAt(pacing, 103ms), 103ms);
    EXPECT_EQ(BeginAt(pacing, 206ms), 103ms);
    EXPECT_EQ(BeginAt(pacing, 326ms), 103ms);
    EXPECT_EQ(BeginAt(pacing, 429ms), 103ms);
}

TEST(StepPacing, ANewTempoPacesItsFirstStepAndAPauseIsNoStep)
{
    StepPacing pacing;
    BeginAt(pacing, 0ms);
    BeginAt(pacing, 104ms);
    EXPECT_EQ(BeginAt(pacing, 208ms, 50ms), 54ms);
    EXPECT_EQ(BeginAt(pacing, 262ms, 50ms), 54ms);
    EXPECT_EQ(BeginAt(pacing, 5000ms, 50ms), 54ms);
    EXPECT_EQ(BeginAt(pacing, 5051ms, 50ms), 51ms);
}
