#include "platform/midi/MidiInput.h"

#include "platform/window/ThreadMessages.h"

#include <chrono>
#include <set>

namespace platform::rtmidi
{

namespace
{
const char* const PortName = "pakemino";
constexpr auto WatchInterval = std::chrono::seconds(1);
constexpr uint8_t SystemExclusive = 0xF0;
} // namespace

std::unique_ptr<MidiInput> MidiInput::Open(HWND window)
{
    std::unique_ptr<MidiInput> input(new MidiInput(window));
    for (const RtMidi::Api api : RunningSystems())
    {
        if (auto port = input->OpenPort(api, nullptr))
        {
            input->systems.push_back({std::move(port), std::make_unique<HardwareSources>(api), {}});
        }
    }
    if (input->systems.empty())
    {
        return nullptr;
    }
    input->ConnectAllHardware();
    input->watcher = std::thread([raw = input.get()] { raw->Watch(); });
    return input;
}

MidiInput::MidiInput(HWND target) : window(target) {}

MidiInput::~MidiInput()
{
    {
        const std::lock_guard hold(lock);
        stopping = true;
    }
    wake.notify_all();
    if (watcher.joinable())
    {
        watcher.join();
    }
}

void MidiInput::Start(HMIDIIN startedHandle)
{
    handle = startedHandle;
}

std::unique_ptr<RtMidiIn> MidiInput::OpenPort(RtMidi::Api api, const std::string* source)
{
    try
    {
        auto port = std::make_unique<RtMidiIn>(api, PortName);
        Quiet(*port);
        // Clock and Start/Stop are wanted; system exclusive and active sensing are not.
        port->ignoreTypes(true, false, true);
        port->setCallback(Received, this);
        if (source == nullptr)
        {
            port->openVirtualPort(PortName);
            return port;
        }
        for (unsigned int i = 0; i < port->getPortCount(); ++i)
        {
            if (port->getPortName(i) == *source)
            {
                port->openPort(i, PortName);
                return port;
            }
        }
    }
    catch (const RtMidiError&)
    {
    }
    return nullptr;
}

void MidiInput::ConnectAllHardware()
{
    // A JACK server that bridges the hardware (PipeWire, a2j) lists the keyboards the sequencer
    // has: they are taken from JACK alone, or every note would play twice.
    bool jackHasHardware = false;
    for (System& system : systems)
    {
        if (system.port->getCurrentApi() == RtMidi::UNIX_JACK)
        {
            jackHasHardware = ConnectHardware(system, true);
        }
    }
    for (System& system : systems)
    {
        if (system.port->getCurrentApi() != RtMidi::UNIX_JACK)
        {
            ConnectHardware(system, !jackHasHardware);
        }
    }
}

bool MidiInput::ConnectHardware(System& system, bool wanted)
{
    std::set<std::string> present;
    const unsigned int count = system.port->getPortCount();
    for (unsigned int i = 0; i < count; ++i)
    {
        const std::string name = system.port->getPortName(i);
        if (!system.hardware->IsHardware(name))
        {
            continue;
        }
        present.insert(name);
        if (wanted && system.sources.count(name) == 0)
        {
            if (auto source = OpenPort(system.port->getCurrentApi(), &name))
            {
                system.sources.emplace(name, std::move(source));
            }
        }
    }
    // A source unplugged takes its connection with it.
    std::erase_if(system.sources,
                  [&](const auto& entry) { return !wanted || present.count(entry.first) == 0; });
    return !present.empty();
}

void MidiInput::Watch()
{
    std::unique_lock hold(lock);
    while (!wake.wait_for(hold, WatchInterval, [this] { return stopping; }))
    {
        ConnectAllHardware();
    }
}

void MidiInput::Received(double, std::vector<unsigned char>* message, void* self)
{
    auto* input = static_cast<MidiInput*>(self);
    const HMIDIIN handle = input->handle;
    if (handle == nullptr || message->empty() || message->size() > 3 ||
        message->front() == SystemExclusive)
    {
        return;
    }
    LPARAM packed = 0;
    for (size_t i = 0; i < message->size(); ++i)
    {
        packed |= static_cast<LPARAM>((*message)[i]) << (8 * i);
    }
    platform::sdl::PostFromAnyThread(input->window, MM_MIM_DATA, reinterpret_cast<WPARAM>(handle),
                                     packed);
}

} // namespace platform::rtmidi
