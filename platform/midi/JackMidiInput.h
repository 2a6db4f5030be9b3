#pragma once
// The input port on JACK, through libjack. RtMidi unregisters its JACK port while the client
// still runs, and a process callback caught in between crashed the program now and then as it
// quit; this client is deactivated before anything goes. Hardware sources are connected to the
// port itself.

#include <cstddef>
#include <cstdint>
#include <memory>

namespace platform::rtmidi
{

class JackMidiInput
{
public:
    // Called on JACK's thread with each message.
    using Receiver = void (*)(const uint8_t* bytes, size_t length, void* context);

    // Null when no JACK server runs or it refuses the client.
    [[nodiscard]] static std::unique_ptr<JackMidiInput> Open(const char* name, Receiver receiver,
                                                             void* context);
    JackMidiInput(const JackMidiInput&) = delete;
    JackMidiInput& operator=(const JackMidiInput&) = delete;
    ~JackMidiInput();

    // Connects every physical MIDI source not connected yet; true when there is any.
    bool ConnectHardware();

private:
    struct Jack;

    JackMidiInput();
    static int Process(uint32_t frames, void* self);

    std::unique_ptr<Jack> jack;
};

} // namespace platform::rtmidi
