#include "app/MainWindow.h"

#include "app/WindowProc.h"

#include <string>

namespace Pakemino
{

namespace
{
const wchar_t* const ClassName = L"QORV_DEFAULT_WINDOW";
const wchar_t* const Title = L"pakemino Technical Preview";
const wchar_t* const RecordingTitle = L"pakemino Technical Preview (recording)";
const wchar_t* const FollowingNote = L" (following MIDI clock)";
// The title the window was made with, for ShowFollowingClock to add to.
const wchar_t* shownTitle = Title;
} // namespace

HWND CreateMainWindow(HINSTANCE instance, int showCommand, bool recording)
{
    WNDCLASSW windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = ClassName;
    RegisterClassW(&windowClass);

    RECT rect{480, 360, 1120, 840};
    AdjustWindowRect(&rect, WS_OVERLAPPEDWINDOW, 0);
    shownTitle = recording ? RecordingTitle : Title;
    HWND window = CreateWindowExW(0, ClassName, shownTitle, WS_OVERLAPPEDWINDOW, rect.left,
                                  rect.top, rect.right - rect.left, rect.bottom - rect.top, nullptr,
                                  nullptr, instance, nullptr);
    if (window != nullptr)
    {
        ShowWindow(window, showCommand);
        UpdateWindow(window);
    }
    return window;
}

void ShowFollowingClock(HWND window, bool following)
{
    SetWindowTextW(window, (std::wstring(shownTitle) + (following ? FollowingNote : L"")).c_str());
}

} // namespace Pakemino
