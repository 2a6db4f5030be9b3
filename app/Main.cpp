// The program's entry: one window, the 1 ms timer, the Game, and the message loop.

#include "app/Game.h"
#include "app/MessageLoop.h"
#include "app/WindowProc.h"

#include <cstdio>

namespace
{

const wchar_t* const ClassName = L"QORV_DEFAULT_WINDOW";
const wchar_t* const Title = L"pakemino Technical Preview";

int WinMain(HINSTANCE instance, HINSTANCE, const char*, int showCommand)
{
    WNDCLASSW windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = Pakemino::WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = ClassName;
    RegisterClassW(&windowClass);

    RECT rect{480, 360, 1120, 840};
    AdjustWindowRect(&rect, WS_OVERLAPPEDWINDOW, 0);
    HWND window = CreateWindowExW(0, ClassName, Title, WS_OVERLAPPEDWINDOW, rect.left, rect.top,
                                  rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                                  instance, nullptr);
    if (window == nullptr)
    {
        // Without a window nothing could ever end the loop.
        std::fprintf(stderr, "pakemino: cannot open a window (is a display available?)\n");
        return 1;
    }
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    timeBeginPeriod(1);

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
