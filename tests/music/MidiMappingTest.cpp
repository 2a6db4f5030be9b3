// What MIDI notes play: rows by channel, pitch folded into the player's two octaves, the drum
// map with its neighbours, and the velocity curve.

#include "music/MidiMapping.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Pakemino;

TEST(MidiMapping, ChannelsPickRowsAndChannelTenSingsNothing)
{
    for (int32_t channel = 0; channel < 16; ++channel)
    {
        const auto voice = VoiceFor(channel, 60);
        if (channel == DrumChannel)
        {
            EXPECT_FALSE(voice);
            continue;
        }
        ASSERT_TRUE(voice) << channel;
        EXPECT_EQ(voice->row, channel % 4) << channel;
    }
}

TEST(MidiMapping, MiddleCIsTheRecordingsPitchAndOtherOctavesFoldIn)
{
    EXPECT_EQ(VoiceFor(0, 60)->note, 12);
    EXPECT_EQ(VoiceFor(0, 48)->note, 0);
    EXPECT_EQ(VoiceFor(0, 72)->note, 24);
    EXPECT_EQ(VoiceFor(0, 47)->note, 11);
    EXPECT_EQ(VoiceFor(0, 73)->note, 13);
    EXPECT_EQ(VoiceFor(0, 0)->note, 0);
    EXPECT_EQ(VoiceFor(0, 127)->note, 19);
}

TEST(MidiMapping, GeneralMidiDrumsAndTheirNeighboursStrikeTheNearestTrack)
{
    const std::pair<int32_t, int32_t> expected[] = {
        {36, 0}, {35, 0}, {38, 1}, {40, 1}, {42, 2}, {44, 2}, {46, 3}, {39, 4},
        {45, 5}, {41, 5}, {43, 5}, {50, 6}, {48, 6}, {56, 7}, {49, 8}, {57, 8}};
    for (const auto& [note, track] : expected)
    {
        EXPECT_EQ(DrumTrackFor(note), track) << note;
    }
    EXPECT_FALSE(DrumTrackFor(60));
    EXPECT_FALSE(DrumTrackFor(34));
}

TEST(MidiMapping, FullVelocityIsFullVolumeAndHalfIsAboutSixDecibelsDown)
{
    EXPECT_FLOAT_EQ(VolumeFor(127), 100.0f);
    EXPECT_NEAR(20.0 * std::log10(VolumeFor(64) / 100.0), -6.0, 0.1);
    EXPECT_LT(VolumeFor(1), 1.0f);
}
