#pragma once
// A sound buffer that decodes its whole file once, at open, and plays it from memory: for
// short samples triggered often. Played once it stops by itself at its end.

#include "framework/sound/DxBufferControl.h"
#include "framework/sound/ISoundBuffer.h"

namespace Qorv::Sound
{

class DxSoundBuffer : public ISoundBuffer
{
public:
    DxSoundBuffer() = default;
    ~DxSoundBuffer() override;

    bool IsAvailable() override { return control.IsAvailable(); }
    bool IsPlaying() override { return control.IsPlaying(); }
    bool IsPaused() override { return paused; }
    float GetLength() override;

protected:
    bool OpenImpl(const std::wstring& path) override;
    void CloseImpl() override;
    int32_t PlayImpl(bool loop) override;
    void PauseImpl() override;
    int32_t StopImpl() override;
    void SetPositionImpl(float seconds) override;
    void SetLoopPositionImpl(int32_t) override {}
    int32_t SetFrequencyRatioImpl(float ratio) override { return control.SetFrequencyRatio(ratio); }
    int32_t SetPanImpl(float pan) override { return control.SetPan(pan); }
    int32_t SetVolumeImpl(float percent) override { return control.SetVolume(percent); }
    WAVEFORMATEX GetFormatImpl() override { return control.GetFormat(); }

private:
    LPDIRECTSOUNDBUFFER platformBuffer = nullptr;
    DxBufferControl control;
    DWORD bufferBytes = 0;
    bool paused = false;
    bool looping = false;
};

} // namespace Qorv::Sound
