#include "platform/audio/SdlSoundDevice.h"

#include "platform/audio/SoftwareBuffer.h"
#include "platform/audio/TakeRecorder.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace platform::audio
{

HRESULT SdlSoundDevice::Open(SdlSoundDevice** device)
{
    *device = nullptr;
    std::unique_ptr<SdlSoundDevice, void (*)(SdlSoundDevice*)> created(
        new (std::nothrow) SdlSoundDevice(), [](SdlSoundDevice* unused) { delete unused; });
    if (created == nullptr)
    {
        return DSERR_OUTOFMEMORY;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
    {
        return DSERR_NODRIVER;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = PreferredRate;
    wanted.format = AUDIO_F32SYS;
    wanted.channels = 2;
    wanted.samples = Mixer::PeriodFrames;
    wanted.callback = &SdlSoundDevice::Pull;
    wanted.userdata = created.get();
    SDL_AudioSpec obtained{};
    // The device opens paused: the callback cannot run before the mixer exists.
    created->output =
        SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
    if (created->output == 0)
    {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return DSERR_NODRIVER;
    }
    try
    {
        created->mixer = std::make_shared<Mixer>(static_cast<DWORD>(obtained.freq));
    }
    catch (const std::bad_alloc&)
    {
        return DSERR_OUTOFMEMORY;
    }
    created->periodFrames = obtained.samples;
    TakeRecorder::DeviceStarted(obtained.freq);
    SDL_PauseAudioDevice(created->output, 0);
    *device = created.release();
    return DS_OK;
}

SdlSoundDevice* SdlSoundDevice::CreateOffline(DWORD outputRate)
{
    auto* created = new SdlSoundDevice();
    created->mixer = std::make_shared<Mixer>(outputRate);
    return created;
}

SdlSoundDevice::~SdlSoundDevice()
{
    if (output != 0)
    {
        SDL_CloseAudioDevice(output);
        if (std::getenv("PAKEMINO_AUDIO_STATS") != nullptr)
        {
            std::fprintf(stderr, "audio: periods=%u underruns=%u longest=%.3f ms\n",
                         periodsServed.load(), underruns.load(),
                         longestMicroseconds.load() / 1000.0);
        }
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

ULONG SdlSoundDevice::Release()
{
    const ULONG left = --references;
    if (left == 0)
    {
        delete this;
    }
    return left;
}

HRESULT SdlSoundDevice::CreateSoundBuffer(const DSBUFFERDESC* description,
                                          LPDIRECTSOUNDBUFFER* buffer, void* outer)
{
    if (buffer == nullptr)
    {
        return DSERR_INVALIDPARAM;
    }
    *buffer = nullptr;
    if (outer != nullptr)
    {
        return DSERR_NOAGGREGATION;
    }
    if (description == nullptr)
    {
        return DSERR_INVALIDPARAM;
    }
    return SoftwareBuffer::Create(mixer, *description, buffer);
}

HRESULT SdlSoundDevice::SetCooperativeLevel(HWND, DWORD level)
{
    // Every level mixes the same way here; no buffer is ever lost to another program.
    return level >= DSSCL_NORMAL && level <= DSSCL_WRITEPRIMARY ? DS_OK : DSERR_INVALIDPARAM;
}

double SdlSoundDevice::OutputLatencySeconds() const
{
    return (2.0 * periodFrames + mixer->LookaheadFrames()) / mixer->OutputRate();
}

void SdlSoundDevice::Render(float* out, DWORD frames)
{
    if (output == 0)
    {
        mixer->Render(out, frames);
    }
}

void SdlSoundDevice::Pull(void* device, Uint8* stream, int length)
{
    auto* self = static_cast<SdlSoundDevice*>(device);
    const DWORD frames = static_cast<DWORD>(length) / (2u * sizeof(float));
    const auto start = std::chrono::steady_clock::now();
    self->mixer->Render(reinterpret_cast<float*>(stream), frames);
    TakeRecorder::DeviceMixed(reinterpret_cast<const float*>(stream), frames);
    const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
    ++self->periodsServed;
    const auto microseconds = static_cast<uint32_t>(spent.count() * 1e6);
    if (microseconds > self->longestMicroseconds)
    {
        self->longestMicroseconds = microseconds;
    }
    if (spent.count() * self->mixer->OutputRate() > frames)
    {
        ++self->underruns;
    }
}

} // namespace platform::audio

HRESULT DirectSoundCreate8(LPCGUID device, LPDIRECTSOUND8* directSound, void* outer)
{
    if (directSound == nullptr)
    {
        return DSERR_INVALIDPARAM;
    }
    *directSound = nullptr;
    if (outer != nullptr)
    {
        return DSERR_NOAGGREGATION;
    }
    if (device != nullptr)
    {
        return DSERR_NODRIVER;
    }
    platform::audio::SdlSoundDevice* opened = nullptr;
    const HRESULT result = platform::audio::SdlSoundDevice::Open(&opened);
    *directSound = opened;
    return result;
}
