#include "tests/e2e/WindowCapture.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <png.h>

#include <cstdio>
#include <memory>

namespace TestSupport
{

namespace
{

// A failed request (the window gone, not yet mapped, off screen) is an empty answer.
int IgnoreError(Display*, XErrorEvent*)
{
    return 0;
}

} // namespace

std::optional<Picture> CaptureWindow(const std::string& window)
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
    {
        return std::nullopt;
    }
    const auto previous = XSetErrorHandler(IgnoreError);
    const auto id = static_cast<Window>(std::stoul(window));
    std::optional<Picture> picture;
    XWindowAttributes attributes{};
    XImage* image = nullptr;
    if (XGetWindowAttributes(display, id, &attributes) != 0)
    {
        image = XGetImage(display, id, 0, 0, static_cast<unsigned>(attributes.width),
                          static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    }
    if (image != nullptr)
    {
        picture = Picture{image->width, image->height, {}};
        picture->pixels.reserve(static_cast<size_t>(image->width) * image->height);
        for (int y = 0; y < image->height; ++y)
        {
            for (int x = 0; x < image->width; ++x)
            {
                const unsigned long pixel = XGetPixel(image, x, y);
                // Channels as the visual lays them out; 24-bit TrueColor on Xvfb.
                auto channel = [pixel](unsigned long mask)
                {
                    unsigned long value = pixel & mask;
                    unsigned long top = mask;
                    while (mask != 0 && (mask & 1) == 0)
                    {
                        mask >>= 1;
                        value >>= 1;
                        top >>= 1;
                    }
                    return top != 0 ? static_cast<uint32_t>(value * 255 / top) : 0u;
                };
                picture->pixels.push_back(channel(image->red_mask) << 16 |
                                          channel(image->green_mask) << 8 |
                                          channel(image->blue_mask));
            }
        }
        XDestroyImage(image);
    }
    XSync(display, False);
    XSetErrorHandler(previous);
    XCloseDisplay(display);
    return picture;
}

bool WritePng(const Picture& picture, const std::string& path)
{
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
    if (!file)
    {
        return false;
    }
    // Made before the jump point, so an error jumping back to it leaves nothing undestroyed.
    std::vector<png_byte> row(static_cast<size_t>(picture.width) * 3);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr || setjmp(png_jmpbuf(png)))
    {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file.get());
    png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width),
                 static_cast<png_uint_32>(picture.height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < picture.height; ++y)
    {
        for (int x = 0; x < picture.width; ++x)
        {
            const uint32_t pixel = picture.At(x, y);
            row[static_cast<size_t>(x) * 3] = static_cast<png_byte>(pixel >> 16);
            row[static_cast<size_t>(x) * 3 + 1] = static_cast<png_byte>(pixel >> 8);
            row[static_cast<size_t>(x) * 3 + 2] = static_cast<png_byte>(pixel);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace TestSupport
