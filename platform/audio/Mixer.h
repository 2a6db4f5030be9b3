#pragma once
// The software mixer: every playing buffer's voice resampled to the output rate, summed into
// float stereo and held under full scale by the master limiter. Pulled by one thread at a time
// (the audio callback, the device's stand-in while it has no output, or a test), in any count.

#include "platform/audio/Limiter.h"
#include "platform/audio/SincTable.h"
#include "platform/window/Win32.h"

#include <mutex>
#include <vector>

namespace platform::audio
{

class Voice;

class Mixer
{
public:
    // limited: whether Render ends in the master limiter, as for every device that plays.
    explicit Mixer(DWORD outputRate, bool limited = true);
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    DWORD OutputRate() const { return outputRate; }
    const SincTable& Table() const { return table; }
    // The one lock over every voice's state, held by Render for one period at a time.
    std::mutex& StateLock() { return lock; }

    // Both under StateLock.
    void Add(Voice* voice);
    void Remove(Voice* voice);

    // Overwrites frames of interleaved stereo, limited: what the device plays and the take keeps.
    void Render(float* out, DWORD frames);
    // How far the limiter delays everything, in frames.
    DWORD LookaheadFrames() const { return limited ? limiter.LookaheadFrames() : 0; }

    static constexpr DWORD PeriodFrames = 256;

private:
    const DWORD outputRate;
    const SincTable table;
    std::mutex lock;
    std::vector<Voice*> voices;
    const bool limited;
    Limiter limiter;
};

} // namespace platform::audio
