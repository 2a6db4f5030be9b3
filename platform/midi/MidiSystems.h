#pragma once
// Which MIDI systems the machine runs, asked without a word on the terminal, and which of
// their source ports are hardware.

#include <rtmidi/RtMidi.h>

#include <memory>
#include <string>
#include <vector>

namespace platform::rtmidi
{

// The ALSA sequencer when its device is there, JACK when a server answers (none is started).
std::vector<RtMidi::Api> RunningSystems();

// RtMidi warns on the terminal; a missing system is not worth a word.
void Quiet(RtMidi& port);

// Tells hardware sources from programs' ports: on the ALSA sequencer by client number (cards
// are 16 to 127, programs 128 up), on JACK by the port's physical flag.
class HardwareSources
{
public:
    explicit HardwareSources(RtMidi::Api api);
    HardwareSources(const HardwareSources&) = delete;
    HardwareSources& operator=(const HardwareSources&) = delete;
    ~HardwareSources();

    // name as RtMidi lists it.
    bool IsHardware(const std::string& name) const;

private:
    RtMidi::Api api;
    // A JACK client of its own, with no ports, to read the ports' flags.
    struct JackClient;
    std::unique_ptr<JackClient> jack;
};

} // namespace platform::rtmidi
