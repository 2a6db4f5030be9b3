#pragma once
// A sound buffer for long sounds: a worker thread decodes the file into a three-second ring as
// it plays, so only three seconds are ever held. It loops forever, from the loop frame on.

#include "framework/sound/DxSoundSource.h"
#include "framework/sound/DxStreamingThread.h"

#include <memory>
#include <thread>

namespace Qorv::Sound
{

// The buffer played is the worker's ring; the worker owns it.
class DxStreamingBuffer : public DxSoundSource
{
public:
    ~DxStreamingBuffer() override;

protected:
    bool OpenImpl(const std::wstring& path) override;
    void CloseImpl() override;
    int32_t PlayImpl(bool loop) override;
    void SetPositionImpl(float seconds) override;
    void SetLoopPositionImpl(int32_t frame) override { worker.SetLoopFrame(frame); }
    DWORD LengthBytes() override { return static_cast<DWORD>(worker.GetLengthBytes()); }

private:
    DxStreamingThread worker;
    std::shared_ptr<std::thread> thread;
};

} // namespace Qorv::Sound
