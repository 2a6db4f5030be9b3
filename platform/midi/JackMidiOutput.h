#pragma once
// The output port on JACK, through libjack: RtMidi puts every message at the start of the next
// period, so clock pulses would move by up to a period; here each one lands a period after it
// was sent, to the frame, and keeps the sender's spacing.

#include "platform/window/Win32.h"

#include <cstdint>
#include <memory>

namespace platform::rtmidi
{

class JackMidiOutput
{
public:
    // Null when no JACK server runs or it refuses the client.
    [[nodiscard]] static std::unique_ptr<JackMidiOutput> Open(const char* name);
    JackMidiOutput(const JackMidiOutput&) = delete;
    JackMidiOutput& operator=(const JackMidiOutput&) = delete;
    ~JackMidiOutput();

    // One short message of length bytes; one thread at a time.
    void Send(DWORD message, size_t length);

private:
    // The client, its port and the queue from Send to the process callback.
    struct Jack;

    JackMidiOutput();
    static int Process(uint32_t frames, void* self);

    std::unique_ptr<Jack> jack;
};

} // namespace platform::rtmidi
