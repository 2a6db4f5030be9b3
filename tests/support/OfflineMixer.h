#pragma once
// A sound device with no output, its mixer pulled by the test, and buffers filled from PCM.

#include "platform/audio/SdlSoundDevice.h"

#include <string>
#include <vector>

namespace TestSupport
{

constexpr DWORD AllControls = DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME |
                              DSBCAPS_CTRLPOSITIONNOTIFY | DSBCAPS_GLOBALFOCUS |
                              DSBCAPS_GETCURRENTPOSITION2;

WAVEFORMATEX PcmFormat(DWORD rate, int bits, int channels);

class OfflineMixer
{
public:
    // limited: through the master limiter, as a playing device mixes.
    explicit OfflineMixer(DWORD outputRate = 48000, bool limited = false);
    OfflineMixer(const OfflineMixer&) = delete;
    OfflineMixer& operator=(const OfflineMixer&) = delete;
    ~OfflineMixer();

    platform::audio::SdlSoundDevice* Device() { return device; }
    // A buffer holding pcm, released with the mixer; null when creation fails.
    LPDIRECTSOUNDBUFFER Buffer(const std::string& pcm, DWORD rate, int bits = 16, int channels = 1,
                               DWORD flags = AllControls);
    std::vector<float> Render(DWORD frames);

private:
    platform::audio::SdlSoundDevice* device;
    std::vector<LPDIRECTSOUNDBUFFER> buffers;
};

} // namespace TestSupport
