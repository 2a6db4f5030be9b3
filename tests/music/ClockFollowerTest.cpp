// The drum machine following MIDI clock with a fake millisecond clock: steps per pulse,
// Start/Stop/Continue, and its own interval back after a silent second.

#include "music/ClockFollower.h"

#include "framework/sound/DxSoundManager.h"
#include "tests/support/FakeClock.h"

#include <gtest/gtest.h>

using namespace Pakemino;
using TestSupport::FakeClock;

namespace
{

class Follower : public ::testing::Test
{
protected:
    void SetUp() override { FakeClock::now = 5000; }

    // How many times the step changed over the pulses.
    int Steps(int pulses)
    {
        int steps = 0;
        for (int i = 0; i < pulses; ++i)
        {
            const int32_t before = sequencer->step;
            follower.Receive(MidiClockPulse);
            steps += sequencer->step != before ? 1 : 0;
        }
        return steps;
    }

    std::shared_ptr<RhythmSequencer> sequencer =
        std::make_shared<RhythmSequencer>(Qorv::Sound::CreateSoundManager(), FakeClock::Now);
    ClockFollower follower{sequencer, FakeClock::Now};
};

} // namespace

TEST_F(Follower, FourQuarterNotesOfClockAdvanceSixteenSteps)
{
    EXPECT_FALSE(follower.Following());
    EXPECT_EQ(Steps(24 * 4), 16);
    EXPECT_TRUE(follower.Following());
}

TEST_F(Follower, StartPlaysStepZeroStopHaltsAndContinueResumes)
{
    Steps(9);
    follower.Receive(MidiStart);
    EXPECT_EQ(Steps(1), 1);
    EXPECT_EQ(sequencer->step, 0);
    follower.Receive(MidiStop);
    EXPECT_EQ(Steps(12), 0);
    follower.Receive(MidiContinue);
    Steps(6);
    EXPECT_EQ(sequencer->step, 1);
}

TEST_F(Follower, OwnIntervalTakesOverAfterASilentSecondWithoutMakingUpSteps)
{
    Steps(6);
    FakeClock::now += ClockTimeout;
    EXPECT_TRUE(follower.Following());
    FakeClock::now += 1;
    EXPECT_FALSE(follower.Following());
    const int32_t step = sequencer->step;
    sequencer->Update();
    EXPECT_EQ(sequencer->step, step);
}
