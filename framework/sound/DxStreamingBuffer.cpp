#include "framework/sound/DxStreamingBuffer.h"

#include "framework/sound/DxSoundManager.h"

#include <functional>
#include <system_error>

namespace Qorv::Sound
{

DxStreamingBuffer::~DxStreamingBuffer()
{
    Close();
}

bool DxStreamingBuffer::OpenImpl(const std::wstring& path)
{
    if (CurrentSoundDevice() == nullptr)
    {
        return false;
    }
    LPDIRECTSOUNDBUFFER ring = worker.Open(path);
    if (ring == nullptr)
    {
        return false;
    }
    try
    {
        thread = std::make_shared<std::thread>(std::ref(worker));
    }
    catch (const std::system_error&)
    {
        worker.Close();
        return false;
    }
    platformBuffer = ring;
    return true;
}

void DxStreamingBuffer::CloseImpl()
{
    if (!worker.StopRequested())
    {
        worker.RequestStop();
        thread->join();
    }
    thread.reset();
    platformBuffer = nullptr;
    paused = false;
}

int32_t DxStreamingBuffer::PlayImpl(bool)
{
    if (!paused)
    {
        worker.Restart(0);
    }
    const HRESULT result = platformBuffer->Play(0, 0, DSBPLAY_LOOPING);
    paused = false;
    return result;
}

void DxStreamingBuffer::SetPositionImpl(float seconds)
{
    const WAVEFORMATEX format = GetFormat();
    if (format.nBlockAlign == 0)
    {
        return;
    }
    const float offset = seconds * static_cast<float>(format.nAvgBytesPerSec);
    // Negative or huge offsets name no frame; the file ignores frames past its end.
    if (offset >= 0.0f && offset < 2147483648.0f)
    {
        worker.Restart(static_cast<int32_t>(offset) / format.nBlockAlign);
    }
}

} // namespace Qorv::Sound
