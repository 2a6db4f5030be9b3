#pragma once
// A pattern as a Standard MIDI File, for other music programs: General MIDI drums on channel
// 10, a sixteenth note a step, velocities from the accent table, the tempo from the interval.

#include "music/Pattern.h"

#include <array>
#include <cstdint>
#include <string>

namespace Pakemino
{

// The General MIDI drum note of each track, kick to crash.
inline constexpr std::array<uint8_t, TrackCount> DrumNotes = {36, 38, 42, 46, 39, 45, 50, 56, 49};

// The bytes of a format 0 file holding the pattern `bars` times over. A step shorter than
// `shortestStep` milliseconds is written as that long: the drum machine goes no faster.
std::string MidiFileOf(const Pattern& pattern, int32_t bars, int32_t shortestStep);

} // namespace Pakemino
