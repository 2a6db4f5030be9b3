#include "music/MidiMapping.h"

#include <array>
#include <utility>

namespace Pakemino
{

namespace
{
constexpr int32_t LowestNote = 48;
constexpr int32_t HighestNote = 72;
constexpr int32_t Octave = 12;
constexpr int32_t RowCount = 4;
constexpr float MaxVelocity = 127.0f;

// General MIDI drum notes and the track each strikes, neighbours on the nearest sound.
constexpr std::array<std::pair<int32_t, int32_t>, 16> DrumMap = {{
    {35, 0}, // acoustic bass drum: kick
    {36, 0}, // kick
    {38, 1}, // snare
    {40, 1}, // electric snare: snare
    {42, 2}, // closed hat
    {44, 2}, // pedal hat: closed hat
    {46, 3}, // open hat
    {39, 4}, // clap
    {45, 5}, // low tom
    {41, 5}, // low floor tom: low tom
    {43, 5}, // high floor tom: low tom
    {50, 6}, // high tom
    {48, 6}, // high mid tom: high tom
    {56, 7}, // cowbell
    {49, 8}, // crash
    {57, 8}, // crash 2: crash
}};
} // namespace

std::optional<VoiceNote> VoiceFor(int32_t channel, int32_t midiNote)
{
    if (channel == DrumChannel)
    {
        return std::nullopt;
    }
    while (midiNote < LowestNote)
    {
        midiNote += Octave;
    }
    while (midiNote > HighestNote)
    {
        midiNote -= Octave;
    }
    return VoiceNote{channel % RowCount, midiNote - LowestNote};
}

std::optional<int32_t> DrumTrackFor(int32_t midiNote)
{
    for (const auto& [note, track] : DrumMap)
    {
        if (note == midiNote)
        {
            return track;
        }
    }
    return std::nullopt;
}

float VolumeFor(int32_t velocity)
{
    return 100.0f * static_cast<float>(velocity) / MaxVelocity;
}

} // namespace Pakemino
