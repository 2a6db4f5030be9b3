#include "tests/e2e/WindowPixels.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <functional>
#include <string_view>

namespace TestSupport
{

namespace
{

// A failed request (the window gone, not yet mapped) is an empty answer, not an exit.
int IgnoreError(Display*, XErrorEvent*)
{
    return 0;
}

} // namespace

std::optional<size_t> WindowPixelsHash(const std::string& window)
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
    {
        return std::nullopt;
    }
    const auto previous = XSetErrorHandler(IgnoreError);
    // Read from the root at the window's place: what is on screen, whichever window drew it.
    const Window root = DefaultRootWindow(display);
    int x = 0;
    int y = 0;
    Window child = 0;
    std::optional<size_t> hash;
    if (XTranslateCoordinates(display, static_cast<Window>(std::stoul(window)), root, 0, 0, &x, &y,
                              &child) != 0)
    {
        // The part on screen: a request reaching past the root's edge fails as a whole.
        const int screen = DefaultScreen(display);
        const int width = std::min(640, DisplayWidth(display, screen) - x);
        const int height = std::min(480, DisplayHeight(display, screen) - y);
        XImage* image = width > 0 && height > 0 && x >= 0 && y >= 0
                            ? XGetImage(display, root, x, y, static_cast<unsigned>(width),
                                        static_cast<unsigned>(height), AllPlanes, ZPixmap)
                            : nullptr;
        if (image != nullptr)
        {
            hash = std::hash<std::string_view>{}(std::string_view(
                image->data, static_cast<size_t>(image->bytes_per_line) * image->height));
            XDestroyImage(image);
        }
    }
    XSync(display, False);
    XSetErrorHandler(previous);
    XCloseDisplay(display);
    return hash;
}

} // namespace TestSupport
