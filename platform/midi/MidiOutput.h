#pragma once
// The program's MIDI output: a port named "pakemino" on the ALSA sequencer (through RtMidi) and
// on JACK (through libjack), each message sent on both.

#include "platform/midi/JackMidiOutput.h"
#include "platform/midi/MidiSystems.h"
#include "platform/window/Win32.h"

#include <memory>
#include <mutex>

namespace platform::rtmidi
{

class MidiOutput
{
public:
    // Null when no MIDI system runs or none lets a port open.
    [[nodiscard]] static std::unique_ptr<MidiOutput> Open();

    // A short message packed as status | data1 << 8 | data2 << 16; any thread may send.
    void Send(DWORD message);

private:
    std::mutex lock;
    std::unique_ptr<RtMidiOut> sequencer;
    std::unique_ptr<JackMidiOutput> jack;
};

} // namespace platform::rtmidi
