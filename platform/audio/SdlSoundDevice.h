#pragma once
// The sound device: a mixer pulled by an SDL2 audio callback, float32 stereo at the device's
// rate in 256-frame periods. When the output goes away (or there is none at the start) it keeps
// the mixer going in real time on a thread of its own and reopens the default output once one
// is there again. An offline device has the mixer and no output; tests pull it.

#include "platform/audio/DSound.h"
#include "platform/audio/Mixer.h"
#include "platform/window/RefCounted.h"

#include <SDL.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace platform::audio
{

class SdlSoundDevice final : public RefCounted<IDirectSound8>
{
public:
    static constexpr int PreferredRate = 48000;

    // Opens the default output. Without one it says so on stderr once, plays unheard and joins
    // an output as soon as one appears. DSERR_NODRIVER when SDL has no audio driver at all.
    [[nodiscard]] static HRESULT Open(SdlSoundDevice** device);
    // Without the limiter unless asked: tests and benchmarks see each voice at its own time.
    [[nodiscard]] static SdlSoundDevice* CreateOffline(DWORD outputRate, bool limited = false);

    [[nodiscard]] HRESULT CreateSoundBuffer(const DSBUFFERDESC* description,
                                            LPDIRECTSOUNDBUFFER* buffer, void* outer) override;
    HRESULT SetCooperativeLevel(HWND window, DWORD level) override;

    DWORD OutputRate() const { return mixer->OutputRate(); }
    DWORD LookaheadFrames() const { return mixer->LookaheadFrames(); }
    // How long a sample takes from the mixer to the device's output: the period being mixed
    // plus the one the device is playing, and the limiter's lookahead.
    double OutputLatencySeconds() const;
    // Offline devices only: mixes the next frames of interleaved stereo.
    void Render(float* out, DWORD frames);

private:
    using Clock = std::chrono::steady_clock;

    SdlSoundDevice() = default;
    ~SdlSoundDevice();

    // Opens the default output for the mixer; false with SDL's reason.
    bool OpenOutput(int allowedChanges, std::string& error);
    void CloseOutput();
    // Closes what is left of the output and starts SDL's audio afresh: a sound server that
    // restarted is only found by a new connection. Mixes unheard until the new output starts.
    bool Reopen(std::vector<float>& period);
    // The recovery thread: watches the output, stands in for it while there is none.
    void Supervise();
    // Mixes, for the take alone, the periods the clock says are due.
    void MixUnheard(Clock::time_point now, std::vector<float>& period);

    static void Pull(void* device, Uint8* stream, int length);
    static int Watch(void* device, SDL_Event* event);

    std::shared_ptr<Mixer> mixer;
    // A device with a real output (or the wish for one), as against an offline one.
    bool live = false;
    SDL_AudioDeviceID output = 0;
    std::atomic<DWORD> periodFrames{0};
    // The driver that last gave an output, so a restarting sound server is waited for instead
    // of another driver taking the sound card from under it.
    std::string driver;
    bool ownsSubsystem = false;

    std::thread supervisor;
    std::mutex stopLock;
    std::condition_variable wake;
    bool stopping = false;
    std::atomic<SDL_AudioDeviceID> watched{0};
    std::atomic<bool> removed{false};
    std::atomic<bool> added{false};
    // Where the unheard timeline starts and how much of it is mixed.
    Clock::time_point unheardSince;
    uint64_t unheardFrames = 0;
    std::atomic<Clock::rep> lastPull{0};

    // Callbacks served, and those whose mixing took longer than the period they fill: the
    // device ran dry. Then the outputs reopened, and the periods mixed with none. Printed at
    // close when PAKEMINO_AUDIO_STATS is set, for the soak test.
    std::atomic<uint32_t> periodsServed{0};
    std::atomic<uint32_t> underruns{0};
    std::atomic<uint32_t> longestMicroseconds{0};
    std::atomic<uint32_t> reconnections{0};
    std::atomic<uint32_t> unheardPeriods{0};
};

} // namespace platform::audio
