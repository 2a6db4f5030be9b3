#pragma once
// Drives the real program's window on the X server the tests run under, as a user would.

#include <chrono>
#include <optional>
#include <string>

namespace TestSupport
{

// The first window whose title matches, polled until it appears or the timeout passes.
std::optional<std::string> WaitForWindow(const std::string& title,
                                         std::chrono::milliseconds timeout);

struct Geometry
{
    int x = 0, y = 0, width = 0, height = 0;
};
std::optional<Geometry> WindowGeometry(const std::string& window);

// Focuses the window and types the keys (xdotool key names, e.g. "Escape", "shift+a"), each
// delayMs after the last and held half that.
void PressKeys(const std::string& window, const std::string& keys, int delayMs = 30);

// Whether a window manager has taken the window over (framed it): only then does it act on the
// window's requests, such as going fullscreen.
bool ManagedByWindowManager(const std::string& window);

// What a window manager sends for the close button or Alt+F4: WM_DELETE_WINDOW.
bool SendCloseRequest(const std::string& window);

} // namespace TestSupport
