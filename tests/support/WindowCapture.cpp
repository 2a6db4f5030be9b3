#include "tests/support/WindowCapture.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <png.h>

#include <algorithm>
#include <bit>
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

// A connection of its own, so the quiet error handler stays with it.
struct Connection
{
    Display* display = XOpenDisplay(nullptr);
    XErrorHandler previous = display != nullptr ? XSetErrorHandler(IgnoreError) : nullptr;

    ~Connection()
    {
        if (display != nullptr)
        {
            XSync(display, False);
            XSetErrorHandler(previous);
            XCloseDisplay(display);
        }
    }
};

// The pixel's channel scaled to 0..255, where the visual puts it; 24-bit TrueColor on Xvfb.
uint32_t Channel(unsigned long pixel, unsigned long mask)
{
    const int shift = std::countr_zero(mask);
    return mask != 0 ? static_cast<uint32_t>(((pixel & mask) >> shift) * 255 / (mask >> shift)) : 0;
}

std::optional<Picture> Read(Display* display, Drawable drawable, int x, int y, int width,
                            int height)
{
    XImage* image = XGetImage(display, drawable, x, y, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (image == nullptr)
    {
        return std::nullopt;
    }
    Picture picture{image->width, image->height, {}};
    picture.pixels.reserve(static_cast<size_t>(image->width) * image->height);
    for (int row = 0; row < image->height; ++row)
    {
        for (int column = 0; column < image->width; ++column)
        {
            const unsigned long pixel = XGetPixel(image, column, row);
            picture.pixels.push_back(Channel(pixel, image->red_mask) << 16 |
                                     Channel(pixel, image->green_mask) << 8 |
                                     Channel(pixel, image->blue_mask));
        }
    }
    XDestroyImage(image);
    return picture;
}

} // namespace

std::optional<Picture> CaptureWindow(const std::string& window)
{
    Connection x;
    const auto id = static_cast<Window>(std::stoul(window));
    XWindowAttributes attributes{};
    if (x.display == nullptr || XGetWindowAttributes(x.display, id, &attributes) == 0)
    {
        return std::nullopt;
    }
    return Read(x.display, id, 0, 0, attributes.width, attributes.height);
}

std::optional<Picture> CaptureScreenAt(const std::string& window, int width, int height)
{
    Connection x;
    if (x.display == nullptr)
    {
        return std::nullopt;
    }
    // Read from the root at the window's place: what is on screen, whichever window drew it.
    const Window root = DefaultRootWindow(x.display);
    int left = 0;
    int top = 0;
    Window child = 0;
    if (XTranslateCoordinates(x.display, static_cast<Window>(std::stoul(window)), root, 0, 0, &left,
                              &top, &child) == 0)
    {
        return std::nullopt;
    }
    // The part on screen: a request reaching past the root's edge fails as a whole.
    const int screen = DefaultScreen(x.display);
    width = std::min(width, DisplayWidth(x.display, screen) - left);
    height = std::min(height, DisplayHeight(x.display, screen) - top);
    if (width <= 0 || height <= 0 || left < 0 || top < 0)
    {
        return std::nullopt;
    }
    return Read(x.display, root, left, top, width, height);
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
