#include "platform/midi/MidiOutput.h"

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
    for (const RtMidi::Api api : RunningSystems())
    {
        if (api == RtMidi::UNIX_JACK)
        {
            output->jack = JackMidiOutput::Open(PortName);
            continue;
        }
        try
        {
            auto port = std::make_unique<RtMidiOut>(api, PortName);
            Quiet(*port);
            port->openVirtualPort(PortName);
            output->ports.push_back(std::move(port));
        }
        catch (const RtMidiError&)
        {
        }
    }
    return output->ports.empty() && output->jack == nullptr ? nullptr : std::move(output);
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
    for (const auto& port : ports)
    {
        try
        {
            port->sendMessage(&bytes);
        }
        catch (const RtMidiError&)
        {
        }
    }
}

} // namespace platform::rtmidi
