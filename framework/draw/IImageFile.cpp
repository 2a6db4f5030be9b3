#include "framework/draw/IImageFile.h"

#include <utility>

namespace Qorv::Draw
{

bool IImageFile::Open(const std::shared_ptr<Base::IFileReader>& newReader)
{
    if (!newReader)
    {
        return false;
    }
    Close();
    if (!OpenImpl(newReader))
    {
        return false;
    }
    open = true;
    reader = newReader;
    return true;
}

void IImageFile::Close()
{
    if (!open)
    {
        return;
    }
    CloseImpl();
    open = false;
    reader.reset();
}

int32_t IImageFile::GetWidth()
{
    return open ? GetWidthImpl() : 0;
}

int32_t IImageFile::GetHeight()
{
    return open ? GetHeightImpl() : 0;
}

int32_t IImageFile::ReadPixels(uint32_t* pixels, int32_t stride)
{
    if (!open || stride == 0 || pixels == nullptr)
    {
        return 0;
    }
    return ReadPixelsImpl(pixels, stride);
}

std::shared_ptr<IImageFile> OpenImage(const std::shared_ptr<Base::IFileReader>& reader,
                                      const char** decoderName)
{
    using Factory = std::shared_ptr<IImageFile> (*)();
    const std::pair<const char*, Factory> decoders[] = {{"PngImageFile", &CreatePngImageFile},
                                                        {"BitmapImageFile", &CreateBitmapImageFile},
                                                        {"JpegImageFile", &CreateJpegImageFile}};
    for (const auto& [name, create] : decoders)
    {
        auto image = create();
        if (image->Open(reader))
        {
            if (decoderName != nullptr)
            {
                *decoderName = name;
            }
            return image;
        }
    }
    return nullptr;
}

} // namespace Qorv::Draw
