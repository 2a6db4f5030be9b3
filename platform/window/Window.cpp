// The window calls on SDL2 video: classes registered, windows made, titled, shown and
// destroyed. The message calls are in MessageCalls.cpp.

#include "platform/window/DisplayLoss.h"
#include "platform/window/SdlWindow.h"
#include "platform/window/Utf8.h"
#include "platform/window/WindowSystem.h"

#include <algorithm>
#include <cstdlib>
#include <string>

using platform::sdl::System;
using platform::sdl::WindowSystem;

namespace
{

HWND__* Live(HWND window)
{
    return System().windows.Live(window);
}

// Any text a window shows is valid UTF-8, whatever the wide string holds.
std::string ShownUtf8(const wchar_t* text)
{
    return text != nullptr ? platform::WideToUtf8(platform::ShownText(text)) : std::string();
}

// SDL falls back to drivers that show nothing (offscreen, dummy) when no display can be
// opened, and the program would run on unseen with nothing to end it; only an explicit
// SDL_VIDEODRIVER picks one of those.
bool StartVideo()
{
    const char* asked = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    if (asked != nullptr && *asked != '\0')
    {
        return SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    }
    std::string shown;
    for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i)
    {
        const std::string name = SDL_GetVideoDriver(i);
        if (name != "offscreen" && name != "dummy" && name != "evdev")
        {
            shown += (shown.empty() ? "" : ",") + name;
        }
    }
    if (shown.empty())
    {
        SDL_SetError("no video driver shows a window");
        return false;
    }
    SDL_SetHint(SDL_HINT_VIDEODRIVER, shown.c_str());
    const bool started = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    SDL_ResetHint(SDL_HINT_VIDEODRIVER);
    return started;
}

constexpr long MaxScale = 16;

// The largest whole multiple of the client size within three quarters of the desktop, at
// least 1; PAKEMINO_SCALE=N asks for N, and a value that is not a whole number from 1 to
// MaxScale is ignored.
int StartScale(int width, int height)
{
    if (const char* asked = std::getenv("PAKEMINO_SCALE"))
    {
        char* end = nullptr;
        const long scale = std::strtol(asked, &end, 10);
        if (end != asked && *end == '\0' && scale >= 1 && scale <= MaxScale)
        {
            return static_cast<int>(scale);
        }
    }
    SDL_DisplayMode desktop{};
    if (SDL_GetDesktopDisplayMode(0, &desktop) != 0)
    {
        return 1;
    }
    const int scale = std::min(desktop.w * 3 / 4 / width, desktop.h * 3 / 4 / height);
    return std::clamp(scale, 1, static_cast<int>(MaxScale));
}

} // namespace

namespace platform::sdl
{

WindowSystem::~WindowSystem()
{
    for (const auto& window : windows.All())
    {
        SDL_DestroyWindow(window->sdl);
    }
    if (videoStarted)
    {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
}

WindowSystem& System()
{
    static WindowSystem system;
    return system;
}

SDL_Window* SdlWindowOf(HWND window)
{
    HWND__* live = Live(window);
    return live != nullptr ? live->sdl : nullptr;
}

bool ClientSizeOf(HWND window, UINT& width, UINT& height)
{
    HWND__* live = Live(window);
    if (live == nullptr)
    {
        return false;
    }
    width = live->clientWidth;
    height = live->clientHeight;
    return true;
}

HWND WindowOfSdlId(Uint32 windowId)
{
    return System().windows.LiveWithSdlId(windowId);
}

} // namespace platform::sdl

ATOM RegisterClassW(const WNDCLASSW* windowClass)
{
    return System().windows.Register(windowClass);
}

BOOL AdjustWindowRect(RECT* rect, DWORD, BOOL)
{
    return rect != nullptr;
}

HWND CreateWindowExW(DWORD, const wchar_t* className, const wchar_t* windowName, DWORD style, int x,
                     int y, int width, int height, HWND, void*, HINSTANCE, void*)
{
    WindowSystem& system = System();
    WNDPROC procedure = system.windows.ProcedureOf(className);
    if (procedure == nullptr || width <= 0 || height <= 0)
    {
        system.lastError = "no such window class, or an empty window";
        return nullptr;
    }
    if (!system.videoStarted)
    {
        SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
        SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
        if (!StartVideo())
        {
            system.lastError = SDL_GetError();
            return nullptr;
        }
        system.videoStarted = true;
        SDL_StopTextInput();
        if (std::string(SDL_GetCurrentVideoDriver()) == "x11")
        {
            platform::sdl::EndWhenDisplayIsLost();
        }
    }
    const int scale = StartScale(width, height);
    const int shownWidth = width * scale;
    const int shownHeight = height * scale;
    SDL_Rect desktop{};
    if (SDL_GetDisplayBounds(0, &desktop) == 0 &&
        (x < desktop.x || y < desktop.y || x + shownWidth > desktop.x + desktop.w ||
         y + shownHeight > desktop.y + desktop.h))
    {
        x = SDL_WINDOWPOS_CENTERED;
        y = SDL_WINDOWPOS_CENTERED;
    }
    const Uint32 flags =
        SDL_WINDOW_HIDDEN | ((style & WS_THICKFRAME) != 0 ? SDL_WINDOW_RESIZABLE : 0);
    const std::string title = ShownUtf8(windowName);
    // OpenGL-capable when the system has GL, so a device can be made for it later; a plain
    // window otherwise, and the program runs without a picture.
    SDL_Window* sdl =
        SDL_CreateWindow(title.c_str(), x, y, shownWidth, shownHeight, flags | SDL_WINDOW_OPENGL);
    if (sdl == nullptr)
    {
        sdl = SDL_CreateWindow(title.c_str(), x, y, shownWidth, shownHeight, flags);
    }
    if (sdl == nullptr)
    {
        system.lastError = SDL_GetError();
        return nullptr;
    }
    HWND__ window;
    window.sdl = sdl;
    window.sdlId = SDL_GetWindowID(sdl);
    window.procedure = procedure;
    window.clientWidth = static_cast<UINT>(width);
    window.clientHeight = static_cast<UINT>(height);
    return system.windows.Add(window);
}

const char* WindowSystemError()
{
    return System().lastError.c_str();
}

BOOL ShowWindow(HWND window, int)
{
    HWND__* live = Live(window);
    if (live == nullptr)
    {
        return 0;
    }
    const bool wasVisible = (SDL_GetWindowFlags(live->sdl) & SDL_WINDOW_SHOWN) != 0;
    SDL_ShowWindow(live->sdl);
    return wasVisible ? 1 : 0;
}

BOOL SetWindowTextW(HWND window, const wchar_t* text)
{
    HWND__* live = Live(window);
    if (live == nullptr)
    {
        return 0;
    }
    SDL_SetWindowTitle(live->sdl, ShownUtf8(text).c_str());
    return 1;
}

BOOL UpdateWindow(HWND window)
{
    // Nothing paints on WM_PAINT; every picture is drawn in frames.
    return Live(window) != nullptr ? 1 : 0;
}

BOOL DestroyWindow(HWND window)
{
    HWND__* live = Live(window);
    if (live == nullptr)
    {
        return 0;
    }
    SDL_HideWindow(live->sdl);
    live->destroyed = true;
    live->procedure(window, WM_DESTROY, 0, 0);
    return 1;
}

BOOL IsWindow(HWND window)
{
    return Live(window) != nullptr ? 1 : 0;
}
