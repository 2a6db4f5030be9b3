#pragma once
// Start-up measured from outside: the bench starts itself again as a child, handing it the
// moment of the spawn, and reads back what the child printed. The game's and the floor's
// start-ups are timed by this one piece, so that they compare like for like.

#include <string>
#include <vector>

namespace Bench
{

// CLOCK_MONOTONIC in milliseconds, the clock parent and child share.
double NowMs();

// Runs self with "--child <spawn time>" and then extra; what the child wrote to its standard
// output, empty when it could not be started.
std::string RunChild(const char* self, const std::vector<std::string>& extra);

} // namespace Bench
