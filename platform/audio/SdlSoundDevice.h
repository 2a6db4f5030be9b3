#pragma once
// The sound device: a mixer pulled by an SDL2 audio callback, float32 stereo at the device's
// rate in 256-frame periods. An offline device has the mixer and no output; tests pull it.

#include "platform/audio/DSound.h"
#include "platform/audio/Mixer.h"

#include <SDL.h>

#include <atomic>
#include <memory>

namespace platform::audio
{

class SdlSoundDevice final : public IDirectSound8
{
public:
    static constexpr int PreferredRate = 48000;

    // DSERR_NODRIVER when SDL has no audio device to open.
    static HRESULT Open(SdlSoundDevice** device);
    static SdlSoundDevice* CreateOffline(DWORD outputRate);

    ULONG Release() override;
    HRESULT CreateSoundBuffer(const DSBUFFERDESC* description, LPDIRECTSOUNDBUFFER* buffer,
                              void* outer) override;
    HRESULT SetCooperativeLevel(HWND window, DWORD level) override;

    DWORD OutputRate() const { return mixer->OutputRate(); }
    DWORD LookaheadFrames() const { return mixer->LookaheadFrames(); }
    // How long a sample takes from the mixer to the device's output: the period being mixed
    // plus the one the device is playing, and the limiter's lookahead.
    double OutputLatencySeconds() const;
    // Offline devices only: mixes the next frames of interleaved stereo.
    void Render(float* out, DWORD frames);

private:
    SdlSoundDevice() = default;
    ~SdlSoundDevice();

    static void Pull(void* device, Uint8* stream, int length);

    std::shared_ptr<Mixer> mixer;
    SDL_AudioDeviceID output = 0;
    DWORD periodFrames = 0;
    // Callbacks served, and those whose mixing took longer than the period they fill: the
    // device ran dry. Printed at close when PAKEMINO_AUDIO_STATS is set, for the soak test.
    std::atomic<uint32_t> periodsServed{0};
    std::atomic<uint32_t> underruns{0};
    std::atomic<uint32_t> longestMicroseconds{0};
    ULONG references = 1;
};

} // namespace platform::audio
