#include "tests/support/BmpBytes.h"
#include "tests/support/LittleEndian.h"

namespace TestSupport
{

std::string BmpBuilder::Build() const
{
    std::string header = Le32(headerSize) + Le32(static_cast<uint32_t>(width)) +
                         Le32(static_cast<uint32_t>(height)) + Le16(1) + Le16(bits) +
                         Le32(compression) + Le32(0) + Le32(0) + Le32(0) + Le32(coloursUsed) +
                         Le32(0);
    for (uint32_t mask : masks)
    {
        header += Le32(mask);
    }
    if (header.size() < headerSize)
    {
        header.resize(headerSize, '\0');
    }
    std::string table;
    for (uint32_t colour : palette)
    {
        table += Le32(colour);
    }
    const auto offset = static_cast<uint32_t>(14 + header.size() + table.size());
    return "BM" + Le32(static_cast<uint32_t>(offset + pixels.size())) + Le32(0) +
           Le32(zeroOffset ? 0 : offset) + header + table + pixels;
}

std::string Bitmap(int32_t width, int32_t height,
                   const std::function<uint32_t(int32_t, int32_t)>& colour)
{
    BmpBuilder bmp;
    bmp.width = width;
    bmp.height = height;
    const auto rowBytes = static_cast<size_t>((width * 3 + 3) / 4 * 4);
    for (int32_t y = height - 1; y >= 0; --y)
    {
        std::string row;
        for (int32_t x = 0; x < width; ++x)
        {
            row += LittleEndian(colour(x, y), 3);
        }
        row.resize(rowBytes, '\0');
        bmp.pixels += row;
    }
    return bmp.Build();
}

} // namespace TestSupport
