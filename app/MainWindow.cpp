#include "app/MainWindow.h"

#include "app/WindowProc.h"
#include "platform/window/Utf8.h"

#include <string>

namespace Pakemino
{

namespace
{
const wchar_t* const ClassName = L"QORV_DEFAULT_WINDOW";
// The title the window shows now, for the Show functions to change a part of.
TitleState shownTitle;
} // namespace

std::wstring WindowTitle(const TitleState& state)
{
    std::wstring title = L"pakemino Technical Preview";
    if (!state.patternName.empty())
    {
        // The window shows a byte of the name that is not UTF-8 as the replacement mark.
        title += (state.unsaved ? L" - *" : L" - ") + platform::Utf8ToWide(state.patternName);
    }
    if (state.followingClock)
    {
        title += L" (following MIDI clock)";
    }
    return state.recording ? title + L" (recording)" : title;
}

HWND CreateMainWindow(HINSTANCE instance, int showCommand, const TitleState& title)
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
    shownTitle = title;
    HWND window = CreateWindowExW(0, ClassName, WindowTitle(title).c_str(), WS_OVERLAPPEDWINDOW,
                                  rect.left, rect.top, rect.right - rect.left,
                                  rect.bottom - rect.top, nullptr, nullptr, instance, nullptr);
    if (window != nullptr)
    {
        ShowWindow(window, showCommand);
        UpdateWindow(window);
    }
    return window;
}

void ShowPatternUnsaved(HWND window, bool unsaved)
{
    shownTitle.unsaved = unsaved;
    SetWindowTextW(window, WindowTitle(shownTitle).c_str());
}

void ShowFollowingClock(HWND window, bool following)
{
    shownTitle.followingClock = following;
    SetWindowTextW(window, WindowTitle(shownTitle).c_str());
}

} // namespace Pakemino
