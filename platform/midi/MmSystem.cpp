// The winmm MIDI calls on the program's ports: a handle is the port object it stands for, and
// lives in a table so a stale or made-up handle is refused rather than followed.

#include "platform/midi/MmSystem.h"

#include "platform/midi/MidiInput.h"
#include "platform/midi/MidiOutput.h"

#include <map>
#include <memory>
#include <mutex>

using platform::rtmidi::MidiInput;
using platform::rtmidi::MidiOutput;

namespace
{

template <typename Handle, typename Port> struct Open
{
    std::mutex lock;
    std::map<Handle, std::unique_ptr<Port>> ports;

    Handle Add(std::unique_ptr<Port> port)
    {
        const std::lock_guard hold(lock);
        const auto handle = reinterpret_cast<Handle>(port.get());
        ports.emplace(handle, std::move(port));
        return handle;
    }
    // Hands the port behind handle to act; a handle not in the table is refused.
    template <typename Act> MMRESULT With(Handle handle, Act act)
    {
        Port* port = nullptr;
        {
            const std::lock_guard hold(lock);
            const auto found = ports.find(handle);
            port = found != ports.end() ? found->second.get() : nullptr;
        }
        if (port == nullptr)
        {
            return MMSYSERR_INVALHANDLE;
        }
        act(*port);
        return MMSYSERR_NOERROR;
    }
    // The port, taken out of the table, to be closed outside its lock.
    std::unique_ptr<Port> Take(Handle handle)
    {
        const std::lock_guard hold(lock);
        const auto found = ports.find(handle);
        if (found == ports.end())
        {
            return nullptr;
        }
        auto port = std::move(found->second);
        ports.erase(found);
        return port;
    }
};

Open<HMIDIIN, MidiInput>& Inputs()
{
    static Open<HMIDIIN, MidiInput> inputs;
    return inputs;
}

Open<HMIDIOUT, MidiOutput>& Outputs()
{
    static Open<HMIDIOUT, MidiOutput> outputs;
    return outputs;
}

} // namespace

MMRESULT midiInOpen(HMIDIIN* handle, UINT deviceId, DWORD_PTR callback, DWORD_PTR instance,
                    DWORD flags)
{
    if (handle == nullptr)
    {
        return MMSYSERR_INVALPARAM;
    }
    *handle = nullptr;
    if (deviceId != MIDI_MAPPER)
    {
        return MMSYSERR_BADDEVICEID;
    }
    if (flags != CALLBACK_FUNCTION || callback == 0)
    {
        return MMSYSERR_INVALFLAG;
    }
    auto input = MidiInput::Open(reinterpret_cast<MIDIINPROC>(callback), instance);
    if (input == nullptr)
    {
        return MMSYSERR_NODRIVER;
    }
    *handle = Inputs().Add(std::move(input));
    return MMSYSERR_NOERROR;
}

MMRESULT midiInStart(HMIDIIN handle)
{
    return Inputs().With(handle, [&](MidiInput& input) { input.Start(handle); });
}

MMRESULT midiInClose(HMIDIIN handle)
{
    return Inputs().Take(handle) != nullptr ? MMSYSERR_NOERROR : MMSYSERR_INVALHANDLE;
}

MMRESULT midiOutOpen(HMIDIOUT* handle, UINT deviceId, DWORD_PTR, DWORD_PTR, DWORD)
{
    if (handle == nullptr)
    {
        return MMSYSERR_INVALPARAM;
    }
    *handle = nullptr;
    if (deviceId != MIDI_MAPPER)
    {
        return MMSYSERR_BADDEVICEID;
    }
    auto output = MidiOutput::Open();
    if (output == nullptr)
    {
        return MMSYSERR_NODRIVER;
    }
    *handle = Outputs().Add(std::move(output));
    return MMSYSERR_NOERROR;
}

MMRESULT midiOutShortMsg(HMIDIOUT handle, DWORD message)
{
    return Outputs().With(handle, [&](MidiOutput& output) { output.Send(message); });
}

MMRESULT midiOutClose(HMIDIOUT handle)
{
    return Outputs().Take(handle) != nullptr ? MMSYSERR_NOERROR : MMSYSERR_INVALHANDLE;
}
