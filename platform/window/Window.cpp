// Windows, classes and the message queue on SDL2 video and events.

#include "platform/window/DisplayLoss.h"
#include "platform/window/SdlWindow.h"

#include <algorithm>
#include <cstdlib>
#include <cwchar>
#include <deque>
#include <memory>
#include <string>
#include <vector>

struct HWND__
{
    SDL_Window* sdl = nullptr;
    WNDPROC procedure = nullptr;
    UINT clientWidth = 0;
    UINT clientHeight = 0;
    bool destroyed = false;
};

namespace
{

struct WindowClass
{
    std::wstring name;
    WNDPROC procedure;
};

// The one thread's window system: classes, windows and the posted-message queue.
struct WindowSystem
{
    std::vector<WindowClass> classes;
    std::vector<std::unique_ptr<HWND__>> windows;
    std::deque<MSG> queue;
    bool quitPosted = false;
    int quitCode = 0;
    bool videoStarted = false;
    std::string lastError;

    ~WindowSystem()
    {
        // Destroyed windows stay allocated until here, so a device made for one (its GL
        // context) may be released after the window is gone.
        for (const auto& window : windows)
        {
            SDL_DestroyWindow(window->sdl);
        }
        if (videoStarted)
        {
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
        }
    }
};

WindowSystem& System()
{
    static WindowSystem system;
    return system;
}

HWND__* Live(HWND window)
{
    if (window == nullptr)
    {
        return nullptr;
    }
    for (const auto& candidate : System().windows)
    {
        if (candidate.get() == window)
        {
            return candidate->destroyed ? nullptr : candidate.get();
        }
    }
    return nullptr;
}

std::string ToUtf8(const wchar_t* text)
{
    if (text == nullptr)
    {
        return {};
    }
    const char* wide = SDL_BYTEORDER == SDL_LIL_ENDIAN ? "UTF-32LE" : "UTF-32BE";
    char* converted = SDL_iconv_string("UTF-8", wide, reinterpret_cast<const char*>(text),
                                       (std::wcslen(text) + 1) * sizeof(wchar_t));
    std::string result = converted != nullptr ? converted : "";
    SDL_free(converted);
    return result;
}

WPARAM VirtualKey(SDL_Keycode key)
{
    if (key >= SDLK_a && key <= SDLK_z)
    {
        return static_cast<WPARAM>('A' + (key - SDLK_a));
    }
    if (key >= SDLK_0 && key <= SDLK_9)
    {
        return static_cast<WPARAM>(key);
    }
    if (key >= SDLK_F1 && key <= SDLK_F12)
    {
        return VK_F1 + static_cast<WPARAM>(key - SDLK_F1);
    }
    switch (key)
    {
    case SDLK_ESCAPE:
        return VK_ESCAPE;
    case SDLK_RETURN:
        return VK_RETURN;
    case SDLK_BACKSPACE:
        return VK_BACK;
    case SDLK_TAB:
        return VK_TAB;
    case SDLK_SPACE:
        return VK_SPACE;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
        return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
        return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT:
        return VK_MENU;
    default:
        return 0;
    }
}

void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    MSG msg{};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = SDL_GetTicks();
    System().queue.push_back(msg);
}

// Turns one SDL event into the window message Windows would have queued for it.
void Translate(const SDL_Event& event)
{
    switch (event.type)
    {
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE)
        {
            if (HWND window = platform::sdl::WindowOfSdlId(event.window.windowID))
            {
                Post(window, WM_CLOSE, 0, 0);
            }
        }
        break;
    case SDL_QUIT:
        // A termination signal: close every window as the close button would.
        for (const auto& window : System().windows)
        {
            if (!window->destroyed)
            {
                Post(window.get(), WM_CLOSE, 0, 0);
            }
        }
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
    {
        HWND window = platform::sdl::WindowOfSdlId(event.key.windowID);
        const bool down = event.type == SDL_KEYDOWN;
        const bool system = (event.key.keysym.mod & KMOD_ALT) != 0;
        const UINT message =
            down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
        // lParam as Windows builds it: repeat count, scan code, previous state, transition.
        LPARAM lParam = 1 | (static_cast<LPARAM>(event.key.keysym.scancode & 0xFF) << 16);
        if (event.key.repeat != 0 || !down)
        {
            lParam |= LPARAM{1} << 30;
        }
        if (!down)
        {
            lParam |= LPARAM{1} << 31;
        }
        Post(window, message, VirtualKey(event.key.keysym.sym), lParam);
        break;
    }
    default:
        break;
    }
}

void PumpEvents()
{
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0)
    {
        Translate(event);
    }
}

