#pragma once
// The thread's posted messages as Windows hands them out: first in, first out, and WM_QUIT
// once nothing else is waiting after PostQuitMessage. Other threads may post, as Windows lets
// them. Knows nothing of SDL's events.

#include "platform/window/Win32.h"

#include <deque>
#include <mutex>

namespace platform::sdl
{

class MessageQueue
{
public:
    enum class Taken
    {
        Nothing,
        Posted,
        Quit,
    };

    void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD time);
    void PostQuit(int exitCode);
    // Fills msg with the next message, and takes it off the queue when remove is set; msg is
    // left alone when there is none.
    Taken Next(MSG& msg, bool remove);

private:
    std::mutex lock;
    std::deque<MSG> posted;
    bool quitPosted = false;
    int quitCode = 0;
};

} // namespace platform::sdl
