#pragma once
// The sound framework's front door: owns the output device and hands out sound buffers.
// Public operations keep the initialized flag; the Impl hooks open and release the device.

#include "framework/base/Interface.h"
#include "framework/sound/ISoundBuffer.h"
#include "platform/window/Win32.h"

#include <memory>

namespace Qorv::Sound
{

class ISoundManager : public Base::Interface
{
public:
    [[nodiscard]] bool Initialize(HWND window);
    void Finalize();
    bool IsInitialized() const { return initialized; }

    // Closed buffers; they open once a manager has been initialized.
    [[nodiscard]] virtual std::shared_ptr<ISoundBuffer> CreateBuffer() = 0;
    [[nodiscard]] virtual std::shared_ptr<ISoundBuffer> CreateStreamingBuffer() = 0;

protected:
    virtual bool InitializeImpl(HWND window) = 0;
    virtual void FinalizeImpl() = 0;

private:
    bool initialized = false;
};

[[nodiscard]] std::shared_ptr<ISoundManager> CreateSoundManager();

} // namespace Qorv::Sound
