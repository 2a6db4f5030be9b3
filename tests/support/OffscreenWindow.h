#pragma once
// A window with a real OpenGL context and no display (SDL's offscreen driver on EGL), for the
// tests that draw with the GL device and read the pixels back.

#include "platform/window/Win32.h"

#include <cstdint>
#include <vector>

namespace TestSupport
{

class OffscreenWindow
{
public:
    OffscreenWindow(int width, int height);
    OffscreenWindow(const OffscreenWindow&) = delete;
    OffscreenWindow& operator=(const OffscreenWindow&) = delete;
    ~OffscreenWindow();

    // Null when no window could be made.
    HWND Handle() const { return window; }

private:
    HWND window = nullptr;
};

// The pixels of the bound target of the current context as A8R8G8B8, top row first: of the
// back buffer (whose rows GL keeps bottom up), or of a render target, row 0 as stored.
std::vector<uint32_t> ReadBackBuffer(int width, int height);
std::vector<uint32_t> ReadBoundTarget(int width, int height);
// What the window shows after a present, top row first; the bound target stays bound.
std::vector<uint32_t> ReadWindow(int width, int height);

} // namespace TestSupport
