#pragma once
// The program's one window: class "QORV_DEFAULT_WINDOW", a 640×480 client area at (480, 360).

#include "platform/window/Win32.h"

#include <string>

namespace Pakemino
{

// What the title says besides the program's name.
struct TitleState
{
    bool recording = false;
    // The pattern file's name; empty when there is none.
    std::string patternName;
    bool unsaved = false;
    bool followingClock = false;
};

// "pakemino Technical Preview", then the pattern file's name ("*" before it while it has
// unsaved changes), "(following MIDI clock)" while an outside clock sets the tempo and
// "(recording)" while a take is recorded.
std::wstring WindowTitle(const TitleState& state);

// Registers the class, creates and shows the window; null when no window can be opened.
[[nodiscard]] HWND CreateMainWindow(HINSTANCE instance, int showCommand,
                                    const TitleState& title = {});

// Change one part of the title the window was made with, and show it.
void ShowPatternUnsaved(HWND window, bool unsaved);
void ShowFollowingClock(HWND window, bool following);

// The title says "(following MIDI clock)" while an outside clock sets the tempo.
void ShowFollowingClock(HWND window, bool following);

} // namespace Pakemino
