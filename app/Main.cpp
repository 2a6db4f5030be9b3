// The program's entry: one window, the 1 ms timer, the Game, and the message loop.

#include "app/Game.h"
#include "app/MainWindow.h"
#include "app/MessageLoop.h"

#include <cstdio>

namespace
{

int WinMain(HINSTANCE instance, HINSTANCE, const char*, int showCommand)
{
    HWND window = Pakemino::CreateMainWindow(instance, showCommand);
    if (window == nullptr)
    {
        // Without a window nothing could ever end the loop.
        std::fprintf(stderr, "pakemino: cannot open a window: %s\n", WindowSystemError());
        return 1;
    }
    timeBeginPeriod(1);
    // Taken before the Game is built, so the first frame runs as soon as construction returns.
    const DWORD lastFrameTime = timeGetTime();
    int exitCode = 0;
    {
        Pakemino::Game game(window);
        Pakemino::Win32LoopSystem system;
        exitCode = Pakemino::RunMessageLoop(system, lastFrameTime, [&game] { game.RunFrame(); });
    }
    timeEndPeriod(1);
    return exitCode;
}

} // namespace

int main()
{
    return WinMain(GetModuleHandleW(nullptr), nullptr, "", SW_SHOWDEFAULT);
}
