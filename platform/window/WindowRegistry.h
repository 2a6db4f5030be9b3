#pragma once
// The thread's window classes and windows: what a window handle stands for and whether it is
// still live. Bookkeeping only; the caller makes and frees the SDL windows themselves.

#include "platform/window/Win32.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct SDL_Window;

struct HWND__
{
    SDL_Window* sdl = nullptr;
    uint32_t sdlId = 0;
    WNDPROC procedure = nullptr;
    UINT clientWidth = 0;
    UINT clientHeight = 0;
    bool destroyed = false;
};

namespace platform::sdl
{

class WindowRegistry
{
public:
    // The class's atom; 0 without a name or procedure, or for a name already registered.
    ATOM Register(const WNDCLASSW* windowClass);
    // Null for a null or unregistered class name.
    WNDPROC ProcedureOf(const wchar_t* className) const;

    HWND Add(const HWND__& window);
    // Null for a null, unknown or destroyed handle.
    HWND__* Live(HWND window) const;
    HWND LiveWithSdlId(uint32_t sdlId) const;
    // Destroyed windows included: they stay allocated while the registry lives, so a device
    // made for one (its GL context) may be released after the window is gone.
    const std::vector<std::unique_ptr<HWND__>>& All() const { return windows; }

private:
    struct WindowClass
    {
        std::wstring name;
        WNDPROC procedure;
    };

    std::vector<WindowClass> classes;
    std::vector<std::unique_ptr<HWND__>> windows;
};

} // namespace platform::sdl
