#include "framework/midi/MmMidiManager.h"

namespace Qorv::Midi
{

namespace
{
constexpr DWORD ClockPulse = 0xF8;
constexpr DWORD Start = 0xFA;
constexpr DWORD Stop = 0xFC;
constexpr int PulsesPerStep = 6;
} // namespace

MidiMessage Unpack(LPARAM packed)
{
    return {static_cast<uint8_t>(packed & 0xFF), static_cast<uint8_t>((packed >> 8) & 0x7F),
            static_cast<uint8_t>((packed >> 16) & 0x7F)};
}

std::shared_ptr<IMidiManager> CreateMidiManager()
{
    return std::make_shared<MmMidiManager>();
}

MmMidiManager::~MmMidiManager()
{
    Finalize();
}

bool MmMidiManager::Initialize(MessageHandler handler)
{
    Finalize();
    onMessage = std::move(handler);
    if (midiInOpen(&input, MIDI_MAPPER, reinterpret_cast<DWORD_PTR>(&Arrived),
                   reinterpret_cast<DWORD_PTR>(this), CALLBACK_FUNCTION) == MMSYSERR_NOERROR)
    {
        midiInStart(input);
    }
    if (midiOutOpen(&output, MIDI_MAPPER, 0, 0, 0) == MMSYSERR_NOERROR)
    {
        stopping = false;
        pulsesSent = PulsesPerStep;
        pulser = std::thread([this] { SendPulses(); });
    }
    return input != nullptr || output != nullptr;
}

void MmMidiManager::Arrived(HMIDIIN, UINT message, DWORD_PTR self, DWORD_PTR packed, DWORD_PTR)
{
    if (message == MIM_DATA)
    {
        reinterpret_cast<MmMidiManager*>(self)->onMessage(static_cast<LPARAM>(packed));
    }
}

void MmMidiManager::Finalize()
{
    if (pulser.joinable())
    {
        {
            const std::lock_guard hold(lock);
            stopping = true;
        }
        wake.notify_all();
        pulser.join();
    }
    if (input != nullptr)
    {
        midiInClose(input);
        input = nullptr;
    }
    if (output != nullptr)
    {
        midiOutClose(output);
        output = nullptr;
    }
}

void MmMidiManager::SendStart()
{
    const std::lock_guard hold(lock);
    if (output != nullptr)
    {
        midiOutShortMsg(output, Start);
    }
}

void MmMidiManager::SendStop()
{
    const std::lock_guard hold(lock);
    if (output != nullptr)
    {
        midiOutShortMsg(output, Stop);
    }
}

void MmMidiManager::SendStepClock(DWORD interval)
{
    if (output == nullptr)
    {
        return;
    }
    const Time now = std::chrono::steady_clock::now();
    {
        const std::lock_guard hold(lock);
        // Every step carries six pulses, so gear following the clock never loses a step.
        for (; pulsesSent < PulsesPerStep; ++pulsesSent)
        {
            midiOutShortMsg(output, ClockPulse);
        }
        stepStart = now;
        spacing = pacing.Begin(now, std::chrono::milliseconds(interval)) / PulsesPerStep;
        pulsesSent = 0;
    }
    wake.notify_all();
}

void MmMidiManager::SendPulses()
{
    std::unique_lock hold(lock);
    while (!stopping)
    {
        if (pulsesSent >= PulsesPerStep)
        {
            wake.wait(hold);
            continue;
        }
        const Time due = stepStart + spacing * pulsesSent;
        if (std::chrono::steady_clock::now() < due)
        {
            wake.wait_until(hold, due);
            continue;
        }
        midiOutShortMsg(output, ClockPulse);
        ++pulsesSent;
    }
}

} // namespace Qorv::Midi
