#pragma once
// The program's command line, read before any window is made: a table of options, each with
// its help line. The game itself takes no options; these only print and end the program.

#include <cstdio>
#include <optional>

namespace Pakemino
{

// Handles argv. Returns the exit code when the program should end now (after --help or
// --version: 0; after anything it does not know: the usage on err, 2), nothing to play on.
std::optional<int> HandleCommandLine(int argc, const char* const* argv, std::FILE* out,
                                     std::FILE* err);

} // namespace Pakemino
