// The Game's frames without a window: the real input manager over a scripted keyboard, the real
// player and sequencer over the mixer pulled offline, the samples of data/ beside the test.

#include "app/Game.h"
#include "app/MidiPlay.h"

#include "framework/draw/IDrawer.h"
#include "framework/input/DxInputManager.h"
#include "framework/input/KeyCode.h"
#include "framework/sound/DxSoundManager.h"
#include "tests/support/FakeClock.h"
#include "tests/support/GameFrames.h"
#include "tests/support/OfflineMixer.h"

#include <gtest/gtest.h>

using namespace Pakemino;
using namespace Qorv::Input;
using TestSupport::FakeClock;
using TestSupport::GameFrames;
using TestSupport::OfflineMixer;

namespace
{

class GameKeys : public GameFrames
{
protected:
    void SetUp() override
    {
        GameFrames::SetUp();
        Qorv::Sound::PublishSoundDevice(mixer.Device());
        GameDevices devices{Qorv::Draw::CreateDrawer(),
                            std::make_shared<DxInputManager>(script.Platform()),
                            Qorv::Sound::CreateSoundManager(), FakeClock::Now};
        game = std::make_unique<Game>(nullptr, devices);
        // The first snapshot finds the keyboard unacquired.
        Frame();
    }
    void TearDown() override
    {
        game.reset();
        Qorv::Sound::PublishSoundDevice(nullptr);
    }

    bool Step(int32_t track, size_t step) { return game->sequencer->tracks[track].steps[step]; }
    bool KickSounding() { return game->sequencer->tracks[0].sample->IsPlaying(); }

    OfflineMixer mixer;
};

} // namespace

TEST_F(GameKeys, ConstructionLoadsEverySyllableAndBeat)
{
    for (size_t v = 0; v < 20; ++v)
    {
        EXPECT_TRUE(game->player->voices[v]->IsOpen()) << v;
    }
    ASSERT_EQ(game->sequencer->tracks.size(), 9u);
    for (const auto& [number, track] : game->sequencer->tracks)
    {
        EXPECT_TRUE(track.sample->IsOpen()) << number;
    }
    EXPECT_EQ(game->transpose, 12);
    EXPECT_EQ(game->sequencer->interval, 100);
}

TEST_F(GameKeys, ShiftsMoveTheKeyboardWithinItsOctave)
{
    Tap({KeyRShift});
    EXPECT_EQ(game->transpose, 12);
    Tap({KeyLShift, KeyRShift});
    EXPECT_EQ(game->transpose, 12);
    for (int i = 0; i < 14; ++i)
    {
        Tap({KeyLShift});
    }
    EXPECT_EQ(game->transpose, 0);
    Tap({KeyLShift, KeyRShift});
    EXPECT_EQ(game->transpose, 0);
    Tap({KeyRShift});
    EXPECT_EQ(game->transpose, 1);
}

TEST_F(GameKeys, NoteKeysPlayTheirRowAtTranspositionPlusColumn)
{
    Tap({KeyYen});
    EXPECT_EQ(game->player->slots[15].note, 24);
    EXPECT_TRUE(game->player->voices[15]->IsPlaying());
    Tap({KeyA, KeyRBracket});
    EXPECT_EQ(game->player->slots[5].note, 12);
    EXPECT_EQ(game->player->slots[6].note, 23);

    // A shift in the same frame already moves the notes of that frame.
    for (int i = 0; i < 11; ++i)
    {
        Tap({KeyLShift});
    }
    Tap({KeyLShift, KeyZ, KeyQ});
    EXPECT_EQ(game->transpose, 0);
    EXPECT_EQ(game->player->slots[0].note, 0);
    EXPECT_EQ(game->player->slots[10].note, 0);
    for (size_t v : {0u, 5u, 6u, 10u, 15u})
    {
        EXPECT_TRUE(game->player->voices[v]->IsPlaying()) << v;
    }
}

TEST_F(GameKeys, FunctionKeysToggleStepsOfThePageAndF9FlipsItAfterwards)
{
    Tap({KeyF1, KeyF9});
    EXPECT_TRUE(Step(0, 0));
    EXPECT_EQ(stepPage, 8);
    Tap({KeyF1, KeyF8});
    EXPECT_TRUE(Step(0, 8));
    EXPECT_TRUE(Step(0, 15));
    Tap({KeyF1});
    EXPECT_FALSE(Step(0, 8));
    Tap({KeyF9});
    EXPECT_EQ(stepPage, 0);
    EXPECT_TRUE(Step(0, 0));
}

TEST_F(GameKeys, KeypadSelectsTheTrackAndTheHighestDigitWins)
{
    Tap({KeyNumpad3, KeyNumpad7});
    EXPECT_EQ(selectedTrack, 6);
    // A toggle in the frame of a selection still edits the old track.
    Tap({KeyNumpad9, KeyF2});
    EXPECT_EQ(selectedTrack, 8);
    EXPECT_TRUE(Step(6, 1));
    EXPECT_FALSE(Step(8, 1));
    Tap({KeyNumpad1});
    EXPECT_EQ(selectedTrack, 0);
}

TEST_F(GameKeys, AHeldKeyActsOnlyInTheFrameItWentDown)
{
    Hold({KeyLShift, KeyZ, KeyF1, KeyF11, KeyNumpad5});
    const DWORD pressedAt = FakeClock::now + FrameMs;
    for (int frame = 0; frame < 10; ++frame)
    {
        Frame();
    }
    EXPECT_EQ(game->transpose, 11);
    EXPECT_EQ(game->player->slots[0].startTime, pressedAt);
    EXPECT_EQ(game->player->slots[1].note, -1);
    EXPECT_TRUE(Step(0, 0));
    EXPECT_FALSE(Step(4, 0));
    EXPECT_EQ(game->sequencer->interval, 105);
    EXPECT_EQ(selectedTrack, 4);
}

