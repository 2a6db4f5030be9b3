#pragma once
// Windows BMP decoder of our own: 1/4/8/16/24/32-bit rows, bit fields, RLE8 and RLE4.

#include "framework/draw/IImageFile.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace Qorv::Draw
{

class BitmapImageFile : public IImageFile
{
public:
    ~BitmapImageFile() override;

protected:
    bool OpenImpl(const std::shared_ptr<Base::IFileReader>& reader) override;
    void CloseImpl() override;
    int32_t ReadPixelsImpl(uint32_t* pixels, int32_t stride) override;
    int32_t GetWidthImpl() override { return width; }
    int32_t GetHeightImpl() override { return height; }

private:
    // One colour channel of a bit-field mask: a contiguous run of bits.
    struct ChannelMask
    {
        uint16_t max = 0;
        uint16_t bits = 0;
        uint16_t shift = 0;

        static ChannelMask FromMask(uint32_t mask);
        uint32_t Extract(uint32_t value) const;
    };

    // Red, green, blue and alpha masks with a set bit in common.
    static bool MasksOverlap(const std::array<uint32_t, 4>& masks);
    uint32_t FromMasks(uint32_t value) const;
    int32_t ReadRows(uint32_t* pixels, int32_t stride);
    int32_t ReadRunLength(uint32_t* pixels, int32_t stride);

    std::shared_ptr<Base::IFileReader> fileReader;
    int32_t dataOffset = 0;
    int32_t width = 0;
    int32_t height = 0;
    uint16_t bitCount = 0;
    uint32_t compression = 0;
    bool topDown = false;
    ChannelMask redMask;
    ChannelMask greenMask;
    ChannelMask blueMask;
    ChannelMask alphaMask;
    uint32_t colourCount = 0;
    std::vector<uint32_t> colourTable;
};

} // namespace Qorv::Draw
