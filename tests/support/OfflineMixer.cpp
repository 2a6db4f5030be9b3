#include "tests/support/OfflineMixer.h"

#include <cstring>

namespace TestSupport
{

WAVEFORMATEX PcmFormat(DWORD rate, int bits, int channels)
{
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = static_cast<uint16_t>(channels);
    format.nSamplesPerSec = rate;
    format.wBitsPerSample = static_cast<uint16_t>(bits);
    format.nBlockAlign = static_cast<uint16_t>(channels * bits / 8);
    format.nAvgBytesPerSec = rate * format.nBlockAlign;
    return format;
}

OfflineMixer::OfflineMixer(DWORD outputRate, bool limited)
    : device(platform::audio::SdlSoundDevice::CreateOffline(outputRate, limited))
{
}

OfflineMixer::~OfflineMixer()
{
    for (LPDIRECTSOUNDBUFFER buffer : buffers)
    {
        buffer->Release();
    }
    device->Release();
}

LPDIRECTSOUNDBUFFER OfflineMixer::Buffer(const std::string& pcm, DWORD rate, int bits, int channels,
                                         DWORD flags)
{
    WAVEFORMATEX format = PcmFormat(rate, bits, channels);
    DSBUFFERDESC description{};
    description.dwSize = sizeof description;
    description.dwFlags = flags;
    description.dwBufferBytes = static_cast<DWORD>(pcm.size());
    description.lpwfxFormat = &format;
    LPDIRECTSOUNDBUFFER buffer = nullptr;
    if (device->CreateSoundBuffer(&description, &buffer, nullptr) != DS_OK)
    {
        return nullptr;
    }
    void* data = nullptr;
    DWORD bytes = 0;
    buffer->Lock(0, 0, &data, &bytes, nullptr, nullptr, DSBLOCK_ENTIREBUFFER);
    std::memcpy(data, pcm.data(), bytes);
    buffer->Unlock(data, bytes, nullptr, 0);
    buffers.push_back(buffer);
    return buffer;
}

std::vector<float> OfflineMixer::Render(DWORD frames)
{
    std::vector<float> out(static_cast<size_t>(frames) * 2u);
    device->Render(out.data(), frames);
    return out;
}

} // namespace TestSupport
