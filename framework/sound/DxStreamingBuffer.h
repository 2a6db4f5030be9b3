#pragma once
// A sound buffer for long sounds: a worker thread decodes the file into a three-second ring as
// it plays, so only three seconds are ever held. It loops forever, from the loop frame on.

#include "framework/sound/DxBufferControl.h"
#include "framework/sound/DxStreamingThread.h"
#include "framework/sound/ISoundBuffer.h"

#include <memory>
#include <thread>

namespace Qorv::Sound
{

class DxStreamingBuffer : public ISoundBuffer
{
public:
    DxStreamingBuffer() = default;
    ~DxStreamingBuffer() override;

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
    void SetLoopPositionImpl(int32_t frame) override { worker.SetLoopFrame(frame); }
    int32_t SetFrequencyRatioImpl(float ratio) override { return control.SetFrequencyRatio(ratio); }
    int32_t SetPanImpl(float pan) override { return control.SetPan(pan); }
    int32_t SetVolumeImpl(float percent) override { return control.SetVolume(percent); }
    WAVEFORMATEX GetFormatImpl() override { return control.GetFormat(); }

private:
    // The worker's ring; it owns it.
    LPDIRECTSOUNDBUFFER platformBuffer = nullptr;
    DxBufferControl control;
    DxStreamingThread worker;
    std::shared_ptr<std::thread> thread;
    bool paused = false;
};

} // namespace Qorv::Sound
