#pragma once
// The real program started for an end-to-end test and played by keys on its window, as a user
// would.

#include "tests/support/Process.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace TestSupport
{

class GameSession
{
public:
    // Starts the program at path with extra "NAME=value" environment entries and arguments, and
    // waits up to 10 s for its window, found by its whole title (a regular expression).
    GameSession(const std::string& path, const std::vector<std::string>& environment,
                const std::vector<std::string>& arguments = {},
                const std::string& title = "pakemino Technical Preview");

    // Focuses the window until the X server says it has focus or the deadline passes, then
    // leaves the rest of the construction a second, so frames are running.
    void Focus(std::chrono::steady_clock::time_point deadline);

    // The keys go down together, stay down for `down`, come up, and `up` passes: held over
    // several 16 ms frames, a press the frame loop cannot miss.
    void Press(const std::vector<std::string>& keys, std::chrono::milliseconds down,
               std::chrono::milliseconds up);

    Process program;
    std::optional<std::string> window;
};

} // namespace TestSupport
