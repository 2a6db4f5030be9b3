#pragma once
// The software mixer: every playing buffer's voice resampled to the output rate and summed
// into float stereo. Pulled by the audio callback, or directly by tests, in any frame count.

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
    explicit Mixer(DWORD outputRate);
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    DWORD OutputRate() const { return outputRate; }
    const SincTable& Table() const { return table; }
    // The one lock over every voice's state, held by Render for one period at a time.
    std::mutex& StateLock() { return lock; }

    // Both under StateLock.
    void Add(Voice* voice);
    void Remove(Voice* voice);

    // Overwrites frames of interleaved stereo.
    void Render(float* out, DWORD frames);

    static constexpr DWORD PeriodFrames = 256;

private:
    const DWORD outputRate;
    const SincTable table;
    std::mutex lock;
    std::vector<Voice*> voices;
};

} // namespace platform::audio
