#pragma once
// Reads a window's pixels back from the X server the end-to-end tests run under. Kept apart
// from the tests: Xlib's macros (None, Status, Bool) collide with GoogleTest's names.

#include <cstddef>
#include <optional>
#include <string>

namespace TestSupport
{

// A hash of the window's top-left 640x480 pixels as far as they are on screen, or nothing
// when they cannot be read.
std::optional<size_t> WindowPixelsHash(const std::string& window);

} // namespace TestSupport
