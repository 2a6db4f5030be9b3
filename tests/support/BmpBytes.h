#pragma once
// BMP files built byte by byte: any header, colour table and pixels a decoder test needs, and a
// plain 24-bit picture drawn from a function.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace TestSupport
{

// A file header, an info header of headerSize bytes (fields past 40 bytes filled from masks),
// the colour table as BGRA and the pixel bytes.
struct BmpBuilder
{
    uint32_t headerSize = 40;
    int32_t width = 1;
    int32_t height = 1;
    uint16_t bits = 24;
    uint32_t compression = 0;
    uint32_t coloursUsed = 0;
    std::vector<uint32_t> masks;
    std::vector<uint32_t> palette;
    std::string pixels;
    bool zeroOffset = false;

    std::string Build() const;
};

// A bottom-up 24-bit BMP whose pixel (x, y), y from the top, is colour(x, y) as 0xRRGGBB.
std::string Bitmap(int32_t width, int32_t height,
                   const std::function<uint32_t(int32_t x, int32_t y)>& colour);

} // namespace TestSupport
