// The drum machine over the real buffers and the mixer pulled offline, driven frame by frame
// with a fake clock: when steps advance, what sounds at each, and how loud.

#include "music/RhythmSequencer.h"

#include "framework/sound/DxSoundManager.h"
#include "tests/support/FakeClock.h"
#include "tests/support/OfflineMixer.h"
#include "tests/support/RiffBytes.h"
#include "tests/support/Signal.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

using namespace Pakemino;
using namespace TestSupport;

namespace
{

constexpr DWORD OutputRate = 48000;
constexpr DWORD FrameMs = 16;
constexpr DWORD FrameOutput = OutputRate * FrameMs / 1000;

class Sequencer : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FakeClock::now = 5000;
        Qorv::Sound::PublishSoundDevice(mixer.Device());
        sequencer =
            std::make_shared<RhythmSequencer>(Qorv::Sound::CreateSoundManager(), FakeClock::Now);
    }
    void TearDown() override
    {
        sequencer.reset();
        Qorv::Sound::PublishSoundDevice(nullptr);
    }

    // A 1 kHz tone of the given length on a track.
    void GiveTone(int32_t track, int milliseconds)
    {
        const auto path =
            dir.Write("tone" + std::to_string(track) + ".wav",
                      PcmWave(1, 44100, SinePcm(1000, 44100, 441 * milliseconds / 10, 0.5)));
        sequencer->SetSample(path.wstring(), track);
    }

    // One frame of the game: the clock moves on, the sequencer updates, a frame of sound mixes.
    std::vector<float> Frame()
    {
        FakeClock::now += FrameMs;
        sequencer->Update();
        return mixer.Render(FrameOutput);
    }

    // Frames run until the step changes, at most limit.
    int FramesToNextStep(int limit = 100)
    {
        const int32_t before = sequencer->step;
        for (int frames = 1; frames <= limit; ++frames)
        {
            Frame();
            if (sequencer->step != before)
            {
                return frames;
            }
        }
        return -1;
    }

    OfflineMixer mixer{OutputRate};
    TempDir dir;
    std::shared_ptr<RhythmSequencer> sequencer;
};

} // namespace

TEST_F(Sequencer, AnEmptyPatternStillWalksTheSixteenStepsInSilence)
{
    for (int32_t t = 0; t < TrackCount; ++t)
    {
        GiveTone(t, 50);
    }
    double loudest = 0.0;
    for (int advance = 1; advance <= 20; ++advance)
    {
        ASSERT_EQ(FramesToNextStep(), 7);
        EXPECT_EQ(sequencer->step, advance % 16);
        loudest = std::max(loudest, RmsOf(Channel(mixer.Render(FrameOutput), 0)));
    }
    EXPECT_EQ(loudest, 0.0);
}

TEST_F(Sequencer, StepPeriodIsTheFirstFrameAfterTheInterval)
{
    const std::pair<int32_t, int> periods[] = {{100, 7}, {200, 13}, {0, 1}, {16, 2}, {15, 1}};
    for (const auto& [interval, frames] : periods)
    {
        sequencer->interval = interval;
        FramesToNextStep();
        for (int i = 0; i < 3; ++i)
        {
            EXPECT_EQ(FramesToNextStep(), frames) << interval;
        }
    }
}

TEST_F(Sequencer, TheStepAdvancesBeforeItSoundsSoStepZeroComesLast)
{
    GiveTone(0, 50);
    sequencer->tracks[0].steps[0] = true;
    for (int advance = 1; advance < 16; ++advance)
    {
        FramesToNextStep();
        EXPECT_FALSE(sequencer->tracks[0].sample->IsPlaying()) << advance;
    }
    FramesToNextStep();
    EXPECT_EQ(sequencer->step, 0);
    EXPECT_TRUE(sequencer->tracks[0].sample->IsPlaying());
}

TEST_F(Sequencer, AccentsFollowTheStepsPlaceInTheBar)
{
    GiveTone(0, 50);
    for (size_t s = 1; s <= 4; ++s)
    {
        sequencer->tracks[0].steps[s] = true;
    }
    std::vector<double> levels;
    for (int advance = 1; advance <= 4; ++advance)
    {
        while (sequencer->step != advance)
        {
            FakeClock::now += FrameMs;
            sequencer->Update();
        }
        // The middle of the 50 ms tone, clear of the resampler's edges.
        mixer.Render(OutputRate / 100);
        const auto tone = Channel(mixer.Render(OutputRate / 50), 0);
        levels.push_back(FitTone(tone, 1000.0 / OutputRate).amplitude);
        mixer.Render(OutputRate / 10);
    }
    const double full = levels[3];
    EXPECT_NEAR(full, 0.5, 0.01);
    // -443 and -193 hundredths of a dB.
    EXPECT_NEAR(levels[0] / full, 0.600, 0.005);
    EXPECT_NEAR(levels[1] / full, 0.801, 0.005);
    EXPECT_NEAR(levels[2] / full, 0.600, 0.005);
}

TEST_F(Sequencer, ASampleStillSoundingIsRestartedFromItsBeginning)
{
    GiveTone(0, 500);
    sequencer->tracks[0].steps[1] = true;
    sequencer->tracks[0].steps[2] = true;
    FramesToNextStep();
    const int toStepTwo = FramesToNextStep();
    ASSERT_EQ(toStepTwo, 7);
    int frames = 0;
    while (sequencer->tracks[0].sample->IsPlaying() && frames < 200)
    {
        mixer.Render(FrameOutput);
        ++frames;
    }
    // The second start, not the first, sets the end: 500 ms after step 2.
    EXPECT_NEAR(frames * FrameMs, 500, FrameMs);
}

TEST_F(Sequencer, TracksOnTheSameStepSoundTogether)
{
    GiveTone(0, 50);
    GiveTone(5, 50);
    GiveTone(8, 50);
    sequencer->tracks[0].steps[1] = true;
    sequencer->tracks[8].steps[1] = true;
    FramesToNextStep();
    EXPECT_TRUE(sequencer->tracks[0].sample->IsPlaying());
    EXPECT_FALSE(sequencer->tracks[5].sample->IsPlaying());
    EXPECT_TRUE(sequencer->tracks[8].sample->IsPlaying());
    // Two tones of 0.5 in phase, at step 1's accent of 60.
    const auto mix = Channel(mixer.Render(OutputRate / 50), 0, OutputRate / 100);
    EXPECT_NEAR(FitTone(mix, 1000.0 / OutputRate).amplitude, 0.6, 0.01);
}

TEST_F(Sequencer, AMissingSampleLeavesItsTrackSilentButSteppable)
{
    GiveTone(3, 50);
    sequencer->tracks[3].steps[1] = true;
    // A new sample replaces the old one and keeps the steps.
    sequencer->SetSample(L"", 3);
    ASSERT_TRUE(sequencer->tracks[3].sample);
    EXPECT_FALSE(sequencer->tracks[3].sample->IsOpen());
    EXPECT_TRUE(sequencer->tracks[3].steps[1]);
    sequencer->SetSample((dir.Path() / "absent.wav").wstring(), 4);
    sequencer->tracks[4].steps[1] = true;
    FramesToNextStep();
    EXPECT_EQ(sequencer->step, 1);
    EXPECT_EQ(RmsOf(Channel(mixer.Render(FrameOutput), 0)), 0.0);
}
