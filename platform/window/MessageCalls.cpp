// The message calls on SDL2 events: SDL's events pumped into the thread's message queue,
// messages handed to window procedures, and the default procedure's keys.

#include "platform/window/SdlMessages.h"
#include "platform/window/SdlWindow.h"
#include "platform/window/WindowSystem.h"

using platform::sdl::MessageQueue;
using platform::sdl::System;
using platform::sdl::WindowSystem;

namespace
{

// Nothing to pump before the first window starts SDL's video.
void PumpEvents()
{
    WindowSystem& system = System();
    SDL_Event event;
    while (system.videoStarted && SDL_PollEvent(&event) != 0)
    {
        platform::sdl::QueueMessagesFor(event, system.windows, system.queue);
    }
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

BOOL PeekMessageW(MSG* msg, HWND, UINT, UINT, UINT removeMessage)
{
    PumpEvents();
    const bool remove = (removeMessage & PM_REMOVE) != 0;
    return System().queue.Next(*msg, remove) != MessageQueue::Taken::Nothing ? 1 : 0;
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
        PumpEvents();
        switch (system.queue.Next(*msg, true))
        {
        case MessageQueue::Taken::Posted:
            return 1;
        case MessageQueue::Taken::Quit:
            return 0;
        case MessageQueue::Taken::Nothing:
            break;
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
    HWND__* live = System().windows.Live(msg->hwnd);
    return live != nullptr ? live->procedure(msg->hwnd, msg->message, msg->wParam, msg->lParam) : 0;
}

BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (window != nullptr && System().windows.Live(window) == nullptr)
    {
        return 0;
    }
    System().queue.Post(window, message, wParam, lParam, SDL_GetTicks());
    return 1;
}

void PostQuitMessage(int exitCode)
{
    System().queue.PostQuit(exitCode);
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
