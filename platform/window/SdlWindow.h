#pragma once
// For the other platform folders only: the SDL window behind a window handle, and back.

#include "platform/window/Win32.h"

#include <SDL.h>

namespace platform::sdl
{

// Null for a null, unknown or destroyed handle.
SDL_Window* SdlWindowOf(HWND window);
// The live window handle wrapping an SDL window id, or null.
HWND WindowOfSdlId(Uint32 windowId);
// The client size the window was made with, which its picture is drawn at whatever size it
// is shown at; false for a null, unknown or destroyed handle.
bool ClientSizeOf(HWND window, UINT& width, UINT& height);

} // namespace platform::sdl
