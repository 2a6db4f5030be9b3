#include "platform/window/SdlMessages.h"

namespace platform::sdl
{

namespace
{

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

} // namespace

void QueueMessagesFor(const SDL_Event& event, const WindowRegistry& windows, MessageQueue& queue)
{
    switch (event.type)
    {
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE)
        {
            if (HWND window = windows.LiveWithSdlId(event.window.windowID))
            {
                queue.Post(window, WM_CLOSE, 0, 0, SDL_GetTicks());
            }
        }
        break;
    case SDL_QUIT:
        // A termination signal: close every window as the close button would.
        for (const auto& window : windows.All())
        {
            if (!window->destroyed)
            {
                queue.Post(window.get(), WM_CLOSE, 0, 0, SDL_GetTicks());
            }
        }
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
    {
        HWND window = windows.LiveWithSdlId(event.key.windowID);
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
        queue.Post(window, message, VirtualKey(event.key.keysym.sym), lParam, SDL_GetTicks());
        break;
    }
    default:
        break;
    }
}

} // namespace platform::sdl
