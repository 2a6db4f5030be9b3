#pragma once
// For the other platform folders only: posting to a window from a thread of their own (a MIDI
// callback), as Windows allows. The window is not checked: that would read the window thread's
// bookkeeping; a message for a window gone by then is dropped when it is dispatched.

#include "platform/window/Win32.h"

namespace platform::sdl
{

void PostFromAnyThread(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace platform::sdl
