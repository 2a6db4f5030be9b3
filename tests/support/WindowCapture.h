#pragma once
// A window's picture read back from the X server the end-to-end tests run under, and written
// as PNG. Kept apart from the tests: Xlib's macros collide with GoogleTest's names.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace TestSupport
{

struct Picture
{
    int width = 0, height = 0;
    // 0xRRGGBB, top row first.
    std::vector<uint32_t> pixels;

    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// The window's whole client area, or nothing when any of it is off screen or unreadable.
std::optional<Picture> CaptureWindow(const std::string& window);

// What the screen shows from the window's top-left corner, whichever window drew it: up to
// width x height, as far as it is on screen; nothing when none of it is.
std::optional<Picture> CaptureScreenAt(const std::string& window, int width, int height);

bool WritePng(const Picture& picture, const std::string& path);

} // namespace TestSupport
