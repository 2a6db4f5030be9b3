#pragma once
// The main window's procedure: Escape closes like the close button; the loop ends when the
// window is destroyed. All other input is read through the input manager.

#include "platform/window/Win32.h"

namespace Pakemino
{

LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace Pakemino
