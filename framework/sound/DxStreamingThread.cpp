#include "framework/sound/DxStreamingThread.h"

#include "framework/sound/DxSoundManager.h"

#include <algorithm>
#include <cstring>

namespace Qorv::Sound
{

namespace
{

constexpr DWORD StreamingBufferCaps = DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME |
                                      DSBCAPS_CTRLPOSITIONNOTIFY | DSBCAPS_GLOBALFOCUS |
                                      DSBCAPS_GETCURRENTPOSITION2;

} // namespace

DxStreamingThread::~DxStreamingThread()
{
    Close();
    file.reset();
}

LPDIRECTSOUNDBUFFER DxStreamingThread::Open(const std::wstring& path)
{
    std::lock_guard<std::recursive_mutex> hold(lock);
    Close();
    LPDIRECTSOUND8 device = CurrentSoundDevice();
    if (device == nullptr)
    {
        return nullptr;
    }
    std::shared_ptr<ISoundFile> opened = OpenSoundFile(path);
    if (!opened)
    {
        return nullptr;
    }
    WAVEFORMATEX format = opened->GetFormat();
    // Three seconds, cut to whole frames in each half: a refill that began inside a frame
    // would shift every later sample by the bytes it split.
    const DWORD halfFrame = format.nBlockAlign == 0 ? 1u : 2u * format.nBlockAlign;
    const DWORD ringBytes = 3 * format.nAvgBytesPerSec / halfFrame * halfFrame;
    DSBUFFERDESC description{};
    description.dwSize = sizeof description;
    description.dwFlags = StreamingBufferCaps;
    description.dwBufferBytes = ringBytes;
    description.lpwfxFormat = &format;
    LPDIRECTSOUNDBUFFER ring = nullptr;
    if (device->CreateSoundBuffer(&description, &ring, nullptr) < 0)
    {
        return nullptr;
    }
    IDirectSoundNotify* notify = nullptr;
    if (ring->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void**>(&notify)) < 0)
    {
        ring->Release();
        return nullptr;
    }
    HANDLE created = CreateEventW(nullptr, 1, 0, nullptr);
    if (created == nullptr)
    {
        notify->Release();
        ring->Release();
        return nullptr;
    }
    const DSBPOSITIONNOTIFY positions[2] = {{0, created}, {ringBytes >> 1, created}};
    const HRESULT notified = notify->SetNotificationPositions(2, positions);
    notify->Release();
    if (notified < 0)
    {
        ring->Release();
        CloseHandle(created);
        return nullptr;
    }
    file = std::move(opened);
    silence = format.wBitsPerSample == 8 ? 0x80 : 0;
    bufferBytes = ringBytes;
    halfBytes = ringBytes >> 1;
    event = created;
    platformBuffer = ring;
    active = true;
    stopRequested = false;
    return ring;
}

void DxStreamingThread::Close()
{
    std::lock_guard<std::recursive_mutex> hold(lock);
    if (!active)
    {
        return;
    }
    file.reset();
    // The ring goes first: once released it can no longer set the event being closed.
    platformBuffer->Release();
    platformBuffer = nullptr;
    CloseHandle(event);
    event = nullptr;
    active = false;
    stopRequested = true;
    writeCursor = 0;
}

DWORD DxStreamingThread::Fill(DWORD bytes, DWORD offset)
{
    std::lock_guard<std::recursive_mutex> hold(lock);
    if (!active)
    {
        return 0;
    }
    void* first = nullptr;
    void* second = nullptr;
    DWORD firstBytes = 0, secondBytes = 0;
    HRESULT result =
        platformBuffer->Lock(offset, bytes, &first, &firstBytes, &second, &secondBytes, 0);
    if (result == DSERR_BUFFERLOST)
    {
        if (platformBuffer->Restore() == DSERR_BUFFERLOST)
        {
            return 0;
        }
        result = platformBuffer->Lock(offset, bytes, &first, &firstBytes, &second, &secondBytes, 0);
    }
    if (result < 0)
    {
        return 0;
    }
    // What the file does not deliver (nothing loops past a loop frame at its end, a read
    // that found nothing) becomes silence: a half left as it was would replay three seconds
    // ago, and a short refill would put every later one off the halves.
    const auto read = [this](void* region, DWORD regionBytes)
    {
        const int32_t got =
            std::max(file->Read(region, static_cast<int32_t>(regionBytes)), int32_t{0});
        std::memset(static_cast<uint8_t*>(region) + got, silence,
                    regionBytes - static_cast<DWORD>(got));
    };
    read(first, firstBytes);
    if (second != nullptr)
    {
        read(second, secondBytes);
    }
    platformBuffer->Unlock(first, firstBytes, second, secondBytes);
    return firstBytes + (second != nullptr ? secondBytes : 0);
}

void DxStreamingThread::Restart(int32_t frame)
{
    std::lock_guard<std::recursive_mutex> hold(lock);
    if (!active)
    {
        return;
    }
    platformBuffer->Stop();
    // ISoundFile::Seek performs the same end-of-sound check before it seeks.
    file->Seek(frame);
    const DWORD written = Fill(halfBytes, writeCursor);
    platformBuffer->SetCurrentPosition(writeCursor);
    writeCursor = (writeCursor + written) % bufferBytes;
}

void DxStreamingThread::SetLoopFrame(int32_t frame)
{
    std::lock_guard<std::recursive_mutex> hold(lock);
    if (file)
    {
        file->SetLoopPosition(frame);
    }
}

int32_t DxStreamingThread::GetLengthBytes()
{
    std::lock_guard<std::recursive_mutex> hold(lock);
    return file ? file->GetLength() : 0;
}

bool DxStreamingThread::PlayingInHalfAt(DWORD offset)
{
    DWORD play = 0;
    return platformBuffer->GetCurrentPosition(&play, nullptr) >= 0 && play >= offset &&
           play - offset < halfBytes;
}

void DxStreamingThread::Step(DWORD milliseconds)
{
    // The event is only replaced by Open and Close, never while the worker runs.
    if (WaitForSingleObject(event, milliseconds) != WAIT_OBJECT_0)
    {
        return;
    }
    ResetEvent(event);
    std::lock_guard<std::recursive_mutex> hold(lock);
    if (active && !PlayingInHalfAt(writeCursor))
    {
        const DWORD written = Fill(halfBytes, writeCursor);
        writeCursor = (writeCursor + written) % bufferBytes;
    }
}

void DxStreamingThread::operator()()
{
    while (!stopRequested)
    {
        Step(WaitMilliseconds);
    }
    Close();
}

} // namespace Qorv::Sound
