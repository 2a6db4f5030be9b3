#pragma once
// Fills a texture from a picture file, choosing the decoder by content: PNG, then BMP, then
// JPEG. The picture takes the top-left corner of a power-of-two texture.

#include "framework/base/IFileReader.h"
#include "framework/draw/ITexture.h"

#include <memory>
#include <string>

namespace Qorv::Draw
{

// False when no decoder accepts the reader's content or the texture cannot hold the picture.
bool LoadTexture(const std::shared_ptr<ITexture>& texture,
                 const std::shared_ptr<Base::IFileReader>& reader);
bool LoadTextureFromFile(const std::shared_ptr<ITexture>& texture, const std::wstring& path);

} // namespace Qorv::Draw
