#include "tests/framework/draw/DecodedImage.h"

#include <gtest/gtest.h>

namespace DrawTests
{

DecodedImage DecodedImage::FromFile(Qorv::Draw::IImageFile& image,
                                    const std::filesystem::path& file)
{
    auto reader = Qorv::Base::CreateFileReader();
    if (!reader->Open(file.wstring()))
    {
        return {};
    }
    return FromReader(image, reader);
}

DecodedImage DecodedImage::FromReader(Qorv::Draw::IImageFile& image,
                                      std::shared_ptr<Qorv::Base::IFileReader> reader,
                                      int32_t extraColumns, uint32_t fill)
{
    DecodedImage out;
    out.opened = image.Open(std::move(reader));
    if (!out.opened)
    {
        return out;
    }
    out.width = image.GetWidth();
    out.height = image.GetHeight();
    out.stride = out.width + extraColumns;
    out.pixels.assign(static_cast<size_t>(out.stride) * static_cast<size_t>(out.height), fill);
    out.result = out.pixels.empty() ? 0 : image.ReadPixels(out.pixels.data(), out.stride);
    image.Close();
    return out;
}

void DecodedImage::Expect(std::initializer_list<Pixel> expected) const
{
    ASSERT_TRUE(opened);
    for (const Pixel& pixel : expected)
    {
        EXPECT_EQ(At(pixel.x, pixel.y), pixel.argb)
            << "at " << pixel.x << ", " << pixel.y << ": " << pixel.why;
    }
}

} // namespace DrawTests
