#pragma once
// What both buffer classes share: the platform buffer they play with the format read back from
// it, and the availability, playing, format, frequency, pan and volume operations on it.

#include "framework/sound/WaveFormat.h"
#include "platform/audio/DSound.h"

#include <cstdint>

namespace Qorv::Sound
{

class DxBufferControl
{
public:
    // Hundredths of a dB, from single-precision logarithms truncated toward zero.
    static LONG VolumeLevel(float percent);
    static LONG PanLevel(float pan);
    static DWORD FrequencyFor(float ratio, DWORD samplesPerSec);

    // The buffer stays owned by the caller; the format copy is cleared.
    void Attach(LPDIRECTSOUNDBUFFER buffer);
    void Detach() { Attach(nullptr); }

    bool IsAvailable();
    bool IsPlaying();
    WAVEFORMATEX GetFormat();
    int32_t SetFrequencyRatio(float ratio);
    int32_t SetPan(float pan);
    int32_t SetVolume(float percent);

private:
    LPDIRECTSOUNDBUFFER buffer = nullptr;
    WAVEFORMATEX format{};
};

} // namespace Qorv::Sound
