#pragma once
// For the other platform folders only: the SDL window behind a window handle, and back.

#include "platform/window/Win32.h"

#include <SDL.h>

// Null for a null, unknown or destroyed handle.
SDL_Window* SdlWindowOf(HWND window);
// The live window handle wrapping an SDL window id, or null.
HWND WindowOfSdlId(Uint32 windowId);
