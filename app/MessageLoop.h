#pragma once
// The main loop: window messages first, then one frame once 16 ms have passed since the
// previous frame started, otherwise a 3 ms sleep. Its clock, sleep and message source are a
// seam so the pacing can be tested with a fake clock.

#include "platform/window/Win32.h"

#include <functional>

namespace Pakemino
{

class LoopSystem
{
public:
    virtual ~LoopSystem() = default;
    virtual bool MessageWaiting() = 0;
    // False for the quit message, which it stores in msg.
    virtual bool TakeMessage(MSG& msg) = 0;
    virtual void Dispatch(const MSG& msg) = 0;
    virtual DWORD Now() = 0;
    virtual void Sleep(DWORD milliseconds) = 0;
};

// The loop over the real window system and clock.
class Win32LoopSystem : public LoopSystem
{
public:
    bool MessageWaiting() override;
    bool TakeMessage(MSG& msg) override;
    void Dispatch(const MSG& msg) override;
    DWORD Now() override;
    void Sleep(DWORD milliseconds) override;
};

constexpr DWORD FrameInterval = 16;
constexpr DWORD IdleSleep = 3;

// Runs until the quit message and returns its wParam.
int RunMessageLoop(LoopSystem& system, DWORD lastFrameTime, const std::function<void()>& runFrame);

} // namespace Pakemino
