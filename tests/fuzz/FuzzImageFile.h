#pragma once
// One fuzz input through a picture decoder as the texture loader drives it: open, size, pixels.

#include "framework/draw/IImageFile.h"
#include "tests/support/MemoryFileReader.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace FuzzSupport
{

inline void FuzzImageFile(Qorv::Draw::IImageFile& image, const uint8_t* data, size_t size)
{
    auto reader = std::make_shared<TestSupport::MemoryFileReader>(data, size);
    reader->OpenMemory();
    if (!image.Open(reader))
    {
        return;
    }
    const int64_t width = image.GetWidth();
    const int64_t height = image.GetHeight();
    // The destination is the caller's. A megapixel bounds both memory and time: a legal 4
    // megapixel picture takes over a second to decode with sanitizers and coverage on.
    if (width > 0 && height > 0 && width * height <= (int64_t{1} << 20))
    {
        std::vector<uint32_t> pixels(static_cast<size_t>(width * height));
        // Hostile input: what the decode yields does not matter, only that it stays in bounds.
        (void)image.ReadPixels(pixels.data(), static_cast<int32_t>(width));
    }
    image.Close();
}

} // namespace FuzzSupport
