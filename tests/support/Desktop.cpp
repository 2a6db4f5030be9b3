#include "tests/support/Desktop.h"
#include "tests/support/Process.h"

#include <X11/Xlib.h>
#include <chrono>
#include <sstream>
#include <thread>
#include <vector>

namespace TestSupport
{

std::optional<std::string> WaitForWindow(const std::string& title,
                                         std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    do
    {
        std::istringstream found(
            RunAndCapture({"xdotool", "search", "--onlyvisible", "--name", "^" + title + "$"}));
        std::string id;
        if (std::getline(found, id) && !id.empty())
        {
            return id;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    } while (std::chrono::steady_clock::now() < deadline);
    return std::nullopt;
}

std::optional<Geometry> WindowGeometry(const std::string& window)
{
    std::istringstream lines(RunAndCapture({"xdotool", "getwindowgeometry", "--shell", window}));
    Geometry geometry;
    int seen = 0;
    std::string line;
    while (std::getline(lines, line))
    {
        const size_t equals = line.find('=');
        if (equals == std::string::npos)
        {
            continue;
        }
        const std::string key = line.substr(0, equals);
        const int value = std::stoi(line.substr(equals + 1));
        int* field = key == "X"        ? &geometry.x
                     : key == "Y"      ? &geometry.y
                     : key == "WIDTH"  ? &geometry.width
                     : key == "HEIGHT" ? &geometry.height
                                       : nullptr;
        if (field != nullptr)
        {
            *field = value;
            ++seen;
        }
    }
    return seen == 4 ? std::optional<Geometry>(geometry) : std::nullopt;
}

void PressKeys(const std::string& window, const std::string& keys, int delayMs)
{
    // A window that a window manager is just taking over is unmapped for a moment, and focusing
    // it then fails (BadMatch): the keys would go elsewhere.
    int notFocused = 1;
    for (int i = 0; i < 50 && notFocused != 0; ++i)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(i == 0 ? 0 : 100));
        RunAndCapture({"xdotool", "windowfocus", "--sync", window}, &notFocused);
    }
    // One argument a key: xdotool takes a single argument with spaces as one unknown key.
    std::vector<std::string> argv{"xdotool", "key", "--delay", std::to_string(delayMs)};
    std::istringstream names(keys);
    for (std::string name; names >> name;)
    {
        argv.push_back(name);
    }
    RunAndCapture(argv);
}

bool ManagedByWindowManager(const std::string& window)
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
    {
        return false;
    }
    // Set by the window manager on each window it frames.
    Atom type = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long left = 0;
    unsigned char* data = nullptr;
    const bool framed =
        XGetWindowProperty(display, static_cast<Window>(std::stoul(window)),
                           XInternAtom(display, "_NET_FRAME_EXTENTS", False), 0, 4, False,
                           AnyPropertyType, &type, &format, &items, &left, &data) == Success &&
        items == 4;
    if (data != nullptr)
    {
        XFree(data);
    }
    XCloseDisplay(display);
    return framed;
}

bool SendCloseRequest(const std::string& window)
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
    {
        return false;
    }
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = static_cast<Window>(std::stoul(window));
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
    XFlush(display);
    XCloseDisplay(display);
    return sent != 0;
}

} // namespace TestSupport
