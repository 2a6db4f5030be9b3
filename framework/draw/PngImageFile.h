#pragma once
// PNG decoder on libpng, fed from the file reader; every colour type comes out as ARGB.

#include "framework/draw/IImageFile.h"

#include <cstdint>
#include <memory>

struct png_struct_def;
struct png_info_def;

namespace Qorv::Draw
{

class PngImageFile : public IImageFile
{
public:
    ~PngImageFile() override;

protected:
    bool OpenImpl(const std::shared_ptr<Base::IFileReader>& reader) override;
    void CloseImpl() override;
    int32_t ReadPixelsImpl(uint32_t* pixels, int32_t stride) override;
    int32_t GetWidthImpl() override { return static_cast<int32_t>(width); }
    int32_t GetHeightImpl() override { return static_cast<int32_t>(height); }

private:
    png_struct_def* readStruct = nullptr;
    png_info_def* infoStruct = nullptr;
    uint32_t width = 0;
    uint32_t height = 0;
    int passes = 0;
    int channels = 0;
};

} // namespace Qorv::Draw
