#pragma once
// A picture decoded from a file through a decoder, as the texture loader would get it.

#include "framework/draw/IImageFile.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace DrawTests
{

struct DecodedImage
{
    bool opened = false;
    int32_t width = 0;
    int32_t height = 0;
    int32_t result = 0;
    // Rows of width pixels, top row first; pixels the decoder never wrote stay 0.
    std::vector<uint32_t> pixels;

    static DecodedImage FromFile(Qorv::Draw::IImageFile& image, const std::filesystem::path& file);

    uint32_t At(int32_t x, int32_t y) const
    {
        return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + x];
    }
};

} // namespace DrawTests
