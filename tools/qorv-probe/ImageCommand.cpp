// qorv-probe image FILE [--png OUT]: opens FILE with the decoders in the texture loader's order,
// decodes its pixels and reports the picture; with --png, writes them to OUT as an RGBA PNG.

#include "framework/draw/IImageFile.h"
#include "platform/window/Utf8.h"
#include "tools/qorv-probe/Commands.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <memory>
#include <vector>

namespace Probe
{

namespace
{

// Kept free of objects with destructors, which libpng's jump back would skip.
bool WriteRows(std::FILE* stream, png_bytep* rows, uint32_t width, uint32_t height)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr)
    {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png)) != 0)
    {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, stream);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool WritePng(const std::vector<uint32_t>& pixels, int32_t width, int32_t height,
              const std::string& out)
{
    std::vector<png_byte> rgba(pixels.size() * 4);
    for (size_t i = 0; i < pixels.size(); ++i)
    {
        const uint32_t p = pixels[i];
        rgba[i * 4] = static_cast<png_byte>(p >> 16);
        rgba[i * 4 + 1] = static_cast<png_byte>(p >> 8);
        rgba[i * 4 + 2] = static_cast<png_byte>(p);
        rgba[i * 4 + 3] = static_cast<png_byte>(p >> 24);
    }
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    for (int32_t r = 0; r < height; ++r)
    {
        rows[static_cast<size_t>(r)] = rgba.data() + static_cast<size_t>(r) * width * 4;
    }
    std::FILE* stream = std::fopen(out.c_str(), "wb");
    if (stream == nullptr)
    {
        return false;
    }
    const bool written =
        WriteRows(stream, rows.data(), static_cast<uint32_t>(width), static_cast<uint32_t>(height));
    return std::fclose(stream) == 0 && written;
}

} // namespace

int ImageCommand(const Arguments& arguments)
{
    const bool withPng = arguments.size() == 3 && arguments[1] == "--png";
    if (arguments.size() != 1 && !withPng)
    {
        std::fprintf(stderr, "usage: qorv-probe image FILE [--png OUT]\n");
        return 2;
    }
    auto reader = Qorv::Base::CreateFileReader();
    if (!reader->Open(platform::Utf8ToWide(arguments[0])))
    {
        std::fprintf(stderr, "qorv-probe: cannot open %s\n", arguments[0].c_str());
        return 1;
    }
    const char* decoderName = nullptr;
    const auto image = Qorv::Draw::OpenImage(reader, &decoderName);
    if (!image)
    {
        std::fprintf(stderr, "qorv-probe: no decoder accepts %s (tried PNG, BMP, JPEG)\n",
                     arguments[0].c_str());
        return 1;
    }
    const int32_t width = image->GetWidth();
    const int32_t height = image->GetHeight();
    // Decoded even without --png, so that 0 means the picture will show, not just its header.
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    if (image->ReadPixels(pixels.data(), width) == 0)
    {
        std::fprintf(stderr, "qorv-probe: %s could not decode the pixels of %s\n", decoderName,
                     arguments[0].c_str());
        return 1;
    }
    std::printf("decoder=%s\nwidth=%d\nheight=%d\n", decoderName, width, height);
    if (!withPng)
    {
        return 0;
    }
    if (!WritePng(pixels, width, height, arguments[2]))
    {
        std::fprintf(stderr, "qorv-probe: cannot write %s\n", arguments[2].c_str());
        return 1;
    }
    return 0;
}

} // namespace Probe
