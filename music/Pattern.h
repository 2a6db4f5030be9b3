#pragma once
// The drum machine's pattern apart from its samples: the steps of every track and the step
// interval, as a pattern file keeps it and a MIDI file plays it.

#include "music/RhythmSequencer.h"

#include <array>
#include <cstdint>

namespace Pakemino
{

struct Pattern
{
    int32_t interval = 100;
    std::array<std::array<bool, StepCount>, TrackCount> steps{};

    friend bool operator==(const Pattern&, const Pattern&) = default;
};

Pattern PatternOf(RhythmSequencer& sequencer);
// Sets the sequencer's steps and interval; its samples and position stay.
void ApplyPattern(const Pattern& pattern, RhythmSequencer& sequencer);

} // namespace Pakemino
