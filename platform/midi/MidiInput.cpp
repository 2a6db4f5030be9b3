#include "platform/midi/MidiInput.h"

#include <set>

namespace platform::rtmidi
{

namespace
{
const char* const PortName = "pakemino";
constexpr auto WatchInterval = std::chrono::seconds(1);
constexpr uint8_t SystemExclusive = 0xF0;
} // namespace

std::unique_ptr<MidiInput> MidiInput::Open(MIDIINPROC callback, DWORD_PTR instance)
{
    std::unique_ptr<MidiInput> input(new MidiInput(callback, instance));
    if (SequencerPresent())
    {
        input->sequencer = input->OpenSequencerPort(nullptr);
    }
    if (JackServerMayRun())
    {
        input->jack = JackMidiInput::Open(PortName, Deliver, input.get());
    }
    if (input->sequencer == nullptr && input->jack == nullptr)
    {
        return nullptr;
    }
    input->ConnectHardware();
    input->passer = std::thread([raw = input.get()] { raw->PassOn(); });
    input->watcher = std::thread([raw = input.get()] { raw->Watch(); });
    return input;
}

MidiInput::MidiInput(MIDIINPROC function, DWORD_PTR caller) : callback(function), instance(caller)
{
}

MidiInput::~MidiInput()
{
    {
        const std::lock_guard hold(queueLock);
        closing = true;
    }
    queued.notify_all();
    if (passer.joinable())
    {
        passer.join();
    }
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
    started = std::chrono::steady_clock::now();
    handle = startedHandle;
}

std::unique_ptr<RtMidiIn> MidiInput::OpenSequencerPort(const std::string* source)
{
    try
    {
        auto port = std::make_unique<RtMidiIn>(RtMidi::LINUX_ALSA, PortName);
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

void MidiInput::ConnectHardware()
{
    // A JACK server that bridges the hardware (PipeWire, a2j) lists the keyboards the sequencer
    // has: they are taken from JACK alone, or every note would play twice.
    const bool jackHasHardware = jack != nullptr && jack->ConnectHardware();
    if (sequencer == nullptr)
    {
        return;
    }
    std::set<std::string> present;
    const unsigned int count = jackHasHardware ? 0 : sequencer->getPortCount();
    for (unsigned int i = 0; i < count; ++i)
    {
        const std::string name = sequencer->getPortName(i);
        if (!IsSequencerHardware(name))
        {
            continue;
        }
        present.insert(name);
        if (sequencerSources.count(name) == 0)
        {
            if (auto source = OpenSequencerPort(&name))
            {
                sequencerSources.emplace(name, std::move(source));
            }
        }
    }
    // A source unplugged takes its connection with it.
    std::erase_if(sequencerSources,
                  [&](const auto& entry) { return present.count(entry.first) == 0; });
}

void MidiInput::Watch()
{
    std::unique_lock hold(lock);
    while (!wake.wait_for(hold, WatchInterval, [this] { return stopping; }))
    {
        ConnectHardware();
    }
}

void MidiInput::Received(double, std::vector<unsigned char>* message, void* self)
{
    Deliver(message->data(), message->size(), self);
}

void MidiInput::Deliver(const uint8_t* bytes, size_t length, void* self)
{
    auto* input = static_cast<MidiInput*>(self);
    const HMIDIIN handle = input->handle;
    if (handle == nullptr || length == 0 || length > 3 || bytes[0] == SystemExclusive)
    {
        return;
    }
    DWORD_PTR packed = 0;
    for (size_t i = 0; i < length; ++i)
    {
        packed |= static_cast<DWORD_PTR>(bytes[i]) << (8 * i);
    }
    {
        const std::lock_guard hold(input->queueLock);
        input->queue.push_back(packed);
    }
    input->queued.notify_one();
}

void MidiInput::PassOn()
{
    std::unique_lock hold(queueLock);
    for (;;)
    {
        queued.wait(hold, [this] { return closing || !queue.empty(); });
        // Once closed, nothing more is called, as after midiInClose on Windows.
        if (closing)
        {
            return;
        }
        const DWORD_PTR packed = queue.front();
        queue.pop_front();
        hold.unlock();
        const auto since = std::chrono::steady_clock::now() - started;
        callback(handle, MIM_DATA, instance, packed,
                 static_cast<DWORD_PTR>(
                     std::chrono::duration_cast<std::chrono::milliseconds>(since).count()));
        hold.lock();
    }
}

} // namespace platform::rtmidi
