#pragma once
// Which MIDI systems the machine has, asked without a word on the terminal, and which of the
// sequencer's source ports are hardware. The sequencer is reached through RtMidi, JACK through
// libjack itself.

#include <rtmidi/RtMidi.h>

#include <string>

namespace platform::rtmidi
{

// The ALSA sequencer's device is there and RtMidi was built for it.
bool SequencerPresent();

// RtMidi warns on the terminal; a missing system is not worth a word.
void Quiet(RtMidi& port);
// A JACK server may be running for this user: JACK's own server socket is there, or the libjack
// loaded is another server's (PipeWire's) that is asked directly. Without one, no client may be
// opened: opening one starts libjack's metadata database, which can write to the terminal.
// Also keeps libjack quiet, as it would speak for every failed connection.
bool JackServerMayRun();

// A sequencer port as RtMidi names it ("client:port 20:0") is hardware by its client number:
// cards are 16 to 127, programs 128 up.
bool IsSequencerHardware(const std::string& name);

} // namespace platform::rtmidi
