#pragma once
// What a MIDI note plays: the syllable row and player note a channel's note takes, the drum
// track a channel-10 note strikes, and the volume its velocity gives.

#include <cstdint>
#include <optional>

namespace Pakemino
{

// Channel 10, counted from 0 as on the wire.
inline constexpr int32_t DrumChannel = 9;

struct VoiceNote
{
    int32_t row;
    int32_t note;
};

// Channels 1..4 (0..3 on the wire) sing "pa", "ke", "ro" and "no"; every other channel but 10
// sings the row of its wire number modulo 4, so 5 sings as 1 does. Note 60 is the recording's
// own pitch (player note 12); 48..72 are player notes 0..24 and the rest fold in by octaves.
// Nothing for the drum channel.
std::optional<VoiceNote> VoiceFor(int32_t channel, int32_t midiNote);

// The drum track (0 kick .. 8 crash) a General MIDI drum note strikes; the neighbours of the
// nine sounds strike the nearest of them, any other note nothing.
std::optional<int32_t> DrumTrackFor(int32_t midiNote);

// Volume in per cent, linear in velocity: 127 is 100 %, 64 about half (-6 dB), 1 under 1 %.
float VolumeFor(int32_t velocity);

} // namespace Pakemino
