#include "music/ClockFollower.h"

namespace Pakemino
{

ClockFollower::ClockFollower(std::shared_ptr<RhythmSequencer> steps, Clock clockSource)
    : sequencer(std::move(steps)), clock(clockSource)
{
}

void ClockFollower::Receive(uint8_t status)
{
    if (status != MidiClockPulse && status != MidiStart && status != MidiContinue &&
        status != MidiStop)
    {
        return;
    }
    if (!Following())
    {
        // Gear that sends clock without ever sending Start still drives the pattern.
        following = true;
        running = true;
        pulses = 0;
    }
    lastHeard = clock();
    switch (status)
    {
    case MidiStart:
        // The next pulse plays step 0.
        sequencer->step = StepCount - 1;
        pulses = 0;
        running = true;
        break;
    case MidiContinue:
        running = true;
        break;
    case MidiStop:
        running = false;
        break;
    default:
        if (running && pulses++ % PulsesPerStep == 0)
        {
            sequencer->Advance();
        }
        break;
    }
}

bool ClockFollower::Following()
{
    if (following && clock() - lastHeard > ClockTimeout)
    {
        following = false;
        sequencer->lastStepTime = clock();
    }
    return following;
}

} // namespace Pakemino
