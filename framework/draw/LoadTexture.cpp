#include "framework/draw/LoadTexture.h"

#include "framework/draw/IImageFile.h"

namespace Qorv::Draw
{

bool LoadTexture(const std::shared_ptr<ITexture>& texture,
                 const std::shared_ptr<Base::IFileReader>& reader)
{
    if (!texture)
    {
        return false;
    }
    const auto image = OpenImage(reader);
    if (!image)
    {
        return false;
    }
    const int32_t width = image->GetWidth();
    const int32_t height = image->GetHeight();
    if (width < 0 || !texture->Create(width, height, false))
    {
        return false;
    }
    uint32_t* pixels = texture->Lock();
    if (pixels == nullptr)
    {
        return false;
    }
    // Rows lie one allocated width apart: the device's pitch for A8R8G8B8 is exactly that.
    const bool ok = image->ReadPixels(pixels, texture->GetWidth()) != 0;
    texture->Unlock();
    return ok;
}

bool LoadTextureFromFile(const std::shared_ptr<ITexture>& texture, const std::wstring& path)
{
    if (path.empty())
    {
        return false;
    }
    const auto reader = Base::CreateFileReader();
    if (!reader->Open(path))
    {
        return false;
    }
    const bool result = LoadTexture(texture, reader);
    reader->Close();
    return result;
}

} // namespace Qorv::Draw
