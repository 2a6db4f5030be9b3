#pragma once
// The streaming worker: a three-second ring in a platform buffer, refilled half a ring at a
// time from the sound file each time playback reaches the start or the middle of the ring.
// Its call operator is the worker thread's body; every other operation takes the lock.

#include "framework/sound/ISoundFile.h"
#include "platform/audio/DSound.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

namespace Qorv::Sound
{

class DxStreamingThread
{
public:
    DxStreamingThread() = default;
    DxStreamingThread(const DxStreamingThread&) = delete;
    DxStreamingThread& operator=(const DxStreamingThread&) = delete;
    ~DxStreamingThread();

    // The ring, owned by the worker, or null when anything fails (then nothing stays open).
    [[nodiscard]] LPDIRECTSOUNDBUFFER Open(const std::wstring& path);
    void Close();
    DWORD Fill(DWORD bytes, DWORD offset);
    // Stops, seeks the file to frame, refills the next half and moves playback there.
    void Restart(int32_t frame);
    void SetLoopFrame(int32_t frame);
    int32_t GetLengthBytes();
    bool StopRequested() const { return stopRequested; }
    void RequestStop() { stopRequested = true; }

    void operator()();
    // One turn of the worker loop: waits up to milliseconds for a crossing, then refills.
    void Step(DWORD milliseconds);

    static constexpr DWORD WaitMilliseconds = 100;

private:
    // A refill that was signalled before a restart must not land in the half now playing.
    bool PlayingInHalfAt(DWORD offset);

    std::recursive_mutex lock;
    std::atomic<bool> stopRequested{true};
    bool active = false;
    HANDLE event = nullptr;
    DWORD bufferBytes = 0;
    DWORD halfBytes = 0;
    DWORD writeCursor = 0;
    LPDIRECTSOUNDBUFFER platformBuffer = nullptr;
    std::shared_ptr<ISoundFile> file;
    uint8_t silence = 0;
};

} // namespace Qorv::Sound
