#include "tests/framework/draw/DecodedImage.h"

namespace DrawTests
{

DecodedImage DecodedImage::FromFile(Qorv::Draw::IImageFile& image,
                                    const std::filesystem::path& file)
{
    DecodedImage out;
    auto reader = Qorv::Base::CreateFileReader();
    if (!reader->Open(file.wstring()))
    {
        return out;
    }
    out.opened = image.Open(reader);
    if (!out.opened)
    {
        return out;
    }
    out.width = image.GetWidth();
    out.height = image.GetHeight();
    out.pixels.assign(static_cast<size_t>(out.width) * static_cast<size_t>(out.height), 0);
    out.result = out.pixels.empty() ? 0 : image.ReadPixels(out.pixels.data(), out.width);
    image.Close();
    return out;
}

} // namespace DrawTests
