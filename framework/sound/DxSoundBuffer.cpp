#include "framework/sound/DxSoundBuffer.h"

#include "framework/sound/DxSoundManager.h"
#include "framework/sound/ISoundFile.h"

#include <cstring>

namespace Qorv::Sound
{

namespace
{

constexpr DWORD StaticBufferCaps = DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME |
                                   DSBCAPS_GLOBALFOCUS | DSBCAPS_GETCURRENTPOSITION2;

} // namespace

DxSoundBuffer::~DxSoundBuffer()
{
    Close();
}

bool DxSoundBuffer::OpenImpl(const std::wstring& path)
{
    LPDIRECTSOUND8 device = CurrentSoundDevice();
    if (device == nullptr)
    {
        return false;
    }
    std::shared_ptr<ISoundFile> file = OpenSoundFile(path);
    if (!file)
    {
        return false;
    }
    WAVEFORMATEX format = file->GetFormat();
    const int32_t length = file->GetLength();
    if (length <= 0)
    {
        return false;
    }
    DSBUFFERDESC description{};
    description.dwSize = sizeof description;
    description.dwFlags = StaticBufferCaps;
    description.dwBufferBytes = static_cast<DWORD>(length);
    description.lpwfxFormat = &format;
    LPDIRECTSOUNDBUFFER created = nullptr;
    if (device->CreateSoundBuffer(&description, &created, nullptr) < 0)
    {
        return false;
    }
    void* data = nullptr;
    DWORD bytes = 0;
    if (created->Lock(0, 0, &data, &bytes, nullptr, nullptr, DSBLOCK_ENTIREBUFFER) < 0)
    {
        created->Release();
        return false;
    }
    const int32_t read = file->Read(data, static_cast<int32_t>(bytes));
    if (read >= 0 && static_cast<DWORD>(read) < bytes)
    {
        // A file that ends early leaves silence after it, not whatever the memory held.
        std::memset(static_cast<uint8_t*>(data) + read, format.wBitsPerSample == 8 ? 0x80 : 0,
                    bytes - static_cast<DWORD>(read));
    }
    if (created->Unlock(data, bytes, nullptr, 0) < 0)
    {
        created->Release();
        return false;
    }
    platformBuffer = created;
    bufferBytes = bytes;
    return true;
}

void DxSoundBuffer::CloseImpl()
{
    if (platformBuffer != nullptr)
    {
        platformBuffer->Release();
        platformBuffer = nullptr;
    }
    bufferBytes = 0;
    paused = false;
    looping = false;
}

int32_t DxSoundBuffer::PlayImpl(bool loop)
{
    if (!paused)
    {
        platformBuffer->SetCurrentPosition(0);
        looping = loop;
    }
    const HRESULT result = platformBuffer->Play(0, 0, looping ? DSBPLAY_LOOPING : 0);
    paused = false;
    return result;
}

void DxSoundBuffer::SetPositionImpl(float seconds)
{
    const float offset = seconds * static_cast<float>(GetFormat().nAvgBytesPerSec);
    // Negative or huge offsets have no byte to go to; the platform refuses those past the end.
    if (offset >= 0.0f && offset < 4294967296.0f)
    {
        platformBuffer->SetCurrentPosition(static_cast<DWORD>(offset));
    }
}

} // namespace Qorv::Sound
