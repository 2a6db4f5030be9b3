#include "platform/midi/MidiOutput.h"

#include <vector>

namespace platform::rtmidi
{

namespace
{

const char* const PortName = "pakemino";

// The bytes a short message has, by its status.
size_t LengthOf(uint8_t status)
{
    if (status >= 0xF8 || status == 0xF6)
    {
        return 1;
    }
    if ((status & 0xE0) == 0xC0 || status == 0xF1 || status == 0xF3)
    {
        return 2;
    }
    return 3;
}

} // namespace

std::unique_ptr<MidiOutput> MidiOutput::Open()
{
    auto output = std::make_unique<MidiOutput>();
    if (SequencerPresent())
    {
        try
        {
            output->sequencer = std::make_unique<RtMidiOut>(RtMidi::LINUX_ALSA, PortName);
            Quiet(*output->sequencer);
            output->sequencer->openVirtualPort(PortName);
        }
        catch (const RtMidiError&)
        {
            output->sequencer.reset();
        }
    }
    if (JackServerMayRun())
    {
        output->jack = JackMidiOutput::Open(PortName);
    }
    return output->sequencer == nullptr && output->jack == nullptr ? nullptr : std::move(output);
}

void MidiOutput::Send(DWORD message)
{
    const auto status = static_cast<uint8_t>(message & 0xFF);
    if (status < 0x80)
    {
        return;
    }
    const size_t length = LengthOf(status);
    std::vector<unsigned char> bytes;
    for (size_t i = 0; i < length; ++i)
    {
        bytes.push_back(static_cast<unsigned char>((message >> (8 * i)) & 0xFF));
    }
    const std::lock_guard hold(lock);
    if (jack != nullptr)
    {
        jack->Send(message, length);
    }
    if (sequencer != nullptr)
    {
        try
        {
            sequencer->sendMessage(&bytes);
        }
        catch (const RtMidiError&)
        {
        }
    }
}

} // namespace platform::rtmidi
