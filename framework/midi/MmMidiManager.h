#pragma once
// The MIDI manager on winmm's MIDI calls, with a thread of its own that sends clock pulses at
// their time, whatever the frame loop is doing.

#include "framework/midi/IMidiManager.h"
#include "framework/midi/StepPacing.h"
#include "platform/midi/MmSystem.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace Qorv::Midi
{

class MmMidiManager : public IMidiManager
{
public:
    MmMidiManager() = default;
    MmMidiManager(const MmMidiManager&) = delete;
    MmMidiManager& operator=(const MmMidiManager&) = delete;
    ~MmMidiManager() override;

    [[nodiscard]] bool Initialize(MessageHandler handler) override;
    void Finalize() override;
    void SendStart() override;
    void SendStop() override;
    void SendStepClock(DWORD interval) override;

private:
    using Time = std::chrono::steady_clock::time_point;

    void SendPulses();
    static void Arrived(HMIDIIN, UINT message, DWORD_PTR self, DWORD_PTR packed, DWORD_PTR);

    MessageHandler onMessage;
    HMIDIIN input = nullptr;
    HMIDIOUT output = nullptr;

    std::mutex lock;
    std::condition_variable wake;
    bool stopping = false;
    std::thread pulser;
    // The step being clocked: when it began, how far apart its pulses are, how many are out.
    Time stepStart{};
    std::chrono::microseconds spacing{0};
    int pulsesSent = 0;
    StepPacing pacing;
};

} // namespace Qorv::Midi
