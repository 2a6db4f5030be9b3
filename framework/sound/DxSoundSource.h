#pragma once
// What both buffer kinds share: the platform buffer they play, the paused flag, and the
// operations that only forward to that buffer. Each kind adds how it opens, plays and seeks.

#include "framework/sound/ISoundBuffer.h"
#include "platform/audio/DSound.h"

#include <cstdint>

namespace Qorv::Sound
{

class DxSoundSource : public ISoundBuffer
{
public:
    // Hundredths of a dB, from single-precision logarithms truncated toward zero.
    static LONG VolumeLevel(float percent);
    static LONG PanLevel(float pan);
    static DWORD FrequencyFor(float ratio, DWORD samplesPerSec);

    bool IsAvailable() override;
    bool IsPlaying() override;
    bool IsPaused() override { return paused; }
    float GetLength() override;

protected:
    void PauseImpl() override;
    int32_t StopImpl() override;
    int32_t SetFrequencyRatioImpl(float ratio) override;
    int32_t SetPanImpl(float pan) override;
    int32_t SetVolumeImpl(float percent) override;
    WAVEFORMATEX GetFormatImpl() override;

    // The sound's whole length in bytes of its format.
    virtual DWORD LengthBytes() = 0;

    // The buffer played, set at open and cleared at close; the kind decides who owns it.
    LPDIRECTSOUNDBUFFER platformBuffer = nullptr;
    bool paused = false;
};

} // namespace Qorv::Sound
