#pragma once
// The step pads along the top of the game's picture, as a player sees them: plain, lit for a
// step that is on, or white under the cursor.

#include "tests/support/WindowCapture.h"

#include <optional>
#include <set>
#include <string>

namespace TestSupport
{

// The left edge of pad i (0..15) in the 640x480 picture; pads are 32 pixels square at y 32.
int PadLeft(int i);
// The pads lit yellow for steps that are on; the pad under the cursor is white, not lit.
std::set<int> LitPads(const Picture& picture);
// The pads lit in the window's picture over several frames, so the cursor hides none for good;
// nothing when the window cannot be read back.
std::optional<std::set<int>> LitPadsOverTime(const std::string& window);

} // namespace TestSupport
