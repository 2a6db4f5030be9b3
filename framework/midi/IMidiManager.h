#pragma once
// MIDI for the game: the input's messages arrive at the window as MM_MIM_DATA, in the order
// played and without waiting for a frame; the output carries the drum machine's clock to other
// gear. Without any MIDI system both stay closed and every call does nothing.

#include "platform/window/Win32.h"

#include <cstdint>
#include <memory>

namespace Qorv::Midi
{

// The window message an input message arrives as; its lParam is the message.
inline constexpr UINT MidiMessageArrived = 0x3C3;

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

    // Opens the input, posting to window, and the output; false when neither opened.
    [[nodiscard]] virtual bool Initialize(HWND window) = 0;
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
