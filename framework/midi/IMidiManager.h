#pragma once
// MIDI for the game: the input's messages reach a handler in the order played, the moment they
// arrive, whatever the frame loop is doing; the output carries the drum machine's clock to other
// gear. Without any MIDI system both stay closed and every call does nothing.

#include "platform/window/Win32.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace Qorv::Midi
{

struct MidiMessage
{
    uint8_t status;
    uint8_t data1;
    uint8_t data2;

    // The channel of a channel message, counted from 0.
    int32_t Channel() const { return status & 0x0F; }
    // The kind of a channel message (0x90 note on ...), or the whole status of a system one.
    uint8_t Kind() const { return status >= 0xF0 ? status : static_cast<uint8_t>(status & 0xF0); }
};

MidiMessage Unpack(LPARAM packed);

inline constexpr uint8_t NoteOn = 0x90;

class IMidiManager
{
public:
    virtual ~IMidiManager() = default;

    // Called with each input message, packed as status | data1 << 8 | data2 << 16, on a thread of
    // the input's: the handler guards what it shares with the window's thread.
    using MessageHandler = std::function<void(LPARAM)>;

    // Opens the input, passing its messages to handler, and the output; false when neither
    // opened. Once Finalize returns, the handler is not called again.
    [[nodiscard]] virtual bool Initialize(MessageHandler handler) = 0;
    virtual void Finalize() = 0;

    // MIDI Start and Stop on the output.
    virtual void SendStart() = 0;
    virtual void SendStop() = 0;
    // A step of the pattern began now and is meant to last interval ms: its six clock pulses
    // (24 a quarter note, a step a sixteenth) go out spread over it, paced by how long steps
    // have really lasted. Pulses the previous step still owed go first.
    virtual void SendStepClock(DWORD interval) = 0;
};

[[nodiscard]] std::shared_ptr<IMidiManager> CreateMidiManager();

} // namespace Qorv::Midi
