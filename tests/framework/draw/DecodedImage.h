#pragma once
// A picture decoded from a file through a decoder, as the texture loader would get it.

#include "framework/base/IFileReader.h"
#include "framework/draw/IImageFile.h"

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <vector>

namespace DrawTests
{

struct DecodedImage
{
    bool opened = false;
    int32_t width = 0;
    int32_t height = 0;
    int32_t result = 0;
    // Rows of stride pixels, top row first; pixels the decoder never wrote keep the fill.
    std::vector<uint32_t> pixels;
    int32_t stride = 0;

    static DecodedImage FromFile(Qorv::Draw::IImageFile& image, const std::filesystem::path& file);
    // Rows extraColumns wider than the picture, filled beforehand, show stray writes.
    static DecodedImage FromReader(Qorv::Draw::IImageFile& image,
                                   std::shared_ptr<Qorv::Base::IFileReader> reader,
                                   int32_t extraColumns = 0, uint32_t fill = 0);

    uint32_t At(int32_t x, int32_t y) const
    {
        return pixels[static_cast<size_t>(y) * static_cast<size_t>(stride) + x];
    }

    struct Pixel
    {
        int32_t x, y;
        uint32_t argb;
        const char* why = "";
    };
    // Expects the picture opened and each pixel as given.
    void Expect(std::initializer_list<Pixel> expected) const;
};

} // namespace DrawTests
