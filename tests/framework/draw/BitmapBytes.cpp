#include "tests/framework/draw/BitmapBytes.h"

namespace DrawTests
{

namespace
{

void Put(std::string& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
    {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

} // namespace

std::string Bitmap(int32_t width, int32_t height,
                   const std::function<uint32_t(int32_t, int32_t)>& colour)
{
    const int32_t rowBytes = (width * 3 + 3) / 4 * 4;
    std::string file = "BM";
    Put(file, static_cast<uint32_t>(54 + rowBytes * height), 4);
    Put(file, 0, 4);
    Put(file, 54, 4);
    Put(file, 40, 4);
    Put(file, static_cast<uint32_t>(width), 4);
    Put(file, static_cast<uint32_t>(height), 4);
    Put(file, 1, 2);
    Put(file, 24, 2);
    for (int i = 0; i < 6; ++i)
    {
        Put(file, 0, 4);
    }
    for (int32_t y = height - 1; y >= 0; --y)
    {
        std::string row;
        for (int32_t x = 0; x < width; ++x)
        {
            Put(row, colour(x, y), 3);
        }
        row.resize(static_cast<size_t>(rowBytes), '\0');
        file += row;
    }
    return file;
}

} // namespace DrawTests
