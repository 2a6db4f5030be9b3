#pragma once
// The drum machine in time with other gear: while MIDI clock comes in, six pulses (a sixteenth
// at 24 a quarter note) make a step, and Start, Stop and Continue start, halt and resume the
// pattern. A second without a pulse hands the steps back to the sequencer's own interval.

#include "music/Clock.h"
#include "music/RhythmSequencer.h"

#include <cstdint>
#include <memory>

namespace Pakemino
{

inline constexpr uint8_t MidiClockPulse = 0xF8;
inline constexpr uint8_t MidiStart = 0xFA;
inline constexpr uint8_t MidiContinue = 0xFB;
inline constexpr uint8_t MidiStop = 0xFC;
inline constexpr int32_t PulsesPerStep = 6;
inline constexpr DWORD ClockTimeout = 1000;

class ClockFollower
{
public:
    ClockFollower(std::shared_ptr<RhythmSequencer> sequencer, Clock clock = timeGetTime);

    // A system real-time byte from the input; anything but clock, Start, Continue and Stop is
    // ignored.
    void Receive(uint8_t status);
    // True while the clock drives the steps. The first call after it fell silent restarts the
    // sequencer's own interval from now, so no step is made up for the silence.
    bool Following();

private:
    std::shared_ptr<RhythmSequencer> sequencer;
    Clock clock;
    bool following = false;
    bool running = false;
    DWORD lastHeard = 0;
    int32_t pulses = 0;
};

} // namespace Pakemino
