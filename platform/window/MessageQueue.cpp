#include "platform/window/MessageQueue.h"

namespace platform::sdl
{

void MessageQueue::Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD time)
{
    MSG msg{};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = time;
    const std::lock_guard hold(lock);
    posted.push_back(msg);
}

void MessageQueue::PostQuit(int exitCode)
{
    const std::lock_guard hold(lock);
    quitPosted = true;
    quitCode = exitCode;
}

MessageQueue::Taken MessageQueue::Next(MSG& msg, bool remove)
{
    const std::lock_guard hold(lock);
    if (!posted.empty())
    {
        msg = posted.front();
        if (remove)
        {
            posted.pop_front();
        }
        return Taken::Posted;
    }
    if (quitPosted)
    {
        msg = MSG{};
        msg.message = WM_QUIT;
        msg.wParam = static_cast<WPARAM>(quitCode);
        if (remove)
        {
            quitPosted = false;
        }
        return Taken::Quit;
    }
    return Taken::Nothing;
}

} // namespace platform::sdl
