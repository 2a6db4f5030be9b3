#pragma once
// JPEG decoder on libjpeg, fed from the file reader; grey and colour pictures come out as ARGB.

#include "framework/draw/IImageFile.h"

#include <cstdint>
#include <cstdio>
#include <memory>

#include <jpeglib.h>

namespace Qorv::Draw
{

class JpegImageFile : public IImageFile
{
public:
    JpegImageFile();
    ~JpegImageFile() override;

protected:
    bool OpenImpl(const std::shared_ptr<Base::IFileReader>& reader) override;
    void CloseImpl() override;
    int32_t ReadPixelsImpl(uint32_t* pixels, int32_t stride) override;
    int32_t GetWidthImpl() override { return static_cast<int32_t>(decompress.output_width); }
    int32_t GetHeightImpl() override { return static_cast<int32_t>(decompress.output_height); }

    jpeg_decompress_struct decompress;
    jpeg_error_mgr errorManager;
};

} // namespace Qorv::Draw
