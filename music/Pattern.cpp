#include "music/Pattern.h"

namespace Pakemino
{

Pattern PatternOf(RhythmSequencer& sequencer)
{
    Pattern pattern;
    pattern.interval = sequencer.interval;
    for (int32_t t = 0; t < TrackCount; ++t)
    {
        pattern.steps[static_cast<size_t>(t)] = sequencer.tracks[t].steps;
    }
    return pattern;
}

void ApplyPattern(const Pattern& pattern, RhythmSequencer& sequencer)
{
    sequencer.interval = pattern.interval;
    for (int32_t t = 0; t < TrackCount; ++t)
    {
        sequencer.tracks[t].steps = pattern.steps[static_cast<size_t>(t)];
    }
}

} // namespace Pakemino
