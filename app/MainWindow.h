#pragma once
// The program's one window: class "QORV_DEFAULT_WINDOW", a 640×480 client area at (480, 360).

#include "platform/window/Win32.h"

#include <string>

namespace Pakemino
{

// "pakemino Technical Preview", then the pattern file's name ("*" before it while it has
// unsaved changes) and "(recording)" while a take is recorded.
std::wstring WindowTitle(bool recording, const std::string& patternName = "", bool unsaved = false);

// Registers the class, creates and shows the window; null when no window can be opened.
HWND CreateMainWindow(HINSTANCE instance, int showCommand,
                      const std::wstring& title = WindowTitle(false));

} // namespace Pakemino
