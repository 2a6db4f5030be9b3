#pragma once
// BMP file bytes made in code, for the texture-loading tests.

#include <cstdint>
#include <functional>
#include <string>

namespace DrawTests
{

// A bottom-up 24-bit BMP whose pixel (x, y), y from the top, is colour(x, y) as 0xRRGGBB.
std::string Bitmap(int32_t width, int32_t height,
                   const std::function<uint32_t(int32_t x, int32_t y)>& colour);

} // namespace DrawTests