TEST_F(GameKeys, TempoKeysChangeTheIntervalByFiveAndItNeverGoesBelowZero)
{
    Tap({KeyF11, KeyF12});
    EXPECT_EQ(game->sequencer->interval, 100);
    for (int i = 0; i < 20; ++i)
    {
        Tap({KeyF12});
    }
    EXPECT_EQ(game->sequencer->interval, 0);
    // At 0 the pattern advances on every frame.
    const int32_t before = game->sequencer->step;
    Frame();
    Frame();
    EXPECT_EQ(game->sequencer->step, (before + 2) & 15);
    // Faster than every frame cannot go: the pattern keeps running.
    Tap({KeyF12});
    EXPECT_EQ(game->sequencer->interval, 0);
    const int32_t after = game->sequencer->step;
    Frame();
    EXPECT_EQ(game->sequencer->step, (after + 1) & 15);
    Tap({KeyF11});
    EXPECT_EQ(game->sequencer->interval, 5);
}

TEST_F(GameKeys, AStepSwitchedOnAsTheSequencerReachesItSoundsOnlyNextTimeRound)
{
    const int32_t start = game->sequencer->step;
    while (game->sequencer->step == start)
    {
        Frame();
    }
    while (game->sequencer->step != 0)
    {
        Frame();
    }
    // Step 1 comes seven frames after step 0: F2 goes down in that frame.
    for (int frame = 0; frame < 6; ++frame)
    {
        Frame();
    }
    Hold({KeyF2});
    Frame();
    Hold({KeyF2}, false);
    ASSERT_EQ(game->sequencer->step, 1);
    EXPECT_TRUE(Step(0, 1));
    EXPECT_FALSE(KickSounding());

    int frames = 0;
    while (!KickSounding() && frames < 200)
    {
        Frame();
        ++frames;
    }
    EXPECT_EQ(game->sequencer->step, 1);
    // Sixteen steps of seven 16 ms frames.
    EXPECT_EQ(frames, 16 * 7);
}

TEST_F(GameKeys, AKeyDownAsTheWindowLosesFocusActsOnce)
{
    Hold({KeyLShift, KeyZ, KeyF1, KeyF11});
    Frame();
    const DWORD pressedAt = FakeClock::now;
    // Another window takes focus: the snapshot keeps the key down and its edge for ten frames.
    script.activeWindow = reinterpret_cast<HWND>(0x2000);
    for (int frame = 0; frame < 10; ++frame)
    {
        Frame();
    }
    script.activeWindow = nullptr;
    Frame();
    EXPECT_EQ(game->transpose, 11);
    EXPECT_EQ(game->player->slots[0].startTime, pressedAt);
    EXPECT_TRUE(Step(0, 0));
    EXPECT_EQ(game->sequencer->interval, 105);
}

TEST_F(GameKeys, MidiNotesPlayLikeKeysAndClockInHoldsTheTempoKeys)
{
    const int32_t stamps = game->player->playedCount;
    HandleMidi(*game, 0x90 | 1 | 60 << 8 | 64 << 16);
    HandleMidi(*game, 0x80 | 1 | 60 << 8);
    EXPECT_EQ(game->player->slots[5].note, 12);
    EXPECT_TRUE(game->player->voices[5]->IsPlaying());
    EXPECT_EQ(game->player->slots[6].note, -1) << "note-off starts nothing";
    EXPECT_EQ(game->player->playedCount, stamps + 1);
    HandleMidi(*game, 0x99 | 38 << 8 | 127 << 16);
    EXPECT_TRUE(game->sequencer->tracks[1].sample->IsPlaying());

    HandleMidi(*game, 0xF8);
    Tap({KeyF11});
    EXPECT_EQ(game->sequencer->interval, 100);
    FakeClock::now += 1000;
    Tap({KeyF11});
    EXPECT_EQ(game->sequencer->interval, 105);
}

TEST_F(GameKeys, TheStatusFollowsTrackPageTempoAndTranspositionInTheFrameOfTheKey)
{
    EXPECT_EQ(DrumMachineStatus(*game), "track: kick   F1-F8: steps 1-8   150 BPM   transpose 0");
    Hold({KeyNumpad3, KeyF9, KeyF12, KeyLShift});
    Frame();
    EXPECT_EQ(DrumMachineStatus(*game),
              "track: closed hat   F1-F8: steps 9-16   158 BPM   transpose -1");
    Hold({KeyNumpad3, KeyF9, KeyF12, KeyLShift}, false);
    Frame();

    Tap({KeyF11});
    Tap({KeyRShift});
    EXPECT_EQ(DrumMachineStatus(*game),
              "track: closed hat   F1-F8: steps 9-16   150 BPM   transpose 0");
    // At 0 ms the sequencer steps every frame: no tempo in beats, the frame rate's.
    for (int i = 0; i < 20; ++i)
    {
        Tap({KeyF12});
    }
    EXPECT_EQ(DrumMachineStatus(*game),
              "track: closed hat   F1-F8: steps 9-16   a step a frame   transpose 0");
    // The key map names the leftmost keys' pitch: the recordings' own at the start.
    EXPECT_EQ(PitchName(game->transpose), "C4");
    for (int i = 0; i < 12; ++i)
    {
        Tap({KeyLShift});
    }
    EXPECT_EQ(PitchName(game->transpose), "C3");
}
