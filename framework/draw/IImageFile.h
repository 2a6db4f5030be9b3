#pragma once
// Picture decoder opened on a file reader: reports the size and writes 32-bit ARGB rows, top row
// first, into memory the caller owns. Public operations keep the open state; Impl hooks decode.

#include "framework/base/IFileReader.h"
#include "framework/base/Interface.h"

#include <cstdint>
#include <memory>

namespace Qorv::Draw
{

class IImageFile : public Base::Interface
{
public:
    // Positions the reader at byte 0 itself; false leaves the image closed.
    [[nodiscard]] bool Open(const std::shared_ptr<Base::IFileReader>& reader);
    void Close();
    bool IsOpen() const { return open; }
    int32_t GetWidth();
    int32_t GetHeight();
    // Writes GetHeight() rows of GetWidth() pixels, row r at pixels + r * stride. Returns the
    // bytes of pixels produced, 0 when nothing was decoded.
    [[nodiscard]] int32_t ReadPixels(uint32_t* pixels, int32_t stride);

protected:
    virtual bool OpenImpl(const std::shared_ptr<Base::IFileReader>& reader) = 0;
    virtual void CloseImpl() = 0;
    virtual int32_t ReadPixelsImpl(uint32_t* pixels, int32_t stride) = 0;
    virtual int32_t GetWidthImpl() = 0;
    virtual int32_t GetHeightImpl() = 0;

private:
    bool open = false;
    std::shared_ptr<Base::IFileReader> reader;
};

// Each returns a new, closed decoder.
[[nodiscard]] std::shared_ptr<IImageFile> CreatePngImageFile();
[[nodiscard]] std::shared_ptr<IImageFile> CreateBitmapImageFile();
[[nodiscard]] std::shared_ptr<IImageFile> CreateJpegImageFile();
// The first of those three, in that order, that opens the reader, or null; decoderName, when
// given, is set to its class name.
[[nodiscard]] std::shared_ptr<IImageFile>
OpenImage(const std::shared_ptr<Base::IFileReader>& reader, const char** decoderName = nullptr);

} // namespace Qorv::Draw
