#pragma once
// The sound manager on the DirectSound stand-in: one output device, published as the current
// device that buffers open on, so buffers need no pointer back to their manager.

#include "framework/sound/ISoundManager.h"
#include "platform/audio/DSound.h"

namespace Qorv::Sound
{

class DxSoundManager : public ISoundManager
{
public:
    ~DxSoundManager() override;

    [[nodiscard]] std::shared_ptr<ISoundBuffer> CreateBuffer() override;
    [[nodiscard]] std::shared_ptr<ISoundBuffer> CreateStreamingBuffer() override;

protected:
    bool InitializeImpl(HWND window) override;
    void FinalizeImpl() override;

private:
    LPDIRECTSOUND8 device = nullptr;
};

// The device of the most recently initialized manager, or null.
LPDIRECTSOUND8 CurrentSoundDevice();
// Managers publish their device here; tests may publish one of their own.
void PublishSoundDevice(LPDIRECTSOUND8 device);

} // namespace Qorv::Sound