bool TakeMessage(MSG* msg)
{
    WindowSystem& system = System();
    if (!system.queue.empty())
    {
        *msg = system.queue.front();
        system.queue.pop_front();
        return true;
    }
    return false;
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

// Fullscreen on the desktop's own mode, so leaving it changes no display setting.
void ToggleFullscreen(HWND window)
{
    if (SDL_Window* sdl = platform::sdl::SdlWindowOf(window))
    {
        const bool full = (SDL_GetWindowFlags(sdl) & SDL_WINDOW_FULLSCREEN) != 0;
        SDL_SetWindowFullscreen(sdl, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
    }
}

} // namespace

namespace platform::sdl
{

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
    for (const auto& window : System().windows)
    {
        if (!window->destroyed && SDL_GetWindowID(window->sdl) == windowId)
        {
            return window.get();
        }
    }
    return nullptr;
}

} // namespace platform::sdl

ATOM RegisterClassW(const WNDCLASSW* windowClass)
{
    if (windowClass == nullptr || windowClass->lpszClassName == nullptr ||
        windowClass->lpfnWndProc == nullptr)
    {
        return 0;
    }
    auto& classes = System().classes;
    for (const WindowClass& known : classes)
    {
        if (known.name == windowClass->lpszClassName)
        {
            return 0;
        }
    }
    classes.push_back({windowClass->lpszClassName, windowClass->lpfnWndProc});
    return static_cast<ATOM>(classes.size());
}

BOOL AdjustWindowRect(RECT* rect, DWORD, BOOL)
{
    return rect != nullptr;
}

HWND CreateWindowExW(DWORD, const wchar_t* className, const wchar_t* windowName, DWORD style, int x,
                     int y, int width, int height, HWND, void*, HINSTANCE, void*)
{
    WindowSystem& system = System();
    WNDPROC procedure = nullptr;
    for (const WindowClass& known : system.classes)
    {
        if (className != nullptr && known.name == className)
        {
            procedure = known.procedure;
        }
    }
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
    const std::string title = ToUtf8(windowName);
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
    auto window = std::make_unique<HWND__>();
    window->sdl = sdl;
    window->procedure = procedure;
    window->clientWidth = static_cast<UINT>(width);
    window->clientHeight = static_cast<UINT>(height);
    system.windows.push_back(std::move(window));
    return system.windows.back().get();
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

BOOL PeekMessageW(MSG* msg, HWND, UINT, UINT, UINT removeMessage)
{
    WindowSystem& system = System();
    if (system.videoStarted)
    {
        PumpEvents();
    }
    if (!system.queue.empty())
    {
        *msg = system.queue.front();
        if (removeMessage & PM_REMOVE)
        {
            system.queue.pop_front();
        }
        return 1;
    }
    if (system.quitPosted)
    {
        *msg = MSG{};
        msg->message = WM_QUIT;
        msg->wParam = static_cast<WPARAM>(system.quitCode);
        if (removeMessage & PM_REMOVE)
        {
            system.quitPosted = false;
        }
        return 1;
    }
    return 0;
}

BOOL GetMessageW(MSG* msg, HWND, UINT, UINT)
{
    WindowSystem& system = System();
    if (msg == nullptr)
    {
        return -1;
    }
    for (;;)
    {
        if (system.videoStarted)
        {
            PumpEvents();
        }
        if (TakeMessage(msg))
        {
            return 1;
        }
        if (system.quitPosted)
        {
            system.quitPosted = false;
            *msg = MSG{};
            msg->message = WM_QUIT;
            msg->wParam = static_cast<WPARAM>(system.quitCode);
            return 0;
        }
        if (!system.videoStarted)
        {
            return -1;
        }
        SDL_WaitEventTimeout(nullptr, 100);
    }
}

BOOL TranslateMessage(const MSG*)
{
    // Character messages are never read.
    return 0;
}

LRESULT DispatchMessageW(const MSG* msg)
{
    if (msg == nullptr)
    {
        return 0;
    }
    HWND__* live = Live(msg->hwnd);
    return live != nullptr ? live->procedure(msg->hwnd, msg->message, msg->wParam, msg->lParam) : 0;
}

BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (window != nullptr && Live(window) == nullptr)
    {
        return 0;
    }
    Post(window, message, wParam, lParam);
    return 1;
}

void PostQuitMessage(int exitCode)
{
    System().quitPosted = true;
    System().quitCode = exitCode;
}

LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_SYSKEYDOWN:
        // Alt+F4 closes the window when no window manager took it first.
        if (wParam == VK_F4)
        {
            PostMessageW(window, WM_CLOSE, 0, 0);
        }
        // Once a press (bit 30 marks a repeat): a held Alt+Enter does not flicker.
        if (wParam == VK_RETURN && (lParam & (LPARAM{1} << 30)) == 0)
        {
            ToggleFullscreen(window);
        }
        return 0;
    default:
        return 0;
    }
}
