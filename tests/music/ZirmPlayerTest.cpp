// The voice player over the real buffers and the mixer pulled offline, with the syllables of
// data/ beside the test: which voice a note takes, and how fast and long it sounds.

#include "music/ZirmPlayer.h"

#include "framework/sound/DxSoundManager.h"
#include "tests/support/FakeClock.h"
#include "tests/support/OfflineMixer.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Pakemino;
using namespace TestSupport;

namespace
{

constexpr DWORD OutputRate = 48000;
// "pa.wav": 18670 frames at 44100 Hz.
constexpr double PaFrames = 18670.0;
constexpr double PaRate = 44100.0;
constexpr DWORD Chunk = 32;

class Player : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FakeClock::now = 1000;
        Qorv::Sound::PublishSoundDevice(mixer.Device());
        player = std::make_shared<ZirmPlayer>(Qorv::Sound::CreateSoundManager(), FakeClock::Now);
    }
    void TearDown() override
    {
        player.reset();
        Qorv::Sound::PublishSoundDevice(nullptr);
    }

    std::vector<int> Playing() const
    {
        std::vector<int> playing;
        for (size_t v = 0; v < player->voices.size(); ++v)
        {
            if (player->voices[v]->IsPlaying())
            {
                playing.push_back(static_cast<int>(v));
            }
        }
        return playing;
    }

    // Output frames mixed until the voice stopped by itself.
    double FramesUntilStopped(int voice)
    {
        DWORD frames = 0;
        while (player->voices[static_cast<size_t>(voice)]->IsPlaying() && frames < 10 * OutputRate)
        {
            mixer.Render(Chunk);
            frames += Chunk;
        }
        return frames;
    }

    OfflineMixer mixer{OutputRate};
    std::shared_ptr<ZirmPlayer> player;
};

} // namespace

TEST_F(Player, EveryVoiceOfTheFourRowsHoldsItsSyllableAndTheFifthRowNone)
{
    ASSERT_EQ(player->voices.size(), 25u);
    for (size_t v = 0; v < 25; ++v)
    {
        EXPECT_EQ(player->voices[v]->IsOpen(), v < 20) << v;
        EXPECT_EQ(player->slots[v].note, -1);
    }
    EXPECT_TRUE(Playing().empty());
}

TEST_F(Player, NotesTakeFreeVoicesInOrderAndARepeatedNoteRestartsItsOwn)
{
    player->PlayNote(0, 3);
    player->PlayNote(0, 5);
    player->PlayNote(0, 7);
    EXPECT_EQ(Playing(), (std::vector<int>{0, 1, 2}));

    mixer.Render(OutputRate / 10);
    FakeClock::now += 100;
    player->PlayNote(0, 5);
    EXPECT_EQ(Playing(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(player->slots[1].note, 5);
    EXPECT_EQ(player->slots[1].startTime, 1100u);
    EXPECT_EQ(player->slots[3].note, -1);

    // Note 5 (0.66) sounds its whole length again from the restart.
    EXPECT_NEAR(FramesUntilStopped(1), PaFrames / (PaRate * 0.66) * OutputRate, 2 * Chunk);
}

TEST_F(Player, ASixthNoteTakesTheVoiceStartedLongestAgoAndTheLowerOneOnATie)
{
    const DWORD starts[] = {50, 20, 30, 20, 40};
    for (int i = 0; i < 5; ++i)
    {
        FakeClock::now = starts[i];
        player->PlayNote(1, 10 + i);
    }
    FakeClock::now = 60;
    player->PlayNote(1, 20);
    EXPECT_EQ(player->slots[6].note, 20);
    FakeClock::now = 70;
    player->PlayNote(1, 21);
    EXPECT_EQ(player->slots[8].note, 21);
    FakeClock::now = 80;
    player->PlayNote(1, 22);
    EXPECT_EQ(player->slots[7].note, 22);
    EXPECT_EQ(player->slots[7].startTime, 80u);
    // Each note still owns its voice until it is taken.
    EXPECT_EQ(player->slots[5].note, 10);
    EXPECT_EQ(player->slots[9].note, 14);
}

TEST_F(Player, RowsNeverShareVoices)
{
    for (int row = 0; row < 4; ++row)
    {
        player->PlayNote(row, 12);
    }
    for (int row = 0; row < 4; ++row)
    {
        player->PlayNote(row, 14);
    }
    EXPECT_EQ(Playing(), (std::vector<int>{0, 1, 5, 6, 10, 11, 15, 16}));
}

TEST_F(Player, PitchTableRatiosSetSpeedAndLengthTogether)
{
    // Cut, not rounded: note 1 is 0.52 (2^(-11/12) would be 0.5297), note 23 is 1.88.
    const std::pair<int, double> notes[] = {{0, 0.5},   {1, 0.52},  {12, 1.0},
                                            {13, 1.05}, {23, 1.88}, {24, 2.0}};
    for (const auto& [note, ratio] : notes)
    {
        player->PlayNote(0, note);
        const int voice = Playing().at(0);
        const double expected = PaFrames / (PaRate * ratio) * OutputRate;
        EXPECT_NEAR(FramesUntilStopped(voice), expected, 2 * Chunk) << note;
    }
}

TEST_F(Player, PlayedCountCountsEveryNoteIncludingSilentOnes)
{
    player->PlayNote(0, 12);
    player->PlayNote(0, 12);
    // Row 4 has no syllable: silent, yet counted and given a slot.
    player->PlayNote(4, 12);
    EXPECT_EQ(player->playedCount, 3);
    EXPECT_EQ(player->slots[20].note, 12);
    EXPECT_EQ(Playing(), (std::vector<int>{0}));

    Qorv::Sound::PublishSoundDevice(nullptr);
    ZirmPlayer deaf(Qorv::Sound::CreateSoundManager(), FakeClock::Now);
    deaf.PlayNote(2, 5);
    EXPECT_EQ(deaf.playedCount, 1);
    EXPECT_FALSE(deaf.voices[10]->IsOpen());
}
