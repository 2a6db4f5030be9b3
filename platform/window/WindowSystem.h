#pragma once
// The thread's window system: its windows and its message queue, shared by the window calls
// (Window.cpp) and the message calls (MessageCalls.cpp).

#include "platform/window/MessageQueue.h"
#include "platform/window/WindowRegistry.h"

#include <string>

namespace platform::sdl
{

struct WindowSystem
{
    WindowRegistry windows;
    MessageQueue queue;
    bool videoStarted = false;
    std::string lastError;

    // Destroys every SDL window and stops SDL's video when it was started.
    ~WindowSystem();
};

// Made on first use, ended when the program exits.
WindowSystem& System();

} // namespace platform::sdl
