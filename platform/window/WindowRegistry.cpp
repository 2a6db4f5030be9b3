#include "platform/window/WindowRegistry.h"

namespace platform::sdl
{

ATOM WindowRegistry::Register(const WNDCLASSW* windowClass)
{
    if (windowClass == nullptr || windowClass->lpszClassName == nullptr ||
        windowClass->lpfnWndProc == nullptr)
    {
        return 0;
    }
    if (ProcedureOf(windowClass->lpszClassName) != nullptr)
    {
        return 0;
    }
    classes.push_back({windowClass->lpszClassName, windowClass->lpfnWndProc});
    return static_cast<ATOM>(classes.size());
}

WNDPROC WindowRegistry::ProcedureOf(const wchar_t* className) const
{
    if (className == nullptr)
    {
        return nullptr;
    }
    for (const WindowClass& known : classes)
    {
        if (known.name == className)
        {
            return known.procedure;
        }
    }
    return nullptr;
}

HWND WindowRegistry::Add(const HWND__& window)
{
    windows.push_back(std::make_unique<HWND__>(window));
    return windows.back().get();
}

HWND__* WindowRegistry::Live(HWND window) const
{
    if (window == nullptr)
    {
        return nullptr;
    }
    for (const auto& candidate : windows)
    {
        if (candidate.get() == window)
        {
            return candidate->destroyed ? nullptr : candidate.get();
        }
    }
    return nullptr;
}

HWND WindowRegistry::LiveWithSdlId(uint32_t sdlId) const
{
    for (const auto& window : windows)
    {
        if (!window->destroyed && window->sdlId == sdlId)
        {
            return window.get();
        }
    }
    return nullptr;
}

} // namespace platform::sdl
