#pragma once
// The program's one window: class "QORV_DEFAULT_WINDOW", a 640×480 client area at (480, 360).

#include "platform/window/Win32.h"

namespace Pakemino
{

// Registers the class, creates and shows the window; null when no window can be opened. While
// a take is recorded the title says so.
HWND CreateMainWindow(HINSTANCE instance, int showCommand, bool recording = false);

// The title says "(following MIDI clock)" while an outside clock sets the tempo.
void ShowFollowingClock(HWND window, bool following);

} // namespace Pakemino
