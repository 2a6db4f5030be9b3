#include "app/MessageLoop.h"

namespace Pakemino
{

bool Win32LoopSystem::MessageWaiting()
{
    MSG msg;
    return PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE) != 0;
}

bool Win32LoopSystem::TakeMessage(MSG& msg)
{
    // -1 (no window system left) ends the loop like the quit message.
    return GetMessageW(&msg, nullptr, 0, 0) > 0;
}

void Win32LoopSystem::Dispatch(const MSG& msg)
{
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

DWORD Win32LoopSystem::Now()
{
    return timeGetTime();
}

void Win32LoopSystem::Sleep(DWORD milliseconds)
{
    ::Sleep(milliseconds);
}

int RunMessageLoop(LoopSystem& system, DWORD lastFrameTime, const std::function<void()>& runFrame)
{
    MSG msg{};
    for (;;)
    {
        if (system.MessageWaiting())
        {
            if (!system.TakeMessage(msg))
            {
                break;
            }
            system.Dispatch(msg);
            continue;
        }
        // Unsigned difference: the clock wrapping at 2^32 is harmless.
        if (system.Now() - lastFrameTime < FrameInterval)
        {
            system.Sleep(IdleSleep);
            continue;
        }
        lastFrameTime = system.Now();
        runFrame();
    }
    return static_cast<int>(msg.wParam);
}

} // namespace Pakemino
